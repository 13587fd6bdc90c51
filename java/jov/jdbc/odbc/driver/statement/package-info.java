/**
 * Statements, their parameters and the SQL text they run: values reach ODBC as bound arguments, never written into
 * the text, and a statement is invalid once its connection closes.
 */
package jov.jdbc.odbc.driver.statement;

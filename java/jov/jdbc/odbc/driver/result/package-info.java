/**
 * Result sets and their column descriptions, all read-only: a result set reads rows through its connection's link
 * and is invalid once its statement or connection closes.
 */
package jov.jdbc.odbc.driver.result;

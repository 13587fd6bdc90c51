/**
 * Text and types: conversions between Java values and the text, numbers and dates that cross to ODBC, and the
 * mapping of SQL types. Nothing here holds a native handle or a connection.
 */
package jov.jdbc.odbc.driver.text;

package jov.jdbc.odbc.driver.text;

/**
 * How the driver reads a column's values from the ODBC driver, chosen by the
 * column's ODBC SQL type once per result.
 */
public enum ValueKind {
    /** Character data: the whole text, in the connection's charset. */
    TEXT,
    /** BIT, TINYINT, SMALLINT, INTEGER, BIGINT: a long without objects. */
    INTEGER,
    /** REAL, FLOAT, DOUBLE: a double without objects. */
    FLOATING,
    /** NUMERIC, DECIMAL: the driver's decimal text. */
    DECIMAL,
    /** Date, time, timestamp: the driver's own text, fractions of seconds included. */
    DATETIME,
    /** Binary data: the bytes. */
    BINARY,
    /** SQL_GUID: the driver's 16-byte GUID structure, read as a UUID. */
    GUID,
    /** Anything else: the bytes of the driver's binary form, which has no text. */
    OTHER
}

package jov.jdbc.odbc.driver;

/**
 * How the driver reads a column's values from the library, chosen by the
 * column's ODBC SQL type once per result.
 */
enum ValueKind {
    /** Character data: the library's text, converted from Windows-31J. */
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
    /** Anything else: the library's text rendering. */
    OTHER
}

package jov.jdbc.odbc.driver.text;

import java.sql.Types;

/**
 * ODBC SQL types (as the library's column catalogue reports SQL_DESC_TYPE) in
 * JDBC's terms.
 *
 * <p>SQL_DESC_TYPE gives the verbose type, so a driver may report every
 * date/time column as SQL_DATETIME (9) or an interval as SQL_INTERVAL (10);
 * the column's length (that of its text form) then tells a date (10
 * characters) from a time (under 19) and a timestamp.
 */
public final class SqlTypes {

    static final int SQL_CHAR = 1;
    static final int SQL_NUMERIC = 2;
    static final int SQL_DECIMAL = 3;
    static final int SQL_INTEGER = 4;
    static final int SQL_SMALLINT = 5;
    static final int SQL_FLOAT = 6;
    public static final int SQL_REAL = 7;
    static final int SQL_DOUBLE = 8;
    static final int SQL_DATETIME = 9;
    static final int SQL_INTERVAL = 10;
    static final int SQL_TIMESTAMP = 11;
    static final int SQL_VARCHAR = 12;
    static final int SQL_TYPE_DATE = 91;
    static final int SQL_TYPE_TIME = 92;
    static final int SQL_TYPE_TIMESTAMP = 93;
    static final int SQL_LONGVARCHAR = -1;
    static final int SQL_BINARY = -2;
    static final int SQL_VARBINARY = -3;
    static final int SQL_LONGVARBINARY = -4;
    public static final int SQL_BIGINT = -5;
    static final int SQL_TINYINT = -6;
    static final int SQL_BIT = -7;
    static final int SQL_WCHAR = -8;
    static final int SQL_WVARCHAR = -9;
    static final int SQL_WLONGVARCHAR = -10;
    static final int SQL_GUID = -11;

    /** Length of a date's text, yyyy-mm-dd. */
    static final int DATE_TEXT_LENGTH = 10;
    /** Shortest timestamp text, yyyy-mm-dd hh:mm:ss. */
    static final int TIMESTAMP_TEXT_LENGTH = 19;

    private SqlTypes() {
    }

    public static ValueKind kind(int sqlType) {
        switch (sqlType) {
            case SQL_CHAR:
            case SQL_VARCHAR:
            case SQL_LONGVARCHAR:
            case SQL_WCHAR:
            case SQL_WVARCHAR:
            case SQL_WLONGVARCHAR:
                return ValueKind.TEXT;
            case SQL_BIT:
            case SQL_TINYINT:
            case SQL_SMALLINT:
            case SQL_INTEGER:
            case SQL_BIGINT:
                return ValueKind.INTEGER;
            case SQL_REAL:
            case SQL_FLOAT:
            case SQL_DOUBLE:
                return ValueKind.FLOATING;
            case SQL_NUMERIC:
            case SQL_DECIMAL:
                return ValueKind.DECIMAL;
            case SQL_DATETIME:
            case SQL_INTERVAL:
            case SQL_TIMESTAMP:
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
            case SQL_TYPE_TIMESTAMP:
                return ValueKind.DATETIME;
            case SQL_BINARY:
            case SQL_VARBINARY:
            case SQL_LONGVARBINARY:
                return ValueKind.BINARY;
            case SQL_GUID:
                return ValueKind.GUID;
            default:
                return ValueKind.OTHER;
        }
    }

    /** The java.sql.Types constant of a column. */
    public static int jdbcType(int sqlType, long length) {
        switch (sqlType) {
            case SQL_CHAR: return Types.CHAR;
            case SQL_VARCHAR: return Types.VARCHAR;
            case SQL_LONGVARCHAR: return Types.LONGVARCHAR;
            case SQL_WCHAR: return Types.NCHAR;
            case SQL_WVARCHAR: return Types.NVARCHAR;
            case SQL_WLONGVARCHAR: return Types.LONGNVARCHAR;
            case SQL_BIT: return Types.BIT;
            case SQL_TINYINT: return Types.TINYINT;
            case SQL_SMALLINT: return Types.SMALLINT;
            case SQL_INTEGER: return Types.INTEGER;
            case SQL_BIGINT: return Types.BIGINT;
            case SQL_REAL: return Types.REAL;
            case SQL_FLOAT: return Types.FLOAT;
            case SQL_DOUBLE: return Types.DOUBLE;
            case SQL_NUMERIC: return Types.NUMERIC;
            case SQL_DECIMAL: return Types.DECIMAL;
            case SQL_TYPE_DATE: return Types.DATE;
            case SQL_TYPE_TIME: return Types.TIME;
            case SQL_TIMESTAMP:
            case SQL_TYPE_TIMESTAMP: return Types.TIMESTAMP;
            case SQL_DATETIME:
            case SQL_INTERVAL: return byLength(length);
            case SQL_BINARY: return Types.BINARY;
            case SQL_VARBINARY: return Types.VARBINARY;
            case SQL_LONGVARBINARY: return Types.LONGVARBINARY;
            default: return Types.OTHER;
        }
    }

    private static int byLength(long length) {
        if (length == DATE_TEXT_LENGTH) {
            return Types.DATE;
        }
        return length > 0 && length < TIMESTAMP_TEXT_LENGTH ? Types.TIME : Types.TIMESTAMP;
    }

    /** The SQL type's name, for getColumnTypeName. */
    public static String typeName(int jdbcType) {
        switch (jdbcType) {
            case Types.CHAR: return "CHAR";
            case Types.VARCHAR: return "VARCHAR";
            case Types.LONGVARCHAR: return "LONGVARCHAR";
            case Types.NCHAR: return "NCHAR";
            case Types.NVARCHAR: return "NVARCHAR";
            case Types.LONGNVARCHAR: return "LONGNVARCHAR";
            case Types.BIT: return "BIT";
            case Types.TINYINT: return "TINYINT";
            case Types.SMALLINT: return "SMALLINT";
            case Types.INTEGER: return "INTEGER";
            case Types.BIGINT: return "BIGINT";
            case Types.REAL: return "REAL";
            case Types.FLOAT: return "FLOAT";
            case Types.DOUBLE: return "DOUBLE";
            case Types.NUMERIC: return "NUMERIC";
            case Types.DECIMAL: return "DECIMAL";
            case Types.DATE: return "DATE";
            case Types.TIME: return "TIME";
            case Types.TIMESTAMP: return "TIMESTAMP";
            case Types.BINARY: return "BINARY";
            case Types.VARBINARY: return "VARBINARY";
            case Types.LONGVARBINARY: return "LONGVARBINARY";
            default: return "OTHER";
        }
    }

    /** The class getObject answers for a column: a UUID for a GUID, bytes for other types without text. */
    public static String className(int sqlType, int jdbcType) {
        if (sqlType == SQL_GUID) {
            return java.util.UUID.class.getName();
        }
        switch (jdbcType) {
            case Types.BIT: return Boolean.class.getName();
            case Types.TINYINT:
            case Types.SMALLINT:
            case Types.INTEGER: return Integer.class.getName();
            case Types.BIGINT: return Long.class.getName();
            case Types.REAL: return Float.class.getName();
            case Types.FLOAT:
            case Types.DOUBLE: return Double.class.getName();
            case Types.NUMERIC:
            case Types.DECIMAL: return java.math.BigDecimal.class.getName();
            case Types.DATE: return java.sql.Date.class.getName();
            case Types.TIME: return java.sql.Time.class.getName();
            case Types.TIMESTAMP: return java.sql.Timestamp.class.getName();
            case Types.BINARY:
            case Types.VARBINARY:
            case Types.LONGVARBINARY:
            case Types.OTHER: return byte[].class.getName();
            default: return String.class.getName();
        }
    }

    /** Characters the widest value of the column takes as text. */
    public static int displaySize(int jdbcType, long length, int precision) {
        switch (jdbcType) {
            case Types.BIT: return 1;
            case Types.TINYINT: return 4;
            case Types.SMALLINT: return 6;
            case Types.INTEGER: return 11;
            case Types.BIGINT: return 20;
            case Types.REAL: return 15;
            case Types.FLOAT:
            case Types.DOUBLE: return 24;
            case Types.NUMERIC:
            case Types.DECIMAL: return precision + 2;
            case Types.DATE: return DATE_TEXT_LENGTH;
            case Types.TIME: return 8;
            case Types.TIMESTAMP: return 29;
            case Types.BINARY:
            case Types.VARBINARY:
            case Types.LONGVARBINARY: return clamp(2 * length);
            default: return clamp(length);
        }
    }

    private static int clamp(long length) {
        return length < 0 || length > Integer.MAX_VALUE ? Integer.MAX_VALUE : (int) length;
    }
}

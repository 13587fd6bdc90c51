package jov.jdbc.odbc.driver.metadata;

import java.sql.SQLException;
import java.util.Map;
import java.util.concurrent.ConcurrentHashMap;
import jov.jdbc.odbc.driver.link.OdbcLink;

/**
 * What the ODBC driver tells of itself and its database through SQLGetInfo,
 * asked once per item and connection and then kept: none of these answers
 * changes while a connection is open. An item the driver does not answer is
 * remembered as unknown, and each caller says what unknown means.
 */
public final class OdbcInfo {

    static final int MAX_DRIVER_CONNECTIONS = 0;
    static final int MAX_CONCURRENT_ACTIVITIES = 1;
    static final int DRIVER_NAME = 6;
    static final int DRIVER_VER = 7;
    static final int SEARCH_PATTERN_ESCAPE = 14;
    static final int ODBC_SQL_CONFORMANCE = 15;
    public static final int DBMS_NAME = 17;
    static final int DBMS_VER = 18;
    static final int ACCESSIBLE_TABLES = 19;
    static final int ACCESSIBLE_PROCEDURES = 20;
    static final int PROCEDURES = 21;
    static final int CONCAT_NULL_BEHAVIOR = 22;
    static final int DATA_SOURCE_READ_ONLY = 25;
    static final int DEFAULT_TXN_ISOLATION = 26;
    static final int EXPRESSIONS_IN_ORDERBY = 27;
    static final int IDENTIFIER_CASE = 28;
    static final int IDENTIFIER_QUOTE_CHAR = 29;
    static final int MAX_COLUMN_NAME_LEN = 30;
    static final int MAX_CURSOR_NAME_LEN = 31;
    static final int MAX_SCHEMA_NAME_LEN = 32;
    static final int MAX_PROCEDURE_NAME_LEN = 33;
    static final int MAX_CATALOG_NAME_LEN = 34;
    static final int MAX_TABLE_NAME_LEN = 35;
    static final int MULT_RESULT_SETS = 36;
    static final int MULTIPLE_ACTIVE_TXN = 37;
    static final int OUTER_JOINS = 38;
    static final int SCHEMA_TERM = 39;
    static final int PROCEDURE_TERM = 40;
    static final int CATALOG_NAME_SEPARATOR = 41;
    static final int CATALOG_TERM = 42;
    static final int TXN_CAPABLE = 46;
    static final int CONVERT_FUNCTIONS = 48;
    static final int NUMERIC_FUNCTIONS = 49;
    static final int STRING_FUNCTIONS = 50;
    static final int SYSTEM_FUNCTIONS = 51;
    static final int TIMEDATE_FUNCTIONS = 52;
    static final int TXN_ISOLATION_OPTION = 72;
    static final int INTEGRITY = 73;
    static final int CORRELATION_NAME = 74;
    static final int NON_NULLABLE_COLUMNS = 75;
    static final int FILE_USAGE = 84;
    static final int NULL_COLLATION = 85;
    static final int ALTER_TABLE = 86;
    static final int COLUMN_ALIAS = 87;
    static final int GROUP_BY = 88;
    static final int KEYWORDS = 89;
    static final int ORDER_BY_COLUMNS_IN_SELECT = 90;
    static final int SCHEMA_USAGE = 91;
    static final int CATALOG_USAGE = 92;
    static final int QUOTED_IDENTIFIER_CASE = 93;
    static final int SPECIAL_CHARACTERS = 94;
    static final int SUBQUERIES = 95;
    static final int UNION = 96;
    static final int MAX_COLUMNS_IN_GROUP_BY = 97;
    static final int MAX_COLUMNS_IN_INDEX = 98;
    static final int MAX_COLUMNS_IN_ORDER_BY = 99;
    static final int MAX_COLUMNS_IN_SELECT = 100;
    static final int MAX_COLUMNS_IN_TABLE = 101;
    static final int MAX_INDEX_SIZE = 102;
    static final int MAX_ROW_SIZE_INCLUDES_LONG = 103;
    static final int MAX_ROW_SIZE = 104;
    static final int MAX_STATEMENT_LEN = 105;
    static final int MAX_TABLES_IN_SELECT = 106;
    static final int MAX_USER_NAME_LEN = 107;
    static final int MAX_CHAR_LITERAL_LEN = 108;
    static final int MAX_BINARY_LITERAL_LEN = 112;
    static final int LIKE_ESCAPE_CLAUSE = 113;
    static final int CATALOG_LOCATION = 114;
    static final int OJ_CAPABILITIES = 115;
    static final int SQL_CONFORMANCE = 118;

    /** SQLGetInfo's answers of SQLUSMALLINT and SQLUINTEGER width. */
    static final int SHORT = 2;
    static final int INT = 4;

    private static final Object UNKNOWN = new Object();

    private final OdbcLink link;
    private final Map<Integer, Object> known = new ConcurrentHashMap<>();

    public OdbcInfo(OdbcLink link) {
        this.link = link;
    }

    /** A text item; "" when the driver does not tell. */
    public String text(int item) throws SQLException {
        Object value = known.get(item);
        if (value == null) {
            value = link.info(item);
            known.put(item, value);
        }
        return (String) value;
    }

    /** A "Y"/"N" item: true only for "Y". */
    boolean yes(int item) throws SQLException {
        return "Y".equalsIgnoreCase(text(item));
    }

    /** An integer item of the width SQLGetInfo gives it (SHORT or INT); null when the driver does not tell. */
    Long number(int item, int width) throws SQLException {
        Object value = known.get(item);
        if (value == null) {
            Long asked = link.infoNumber(item, width);
            value = asked == null ? UNKNOWN : asked;
            known.put(item, value);
        }
        return value == UNKNOWN ? null : (Long) value;
    }

    /** A limit, 0 (JDBC's "none or unknown") when the driver does not tell; ODBC's 0 means the same. */
    int limit(int item, int width) throws SQLException {
        Long n = number(item, width);
        return n == null ? 0 : (int) Math.min(n, Integer.MAX_VALUE);
    }

    /** Whether a bitmask item has all of the bits; false when the driver does not tell. */
    boolean has(int item, long bits) throws SQLException {
        Long mask = number(item, INT);
        return mask != null && (mask & bits) == bits;
    }

    /** Whether a SQLUSMALLINT item equals the value; false when the driver does not tell. */
    boolean is(int item, long value) throws SQLException {
        Long n = number(item, SHORT);
        return n != null && n == value;
    }

    /** The names whose bits the bitmask item has (a null name is skipped), as JDBC's comma list; "" when the driver does not tell. */
    String names(int item, String[] byBit) throws SQLException {
        Long mask = number(item, INT);
        StringBuilder list = new StringBuilder();
        for (int bit = 0; mask != null && bit < byBit.length; bit++) {
            if ((mask & (1L << bit)) != 0 && byBit[bit] != null) {
                list.append(list.length() == 0 ? "" : ",").append(byBit[bit]);
            }
        }
        return list.toString();
    }
}

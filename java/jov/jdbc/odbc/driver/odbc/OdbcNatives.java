package jov.jdbc.odbc.driver.odbc;

import jov.jdbc.odbc.NativeLibrary;

/**
 * The JDBC driver's own path to ODBC: any Unicode text exactly, parameters
 * bound by the ODBC driver, values of any length. Beside the natives of
 * {@code JOVODBCDLL}, which it shares nothing with but the library.
 *
 * <p>Conventions of every native:
 * <ul>
 *   <li><b>Status.</b> Each answers {@link #SUCCESS}, {@link #SUCCESS_WITH_INFO},
 *       {@link #NO_DATA}, {@link #NULL_DATA} (a value getter read SQL NULL),
 *       {@link #NEED_DATA} (a parameter wants its data: {@link #paramData}) or
 *       {@link #ERROR}. None throws (except the JVM's own errors, such as
 *       OutOfMemoryError).</li>
 *   <li><b>Diagnostics.</b> Every native first forgets the calling thread's
 *       records; an error or a warning leaves all records of the failing call
 *       (the ODBC driver's SQLSTATE, native error and message, decoded
 *       exactly, or the library's own) for {@link #takeDiagnostics}. The
 *       library's own: 08003 a connection token that names no open
 *       connection, HY000 such a statement token, HY009 a null or too short
 *       argument (a catalogue function's arguments that do not fit it) and a
 *       U+0000 in SQL text, a connection string or a catalogue name, HY090 a
 *       catalogue name longer than 32,767 units, 22021 a
 *       character the connection's charset cannot carry (a lone surrogate;
 *       in {@link #WINDOWS_31J} any character without an exact mapping),
 *       naming the character and its index.</li>
 *   <li><b>Tokens.</b> Connections and statements are {@code long} tokens,
 *       never pointers. A token that is stale (freed), foreign (of the other
 *       kind) or made up fails cleanly; a statement's token is valid only
 *       while its connection's is, and {@link #disconnect} frees the
 *       connection's statements.</li>
 *   <li><b>Threads.</b> Calls on one connection and its statements must be
 *       serialised by the caller, except {@link #cancel}, which may run on
 *       another thread while the statement executes; freeing waits for it.
 *       Different connections may be used from different threads at
 *       once.</li>
 *   <li><b>Out-arrays.</b> Answers go into element 0 of an array argument,
 *       which must hold at least one element.</li>
 *   <li><b>Text.</b> Strings cross as their UTF-16 units, in the
 *       connection's charset, fixed at {@link #connect}: {@link #UNICODE}
 *       (Linux: the ODBC driver's narrow calls carrying UTF-8; Windows: the
 *       wide calls) or {@link #WINDOWS_31J} (narrow calls carrying
 *       Windows-31J, refusing what it cannot carry). On Linux the caller
 *       pins the session's character set in the connection string for
 *       UNICODE: {@code CHARSET=utf8mb4} for MariaDB and psqlODBC's
 *       {@code ConnSettings={<the data source's own, dataSourceSetting>;SET
 *       client_encoding TO 'UTF8'}}, as each driver ignores the other's
 *       keyword.</li>
 * </ul>
 */
public final class OdbcNatives {

    static {
        NativeLibrary.load();
    }

    public static final int ERROR = -1;
    public static final int SUCCESS = 0;
    public static final int SUCCESS_WITH_INFO = 1;
    public static final int NO_DATA = 2;
    public static final int NULL_DATA = 3;
    public static final int NEED_DATA = 99;

    /** Charsets of {@link #connect}. */
    public static final int UNICODE = 0;
    public static final int WINDOWS_31J = 1;

    /** Connection attributes (SQL_ATTR_*). */
    public static final int ATTR_ACCESS_MODE = 101;
    public static final int ATTR_AUTOCOMMIT = 102;
    public static final int ATTR_TXN_ISOLATION = 108;
    public static final int ATTR_CONNECTION_TIMEOUT = 113;

    /** Statement attributes (SQL_ATTR_*) and the static cursor type. */
    public static final int ATTR_QUERY_TIMEOUT = 0;
    public static final int ATTR_MAX_ROWS = 1;
    public static final int ATTR_CURSOR_TYPE = 6;
    public static final int CURSOR_STATIC = 3;

    /** Info types of {@link #getInfoInteger} (SQL_*) and its answers: each row of a parameter array counted, or the total only. */
    public static final int INFO_PARAM_ARRAY_ROW_COUNTS = 153;
    public static final int PARC_BATCH = 1;
    public static final int PARC_NO_BATCH = 2;

    /** Each row's outcome in the statuses of {@link #executeArray} (SQL_PARAM_*). */
    public static final int PARAM_SUCCESS = 0;
    public static final int PARAM_SUCCESS_WITH_INFO = 6;
    public static final int PARAM_ERROR = 5;
    public static final int PARAM_UNUSED = 7;

    /** Orientations of {@link #fetchScroll}. */
    public static final int FETCH_NEXT = 1;
    public static final int FETCH_FIRST = 2;
    public static final int FETCH_LAST = 3;
    public static final int FETCH_PRIOR = 4;
    public static final int FETCH_ABSOLUTE = 5;
    public static final int FETCH_RELATIVE = 6;

    /** Indexes into the array {@link #describeColumns} fills, and its length. */
    public static final int COLUMN_NAME = 0;
    public static final int COLUMN_LABEL = 1;
    public static final int COLUMN_SQL_TYPE = 2;
    public static final int COLUMN_SIZE = 3;
    public static final int COLUMN_DIGITS = 4;
    public static final int COLUMN_NULLABLE = 5;
    public static final int COLUMN_UNSIGNED = 6;
    public static final int COLUMN_DISPLAY_SIZE = 7;
    public static final int COLUMN_TABLE = 8;
    public static final int COLUMN_SCHEMA = 9;
    public static final int COLUMN_CATALOG = 10;
    public static final int COLUMN_TYPE_NAME = 11;
    public static final int COLUMN_AUTO_INCREMENT = 12;
    public static final int COLUMN_CASE_SENSITIVE = 13;
    public static final int COLUMN_FIELDS = 14;

    // ODBC's catalogue functions for catalog(): the names and numbers each takes, in ODBC's order.
    /** SQLTables: catalog, schema, table, table types; no numbers. */
    public static final int CATALOG_TABLES = 0;
    /** SQLColumns: catalog, schema, table, column. */
    public static final int CATALOG_COLUMNS = 1;
    /** SQLPrimaryKeys: catalog, schema, table. */
    public static final int CATALOG_PRIMARY_KEYS = 2;
    /** SQLForeignKeys: the key's catalog, schema, table, then the referring table's. */
    public static final int CATALOG_FOREIGN_KEYS = 3;
    /** SQLStatistics: catalog, schema, table; unique, reserved. */
    public static final int CATALOG_STATISTICS = 4;
    /** SQLGetTypeInfo: no names; the data type (0 for all). */
    public static final int CATALOG_TYPE_INFO = 5;
    /** SQLProcedures: catalog, schema, procedure. */
    public static final int CATALOG_PROCEDURES = 6;
    /** SQLProcedureColumns: catalog, schema, procedure, column. */
    public static final int CATALOG_PROCEDURE_COLUMNS = 7;
    /** SQLTablePrivileges: catalog, schema, table. */
    public static final int CATALOG_TABLE_PRIVILEGES = 8;
    /** SQLColumnPrivileges: catalog, schema, table, column. */
    public static final int CATALOG_COLUMN_PRIVILEGES = 9;
    /** SQLSpecialColumns: catalog, schema, table; identifier type, scope, nullable. */
    public static final int CATALOG_SPECIAL_COLUMNS = 10;

    private OdbcNatives() {
    }

    /** The thread's records as (SQLSTATE, native error in decimal, message) triples; empty when none. Forgets them. */
    public static native String[] takeDiagnostics();

    /** A data source's own setting (odbc.ini, the registry); "" when it has none. */
    public static native String dataSourceSetting(String dataSource, String key);

    /** SQLDriverConnect with the connection string as given; loginTimeout in seconds when above 0. The token goes to connection[0] (0 on failure). */
    public static native int connect(String connectionString, int charset, int loginTimeout, long[] connection);

    /** Frees the connection's statements, rolls back, disconnects and frees it; the token is stale afterwards whatever the answer. */
    public static native int disconnect(long connection);

    /** SQLSetConnectAttr with an integer value (ATTR_AUTOCOMMIT 0/1, ATTR_TXN_ISOLATION, ATTR_CONNECTION_TIMEOUT, ATTR_ACCESS_MODE 0 read-write / 1 read-only). */
    public static native int setConnectionAttribute(long connection, int attribute, long value);

    /** SQLGetConnectAttr of an integer attribute into value[0]. */
    public static native int getConnectionAttribute(long connection, int attribute, long[] value);

    /** SQLEndTran: commit or roll back. */
    public static native int endTransaction(long connection, boolean commit);

    /** SQLGetInfo of a text item (by its SQL_* number) into value[0]. */
    public static native int getInfoString(long connection, int infoType, String[] value);

    /** SQLGetInfo of an integer item of width 2 (SQLUSMALLINT) or 4 bytes into value[0]. */
    public static native int getInfoInteger(long connection, int infoType, int width, long[] value);

    /** A new statement on the connection; its token goes to statement[0] (0 on failure). No limit but the driver's. */
    public static native int allocStatement(long connection, long[] statement);

    /** Frees the statement and its bound parameters, waiting for a cancel in progress. */
    public static native int freeStatement(long statement);

    /** SQLSetStmtAttr with an integer value (ATTR_QUERY_TIMEOUT, ATTR_MAX_ROWS, ATTR_CURSOR_TYPE). */
    public static native int setStatementAttribute(long statement, int attribute, long value);

    /** SQLPrepare, once; then bind and {@link #execute} as often as needed. */
    public static native int prepare(long statement, String sql);

    /** SQLExecDirect with the bound parameters. */
    public static native int execDirect(long statement, String sql);

    /** SQLExecute of the prepared statement with its bound parameters; NEED_DATA when a stream parameter wants data. */
    public static native int execute(long statement);

    /** SQLCancel; safe from another thread while the statement executes. */
    public static native int cancel(long statement);

    /**
     * SQLNumResultCols into count[0]: 0 means the execution made no result
     * set. When count has room for two, count[1] is 1 when the result's
     * columns have the names, SQL types, sizes and digits that
     * describeColumns last read on the statement, 0 otherwise.
     */
    public static native int numResultCols(long statement, int[] count);

    /** SQLRowCount into count[0] (-1 when the driver cannot tell). */
    public static native int rowCount(long statement, long[] count);

    /** SQLMoreResults: SUCCESS with the next result, NO_DATA when there is none. */
    public static native int moreResults(long statement);

    /** SQLCloseCursor; the statement stays prepared for another execution. */
    public static native int closeCursor(long statement);

    /** SQLFreeStmt(SQL_RESET_PARAMS), then the bound parameters' buffers go. */
    public static native int resetParameters(long statement);

    /** SQLNumParams into count[0]. */
    public static native int numParams(long statement, int[] count);

    /** SQLDescribeParam into shape[0..3]: SQL type, size, decimal digits, nullable. */
    public static native int describeParam(long statement, int parameter, long[] shape);

    /** Every column of the result at once: columns[COLUMN_*] receives one array per field (String[], int[], long[] or boolean[] as the field is). */
    public static native int describeColumns(long statement, Object[] columns);

    /** SQLFetch: SUCCESS on a row, NO_DATA after the last. */
    public static native int fetch(long statement);

    /** SQLFetchScroll with FETCH_*; scrolling needs ATTR_CURSOR_TYPE CURSOR_STATIC before execution. */
    public static native int fetchScroll(long statement, int orientation, long offset);

    /**
     * The whole value as text into value[0] (any length, exact; dates and
     * numbers as the driver writes them): where the connection's text is
     * UTF-8 (the UNICODE charset on Linux) its bytes as a byte[], for Java to
     * decode; otherwise a String. NULL_DATA and null for SQL NULL.
     */
    public static native int getText(long statement, int column, Object[] value);

    /** The whole value as bytes into value[0]; NULL_DATA and null for SQL NULL. */
    public static native int getBytes(long statement, int column, byte[][] value);

    /** The value as SQL_C_SBIGINT into value[0]; NULL_DATA and 0 for SQL NULL. */
    public static native int getLong(long statement, int column, long[] value);

    /** The value as SQL_C_DOUBLE into value[0]; NULL_DATA and 0 for SQL NULL. */
    public static native int getDouble(long statement, int column, double[] value);

    /** How {@link #bindBlock} binds a column: not (read it per value), SQL_C_SBIGINT, SQL_C_DOUBLE, the connection's text, SQL_C_BINARY. */
    public static final int BOUND_NONE = 0;
    public static final int BOUND_INTEGER = 1;
    public static final int BOUND_DOUBLE = 2;
    public static final int BOUND_TEXT = 3;
    public static final int BOUND_BINARY = 4;
    /** What {@link #fetchBlock} puts in lengths for SQL NULL, and for a value longer than its width (read it whole per value). */
    public static final int LENGTH_NULL = -1;
    public static final int LENGTH_CUT = -2;
    /** Indexes into the answer of {@link #bindBlock}, and its length. */
    public static final int BLOCK_ROWS = 0;
    public static final int BLOCK_UNIT_BYTES = 1;
    public static final int BLOCK_DATA_BYTES = 2;
    public static final int BLOCK_FIELDS = 3;

    /**
     * Binds the result's columns to a row array of rows (the driver may grant
     * only 1): plan holds (BOUND_*, width in bytes, terminator included) per
     * column. answer[BLOCK_*] receives the rows granted, the bytes of a text
     * unit (1: UTF-8 or Windows-31J, 2: UTF-16LE) and the bytes of the data
     * array {@link #fetchBlock} fills: bound columns in order, each one region
     * of rows x width (8 for numbers), row r of a region at r x width.
     */
    public static native int bindBlock(long statement, int rows, int[] plan, int[] answer);

    /**
     * Fetches the next block (FETCH_NEXT) or the one an orientation and offset
     * name into data and lengths (bound column b's row r at b x rows + r: its
     * bytes, LENGTH_NULL or LENGTH_CUT); fetched[0] receives the rows fetched.
     */
    public static native int fetchBlock(long statement, int orientation, long offset, byte[] data, int[] lengths,
            int[] fetched);

    /** SQLSetPos to row (1-based) of the block, before reading its values per value. */
    public static native int position(long statement, int row);

    /** NULL of the given SQL type (java.sql.Types numbers are ODBC's for the common types). */
    public static native int bindNull(long statement, int parameter, int sqlType);

    /** An exact integer (SQL_C_SBIGINT) declared as sqlType (INTEGER, BIGINT, SMALLINT...). */
    public static native int bindLong(long statement, int parameter, long value, int sqlType);

    /** A double (SQL_C_DOUBLE) declared as sqlType (DOUBLE, REAL, FLOAT). */
    public static native int bindDouble(long statement, int parameter, double value, int sqlType);

    /** A boolean as SQL_C_BIT/SQL_BIT. */
    public static native int bindBoolean(long statement, int parameter, boolean value);

    /** Text in the connection's charset, declared as sqlType (VARCHAR, LONGVARCHAR; their wide forms on Windows). */
    public static native int bindString(long statement, int parameter, String value, int sqlType);

    /** Bytes (SQL_C_BINARY) declared as sqlType (VARBINARY, LONGVARBINARY). */
    public static native int bindBytes(long statement, int parameter, byte[] value, int sqlType);

    /** A decimal as its ASCII text ("-12.345"), declared DECIMAL(precision, scale). */
    public static native int bindDecimal(long statement, int parameter, String digits, int precision, int scale);

    /** A date by its fields (SQL_C_TYPE_DATE). */
    public static native int bindDate(long statement, int parameter, int year, int month, int day);

    /** A time by its fields (SQL_C_TYPE_TIME). */
    public static native int bindTime(long statement, int parameter, int hour, int minute, int second);

    /** A timestamp by its fields, nanos 0-999,999,999, declared with fractionDigits the driver accepts (6 for psqlODBC and MariaDB). */
    public static native int bindTimestamp(long statement, int parameter, int year, int month, int day, int hour, int minute, int second, int nanos, int fractionDigits);

    /** A long text or binary value sent at execution: execute answers NEED_DATA, then paramData/put* until paramData ends; length in bytes (of text: in the narrow encoding, UTF-8 or Windows-31J), units the text's UTF-16 units, which the wide path announces instead (ignored for binary); -1 when unknown. */
    public static native int bindStream(long statement, int parameter, boolean binary, long length, long units);

    /** SQLParamData: NEED_DATA with the wanted parameter's number in parameter[0], or how the execution ended. */
    public static native int paramData(long statement, int[] parameter);

    /** One piece of a stream text parameter; a piece must not end between the halves of a surrogate pair. */
    public static native int putString(long statement, String piece);

    /** The first length bytes of piece as one piece of a stream binary parameter. */
    public static native int putBytes(long statement, byte[] piece, int length);

    // Parameter arrays: each array's length is its rows; executeArray runs at most as many as the shortest holds.

    /** Exact integers (SQL_C_SBIGINT) declared as sqlType; nulls[i] makes row i NULL. */
    public static native int bindLongArray(long statement, int parameter, long[] values, boolean[] nulls, int sqlType);

    /** Doubles (SQL_C_DOUBLE) declared as sqlType; nulls[i] makes row i NULL. */
    public static native int bindDoubleArray(long statement, int parameter, double[] values, boolean[] nulls, int sqlType);

    /** Texts in the connection's charset declared as sqlType; a null element is NULL. */
    public static native int bindStringArray(long statement, int parameter, String[] values, int sqlType);

    /** Bytes (SQL_C_BINARY) declared as sqlType; a null element is NULL. */
    public static native int bindBytesArray(long statement, int parameter, byte[][] values, int sqlType);

    /**
     * SQLExecute of the first rows rows of the bound arrays at once. statuses[i]
     * receives row i's PARAM_* (PARAM_UNUSED where the driver did not reach
     * it), counts[i] its row count when the driver makes one result per row
     * (INFO_PARAM_ARRAY_ROW_COUNTS is PARC_BATCH), -1 where untold. The
     * statement executes one row at a time again afterwards.
     */
    public static native int executeArray(long statement, int rows, long[] counts, int[] statuses);

    /**
     * A catalogue function (CATALOG_*) with exactly the names and numbers it
     * takes; a null name is not given (a NULL pointer, which each function
     * reads as ODBC says: mostly "any"). Names are patterns where ODBC takes
     * patterns. Its result is read like a query's; {@link #cancel} reaches it.
     */
    public static native int catalog(long statement, int function, String[] names, int[] numbers);
}

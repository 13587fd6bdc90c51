package jov.jdbc.odbc;

/**
 * The native methods of libJovJdbcOdbc: ODBC connections, statements, cursors
 * and column values, reached by small integers.
 *
 * <ul>
 *   <li>A database identifier (1..512) names an open connection; a cursor
 *       handle (1..32) names a cursor within one connection; column numbers
 *       count from 1.</li>
 *   <li>No method throws. A failure is a result value (-1, 0, "" or an empty
 *       array); its message and code stay in one process-wide last-error
 *       record, read with {@link #JNIODBCgetErrorString()} and
 *       {@link #JNIODBCgetErrorCode()}. A success never clears the record.</li>
 *   <li>Any thread may call. A connection must not be closed, nor a cursor's
 *       columns read, while another thread fetches on it.</li>
 * </ul>
 *
 * <p>The library is loaded when the class is initialised: from the absolute
 * path in the system property {@value #LIBRARY_PROPERTY} when it is set,
 * otherwise as "JovJdbcOdbc" from {@code java.library.path}, otherwise the
 * one the jar carries for this platform.
 */
public final class JOVODBCDLL {

    /** System property holding the absolute path of the native library. */
    public static final String LIBRARY_PROPERTY = "jov.jdbc.odbc.library";

    /** Library name for {@link System#loadLibrary(String)}. */
    public static final String LIBRARY_NAME = "JovJdbcOdbc";

    /** Fetch orientations of {@link #JNIODBCfetchScroll}, as ODBC numbers them. */
    public static final int SQL_FETCH_NEXT = 1;
    public static final int SQL_FETCH_FIRST = 2;
    public static final int SQL_FETCH_LAST = 3;
    public static final int SQL_FETCH_PRIOR = 4;
    public static final int SQL_FETCH_ABSOLUTE = 5;
    public static final int SQL_FETCH_RELATIVE = 6;

    /** Values of {@link #JNIODBCsetAutoCommit}: any non-zero value switches it on. */
    public static final int AUTO_COMMIT_OFF = 0;
    public static final int AUTO_COMMIT_ON = 1;

    /** Date style after a connection is opened: yy/mm/dd hh:mm:ss. */
    public static final short DATE_STYLE_DEFAULT = 21;

    static {
        NativeLibrary.load();
    }

    private JOVODBCDLL() {
    }

    // Connections, transactions and the last error.
    public static native int JNIODBCopen(String dataSource, String user, String password);
    public static native void JNIODBCclose(int id);
    public static native int JNIODBCisOpenOk(int id);
    public static native String JNIODBCgetOpenDataSource(int id);
    public static native void JNIODBCsetAutoCommit(int id, int autoCommit);
    public static native int JNIODBCgetAutoCommit(int id);
    public static native int JNIODBCcommitTran(int id);
    public static native int JNIODBCrollbackTran(int id);
    public static native String JNIODBCgetErrorString();
    public static native String JNIODBCgetErrorCode();

    // Statements and fetching.
    public static native int JNIODBCexecSQLQuery(int id, String sql);
    public static native int JNIODBCexecSQLUpdate(int id, String sql);
    public static native int JNIODBCgetCursorHandle(int id);
    public static native void JNIODBCcloseCursor(int id, int cursor);
    public static native int JNIODBCgetColumnNum(int id, int cursor);
    public static native int JNIODBCfetch(int id, int cursor);
    public static native int JNIODBCfetchScroll(int id, int cursor, int orientation, int offset);

    // Column metadata and values of the current row.
    public static native String JNIODBCgetColumnName(int id, int cursor, int column);
    public static native short JNIODBCgetColumnType(int id, int cursor, int column);
    public static native long JNIODBCgetColumnOctetLength(int id, int cursor, int column);
    public static native long JNIODBCgetColumnFetchDataLength(int id, int cursor, int column);
    public static native short JNIODBCgetColumnNumericPrecision(int id, int cursor, int column);
    public static native short JNIODBCgetColumnNumericScale(int id, int cursor, int column);
    public static native int JNIODBCgetColumnNoFromName(int id, int cursor, String name);
    public static native int JNIODBCisColumnDataNull(int id, int cursor, int column);
    public static native byte[] JNIODBCgetColumnDataBinary(int id, int cursor, int column);
    public static native String JNIODBCgetColumnDataString(int id, int cursor, int column);
    public static native long JNIODBCgetColumnDataTimet(int id, int cursor, int column);
    public static native void JNIODBCsetDateStyle(int id, short style);
}

package jov.jdbc.odbc;

/**
 * Natives beside the 29 of {@link JOVODBCDLL}, for callers such as a JDBC
 * driver that serve many threads and want exact update counts, numbers
 * without objects, timeouts and cancelling. Same conventions: database identifiers, cursor handles,
 * column numbers from 1, no exceptions.
 *
 * <ul>
 *   <li>Every failure a call records in the process-wide last-error record
 *       is also kept as the calling thread's own last failure: a thread reads
 *       its own failure even while other threads fail at the same moment. Its
 *       message and code are the record's, except where the failing ODBC call
 *       left a diagnostic that the record does not show (a statement the
 *       connection could not allocate): then the thread's own failure is the
 *       ODBC driver's SQLSTATE and message. It also keeps the driver's native
 *       error code. A success clears neither.</li>
 *   <li>The library is the one {@link JOVODBCDLL} loads.</li>
 * </ul>
 */
public final class JovOdbcExtras {

    static {
        NativeLibrary.load();
    }

    private JovOdbcExtras() {
    }

    /** Message of this thread's latest failure; "" when it has had none. */
    public static native String threadErrorString();

    /** Code of this thread's latest failure; "" when it has had none or it had no code. */
    public static native String threadErrorCode();

    /**
     * The ODBC driver's native error code of this thread's latest failure;
     * 0 when it has had none or the failure was the library's own.
     */
    public static native int threadErrorNativeCode();

    /**
     * Runs a statement without a result set, exactly as
     * {@link JOVODBCDLL#JNIODBCexecSQLUpdate} does and with its answer
     * (1 executed, 0 no data, 2 need data, -1 failure). When it executed,
     * {@code rowCount[0]} receives the driver's count of affected rows
     * (SQLRowCount; -1 when the driver cannot tell); when the statement
     * affected nothing (answer 0) it receives 0; for the other answers, -1.
     * {@code rowCount} must hold at least one element and {@code sql} no
     * U+0000, otherwise the call fails before anything runs.
     */
    public static native int execSQLUpdateRowCount(int id, String sql, long[] rowCount);

    /**
     * The current value of a fixed-width integer column (SQL types BIT,
     * TINYINT, SMALLINT, INTEGER, BIGINT) as a long. Returns 1 with the value
     * in {@code value[0]}, 0 for SQL NULL, -1 on failure (a null or empty
     * array, identifier, cursor, column or type out of place, or a value the
     * driver handed as text that is not an integer), with the failure
     * recorded; after 0 and -1, {@code value[0]} (where there is one) is 0.
     */
    public static native int getColumnLong(int id, int cursor, int column, long[] value);

    /**
     * The current value of a fixed-width number column (the integer types
     * above, REAL, FLOAT, DOUBLE) as a double: the driver's double itself, a
     * REAL widened, an integer converted. Answers as {@link #getColumnLong}.
     */
    public static native int getColumnDouble(int id, int cursor, int column, double[] value);

    // SQL run as the driver reports it.

    /**
     * Runs SQL of any kind and lets the ODBC driver tell what it gave: when
     * the executed statement has result columns ({@code SQLNumResultCols}),
     * answers a new cursor handle (1 or more) over its rows, as
     * {@link JOVODBCDLL#JNIODBCexecSQLQuery} does, with {@code rowCount[0]}
     * -1; otherwise answers 0, takes no cursor, and {@code rowCount[0]}
     * receives the affected rows (0 when the driver found no data, -1 when it
     * cannot tell). -1 on failure, including a statement that asks for
     * parameter data (code 07002), with {@code rowCount[0]} -1. A free cursor
     * is needed either way: with 32 open the call fails before anything runs.
     * {@code rowCount} must hold at least one element and {@code sql} no
     * U+0000, otherwise the call fails before anything runs.
     * {@link JOVODBCDLL#JNIODBCgetCursorHandle} does not change.
     */
    public static native int execSQL(int id, String sql, long[] rowCount);

    // Timeouts and cancelling.

    /**
     * Opens a data source exactly as {@link JOVODBCDLL#JNIODBCopen} does, with
     * its answer; a {@code seconds} above 0 is first offered to the ODBC
     * driver as its login timeout (SQL_ATTR_LOGIN_TIMEOUT). A driver that
     * refuses it connects with its own default.
     */
    public static native int openWithLoginTimeout(String dataSource, String user, String password, int seconds);

    /**
     * The query timeout (SQL_ATTR_QUERY_TIMEOUT) in seconds given to every
     * statement the query and update natives allocate on this identifier from
     * now on; 0, the start, sets nothing, so the driver keeps its default. A
     * driver that refuses the attribute runs the statement without it.
     * Returns 0, or -1 for a negative count or an identifier that is not open.
     */
    public static native int setQueryTimeout(int id, int seconds);

    /**
     * The connection timeout (SQL_ATTR_CONNECTION_TIMEOUT) in seconds, 0 for
     * none: 0 when the driver took it, -1 when it refused (its diagnostic
     * recorded), for a negative count or an identifier that is not open.
     */
    public static native int setConnectionTimeout(int id, int seconds);

    /**
     * Cancels (SQLCancel) what a query or an update native is executing on
     * the identifier now, from any thread: it waits for none of the
     * identifier's other calls. 1 when an execution was cancelled (that call
     * then fails as the driver reports a cancel), 0 when none was executing,
     * -1 when the driver refused (its diagnostic recorded) or the identifier
     * is not open.
     */
    public static native int cancel(int id);
}

package jov.jdbc.odbc.driver;

import static jov.jdbc.odbc.JOVODBCDLL.*;

import java.sql.SQLException;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.logging.Level;
import java.util.logging.Logger;
import jov.jdbc.odbc.JovOdbcExtras;

/**
 * One open database identifier of the library and every native call made on
 * it. Calls are serialised by a lock of this connection alone, so threads
 * sharing a JDBC connection take turns while other connections run freely;
 * nothing waits on the lock except calls on this same identifier.
 *
 * <p>The library gives a closed identifier, and a freed cursor handle, to the
 * next open or query, so every call checks under the lock, right before it
 * reaches the library, that the link and the cursor are still open, and the
 * identifier goes back only under the lock: no call of a closed connection,
 * or of a closed result, can reach the connection or cursor that reuses the
 * number. Cursors of results that became unreachable are freed at the next
 * call.
 *
 * <p>Failures become exceptions built from the calling thread's own last
 * failure, never the process-wide record another thread may have overwritten.
 * The SQL crosses as NUL-terminated text, so SQL holding U+0000 is refused
 * before it could be cut short.
 *
 * <p>A failure whose state says the session is gone (class 08, or PostgreSQL's
 * 57P: the server ended it) marks the connection lost for good: whatever the
 * ODBC driver answers later, the transaction that was open is gone, so a
 * commit is refused rather than reported as done.
 *
 * <p>Cancelling takes no turn: it runs beside the call that holds the lock,
 * under a short lock of its own that the executing thread also takes to say
 * that its execution has ended, so a cancel reaches only the execution it was
 * meant for (see {@link Execution} for the timeouts). An execution is
 * published only while its thread holds the lock, and the identifier goes
 * back only under the lock, so a cancel never reaches a later connection
 * that reuses the number, even once this one is marked closed (abort cancels
 * after marking).
 */
final class OdbcLink {

    private static final Logger LOG = Logger.getLogger(DriverInfo.LOGGER_NAME);

    /** Answers of the update natives besides failure. */
    private static final int UPDATE_NO_DATA = 0;
    private static final int UPDATE_NEED_DATA = 2;

    /** Data source, user and password limits of the open native, in Windows-31J bytes. */
    private static final int MAX_DATA_SOURCE_BYTES = 127;
    private static final int MAX_CREDENTIAL_BYTES = 63;

    private final Object lock = new Object();
    private final int id;
    private final long[] rowCount = new long[1];
    /** Guarded by lock. */
    private final OpenCursors cursors = new OpenCursors();
    /** Set at once by close and abort; read under the lock by every call. */
    private volatile boolean closed;
    /** Guarded by lock: the identifier went back to the library. */
    private boolean released;
    /** The first failure that ended the session; null while none has. */
    private volatile SQLException lost;
    private final Object cancelLock = new Object();
    /** Under cancelLock: the query or update executing now, or null. */
    private Execution executing;
    /** Under lock: the query timeout the library gives the statements it allocates. */
    private int queryTimeoutSet;
    /** Under lock: the connection timeout in seconds the ODBC driver was last given. */
    private int connectionTimeoutSet;
    private volatile boolean driverTimesQueries;
    private volatile int networkTimeoutMillis;

    private OdbcLink(int id) {
        this.id = id;
    }

    /**
     * Opens a data source; user and password may be empty. A login timeout
     * above 0 seconds is offered to the ODBC driver, and bounds the wait here
     * too, for drivers that do not keep it: the attempt then goes on on a
     * worker thread, which closes the connection should it still come, and
     * the caller gets SQLTimeoutException (HYT00, ODBC's state for an expired
     * login).
     */
    static OdbcLink open(String dataSource, String user, String password, int loginTimeoutSeconds)
            throws SQLException {
        checkOpenText("data source name", dataSource, MAX_DATA_SOURCE_BYTES);
        checkOpenText("user", user, MAX_CREDENTIAL_BYTES);
        checkOpenText("password", password, MAX_CREDENTIAL_BYTES);
        if (dataSource.indexOf(':') >= 0) {
            // The library would open only the part after the last ':'.
            throw Errors.create("A data source name holds no ':': " + dataSource, "08001");
        }
        if (loginTimeoutSeconds <= 0) {
            return connect(dataSource, user, password, 0);
        }
        Future<OdbcLink> attempt = Watchdog.submit(() -> connect(dataSource, user, password, loginTimeoutSeconds));
        try {
            return attempt.get(loginTimeoutSeconds, TimeUnit.SECONDS);
        } catch (TimeoutException e) {
            Watchdog.submit(() -> {
                attempt.get().close();
                return null;
            });
            throw Errors.create("Opening data source " + dataSource + ": no answer within the login timeout of "
                    + loginTimeoutSeconds + " s", Execution.QUERY_TIMEOUT_EXPIRED, e);
        } catch (ExecutionException e) {
            if (e.getCause() instanceof SQLException) {
                throw (SQLException) e.getCause();
            }
            throw Errors.create("Opening data source " + dataSource + " failed: " + e.getCause(), "08001", e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw Errors.create("Opening data source " + dataSource + " was interrupted", "08001", e);
        }
    }

    /** The open itself, on the calling thread, whose own record tells a failure. */
    private static OdbcLink connect(String dataSource, String user, String password, int loginTimeoutSeconds)
            throws SQLException {
        int id = openNative(dataSource, user, password, loginTimeoutSeconds);
        if (id < 1) {
            SQLException failure = Errors.lastFailure("Opening data source " + dataSource);
            throw Errors.create(failure.getMessage(), connectState(failure.getSQLState()),
                    failure.getErrorCode(), failure);
        }
        return new OdbcLink(id);
    }

    /** The first call that needs the library loads it; a library that cannot be loaded is a connection failure. */
    private static int openNative(String dataSource, String user, String password, int loginTimeoutSeconds)
            throws SQLException {
        try {
            return JovOdbcExtras.openWithLoginTimeout(dataSource, user, password, loginTimeoutSeconds);
        } catch (LinkageError e) {
            String why = String.valueOf(e.getMessage());
            String advice = why.contains(LIBRARY_PROPERTY) ? "" : "; set the system property " + LIBRARY_PROPERTY
                    + " to its path, or put it on java.library.path";
            throw Errors.create("The native library " + LIBRARY_NAME + " could not be loaded: " + why + advice,
                    "08001", e);
        }
    }

    /** Whatever the driver says, a failed open is a connection failure to JDBC tools. */
    private static String connectState(String state) {
        return state.startsWith("08") || state.startsWith("28") ? state : "08001";
    }

    /** Rejects texts the library would cut or change instead of passing them on whole. */
    private static void checkOpenText(String what, String text, int maxBytes) throws SQLException {
        if (text.indexOf('\0') >= 0) {
            throw Errors.create("The " + what + " holds U+0000", "08001");
        }
        if (Windows31j.length(text) > maxBytes) {
            throw Errors.create("The " + what + " is longer than " + maxBytes + " bytes", "08001");
        }
    }

    /** Runs a query into a new cursor. */
    OdbcCursor query(String sql) throws SQLException {
        return query(sql, null, 0);
    }

    /**
     * A query that {@link #cancel(Object)} with owner reaches, under a query
     * timeout in seconds (0 for none). Cursors of unreachable results are
     * freed first, so forgotten results never use up the connection's cursors.
     */
    OdbcCursor query(String sql, Object owner, int queryTimeoutSeconds) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            Execution run = begin(owner, queryTimeoutSeconds);
            try {
                int handle = JNIODBCexecSQLQuery(id, sql);
                if (handle < 1) {
                    throw noteLost(run.failure("Query"));
                }
                return cursors.add(handle);
            } finally {
                end(run);
            }
        }
    }

    /** The cursor stays open as long as the owner can be reached, and no longer. */
    void ownCursor(OdbcCursor cursor, Object owner) {
        synchronized (lock) {
            cursors.own(cursor, owner);
        }
    }

    /** Under the lock, before any call reaches the library. */
    private void checkOpen() throws SQLException {
        if (closed) {
            throw Errors.create("The connection is closed", Errors.CONNECTION_CLOSED);
        }
        free(cursors.takeQueued());
    }

    private void checkOpen(OdbcCursor cursor) throws SQLException {
        checkOpen();
        if (cursor.closed) {
            throw Errors.create("The result set is closed", Errors.SEQUENCE);
        }
    }

    private void free(List<OdbcCursor> unused) {
        for (OdbcCursor cursor : unused) {
            cursor.closed = true;
            JNIODBCcloseCursor(id, cursor.handle);
        }
    }

    long update(String sql) throws SQLException {
        return update(sql, null, 0);
    }

    /**
     * Runs a statement without a result set and answers the rows it affected:
     * 0 when the driver found no data, -1 when the driver cannot tell. Owner
     * and timeout as for a query.
     */
    long update(String sql, Object owner, int queryTimeoutSeconds) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            Execution run = begin(owner, queryTimeoutSeconds);
            int answer;
            try {
                answer = JovOdbcExtras.execSQLUpdateRowCount(id, sql, rowCount);
                if (answer < 0) {
                    throw noteLost(run.failure("Update"));
                }
            } finally {
                end(run);
            }
            if (answer == UPDATE_NEED_DATA) {
                throw Errors.create("The driver asked for parameter data the statement does not give",
                        "07002");
            }
            return answer == UPDATE_NO_DATA ? 0 : rowCount[0];
        }
    }

    /** The calling thread's failure on this connection, noting whether it ended the session. */
    private SQLException failure(String doing) {
        return noteLost(Errors.lastFailure(doing));
    }

    /**
     * A call that fails once the connection was closed or aborted under it
     * (abort cancels what runs) reports the close, with the driver's own
     * failure as the cause: that is what ended it.
     */
    private SQLException noteLost(SQLException failure) {
        if (closed) {
            return Errors.create("The connection was closed while the call ran", Errors.CONNECTION_CLOSED,
                    failure);
        }
        String state = failure.getSQLState();
        if (lost == null && (state.startsWith("08") || state.startsWith("57P"))) {
            lost = failure;
        }
        return failure;
    }

    /** Whether a failure on this connection said the session is gone. */
    boolean isLost() {
        return lost != null;
    }

    /**
     * Runs SQL as the ODBC driver reports it after executing: into a cursor
     * when the statement gave result columns, otherwise with its row count.
     * Owner and timeout as for a query.
     */
    Executed execute(String sql, Object owner, int queryTimeoutSeconds) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            Execution run = begin(owner, queryTimeoutSeconds);
            int handle;
            try {
                handle = JovOdbcExtras.execSQL(id, sql, rowCount);
                if (handle < 0) {
                    throw noteLost(run.failure("Statement"));
                }
            } finally {
                end(run);
            }
            return new Executed(handle > 0 ? cursors.add(handle) : null, rowCount[0]);
        }
    }

    /** What {@link #execute} gave: a cursor, or null and the rows affected (-1 when untold). */
    static final class Executed {
        final OdbcCursor cursor;
        final long rowCount;

        Executed(OdbcCursor cursor, long rowCount) {
            this.cursor = cursor;
            this.rowCount = rowCount;
        }
    }

    /** Holding lock: gives the library the timeouts and publishes the execution. */
    private Execution begin(Object owner, int queryTimeoutSeconds) {
        if (queryTimeoutSeconds != queryTimeoutSet
                && JovOdbcExtras.setQueryTimeout(id, queryTimeoutSeconds) == 0) {
            queryTimeoutSet = queryTimeoutSeconds;
        }
        int networkMillis = networkTimeoutMillis;
        int connectionSeconds = (int) ((networkMillis + 999L) / 1000);
        if (connectionSeconds != connectionTimeoutSet) {
            // A driver that refuses it does without: the timer keeps the limit.
            JovOdbcExtras.setConnectionTimeout(id, connectionSeconds);
            connectionTimeoutSet = connectionSeconds;
        }
        Execution run = new Execution(owner, queryTimeoutSeconds, networkMillis);
        synchronized (cancelLock) {
            executing = run;
        }
        run.watch(driverTimesQueries, () -> cancel(run));
        return run;
    }

    private void end(Execution run) {
        run.unwatch();
        synchronized (cancelLock) {
            executing = null;
        }
    }

    /**
     * Cancels the query or update executing now when owner started it, or,
     * with a null owner, whatever executes. Takes no turn, so it reaches a
     * call that holds the connection; true when the driver was asked to cancel.
     */
    boolean cancel(Object owner) throws SQLException {
        synchronized (cancelLock) {
            if (executing == null || (owner != null && executing.owner != owner)) {
                return false;
            }
            return cancelExecuting();
        }
    }

    private void cancel(Execution run) {
        synchronized (cancelLock) {
            if (executing == run) {
                try {
                    cancelExecuting();
                } catch (SQLException e) {
                    LOG.fine(() -> "Cancel at the deadline failed: " + e.getMessage());
                }
            }
        }
    }

    /** Holding cancelLock. */
    private boolean cancelExecuting() throws SQLException {
        int answer = JovOdbcExtras.cancel(id);
        if (answer < 0) {
            throw Errors.lastFailure("Cancel");
        }
        return answer == 1;
    }

    /** Whether the ODBC driver enforces the query timeout itself, so no timer needs to. */
    void driverTimesQueries(boolean times) {
        driverTimesQueries = times;
    }

    /**
     * Every later execution is cancelled after this many milliseconds (0 for
     * no limit). Takes no turn: pools reset the limit right after a liveness
     * probe that may still hold the connection. The ODBC driver gets it as
     * its connection timeout with the next execution.
     */
    void setNetworkTimeout(int milliseconds) {
        networkTimeoutMillis = milliseconds;
    }

    int networkTimeout() {
        return networkTimeoutMillis;
    }

    private static void checkSql(String sql) throws SQLException {
        if (sql == null) {
            throw Errors.create("SQL text is null", Errors.INVALID_ARGUMENT);
        }
        if (sql.indexOf('\0') >= 0) {
            throw Errors.create("SQL text holds U+0000, which would cut it short", "22024");
        }
        if (LOG.isLoggable(Level.FINE)) {
            LOG.fine(sql);
        }
    }

    /** Moves to the next row: true on a row, false past the last. */
    boolean fetch(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            return fetchAnswer(JNIODBCfetch(id, cursor.handle));
        }
    }

    /** Moves by an ODBC orientation and offset: true on a row, false off the rows. */
    boolean fetchScroll(OdbcCursor cursor, int orientation, int offset) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            return fetchAnswer(JNIODBCfetchScroll(id, cursor.handle, orientation, offset));
        }
    }

    private boolean fetchAnswer(int answer) throws SQLException {
        if (answer < 0) {
            throw failure("Fetch");
        }
        return answer == 1;
    }

    /** Frees the cursor once; a closed link has freed it already or will as it closes. */
    void closeCursor(OdbcCursor cursor) {
        synchronized (lock) {
            if (!closed && !cursor.closed) {
                cursors.remove(cursor);
                free(Collections.singletonList(cursor));
            }
        }
    }

    /**
     * The cursor's columns, read once right after the query: precision and
     * scale too, which the library tells only while no NULL has been fetched.
     */
    ResultColumns columns(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            int count = JNIODBCgetColumnNum(id, cursor.handle);
            if (count < 0) {
                throw failure("Reading the result's columns");
            }
            ResultColumns columns = new ResultColumns(count);
            for (int c = 1; c <= count; c++) {
                columns.set(c, JNIODBCgetColumnName(id, cursor.handle, c),
                        JNIODBCgetColumnType(id, cursor.handle, c),
                        JNIODBCgetColumnOctetLength(id, cursor.handle, c),
                        JNIODBCgetColumnNumericPrecision(id, cursor.handle, c),
                        JNIODBCgetColumnNumericScale(id, cursor.handle, c));
            }
            return columns;
        }
    }

    /**
     * The value as the library renders it as text; null for SQL NULL. The
     * library renders NULL as the empty text, so only an empty text costs a
     * second call to tell the two apart.
     */
    String string(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            String text = JNIODBCgetColumnDataString(id, cursor.handle, column);
            if (text == null) {
                throw failure("Reading a value");
            }
            if (text.isEmpty() && JNIODBCisColumnDataNull(id, cursor.handle, column) == 1) {
                return null;
            }
            return text;
        }
    }

    /**
     * The value's stored bytes; null for SQL NULL. The library gives NULL as
     * the empty array, so, as for text, only an empty array costs a second
     * call to tell the two apart.
     */
    byte[] bytes(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            byte[] bytes = JNIODBCgetColumnDataBinary(id, cursor.handle, column);
            if (bytes == null) {
                throw failure("Reading a value");
            }
            if (bytes.length == 0 && JNIODBCisColumnDataNull(id, cursor.handle, column) == 1) {
                return null;
            }
            return bytes;
        }
    }

    /** Byte length of the current value as stored; 0 for NULL. */
    long storedLength(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            return JNIODBCgetColumnFetchDataLength(id, cursor.handle, column);
        }
    }

    /** A fixed-width number into {@code value[0]}: false for SQL NULL. */
    boolean readLong(OdbcCursor cursor, int column, long[] value) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            return numberAnswer(JovOdbcExtras.getColumnLong(id, cursor.handle, column, value));
        }
    }

    /** A fixed-width number into {@code value[0]}: false for SQL NULL. */
    boolean readDouble(OdbcCursor cursor, int column, double[] value) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            return numberAnswer(JovOdbcExtras.getColumnDouble(id, cursor.handle, column, value));
        }
    }

    private boolean numberAnswer(int answer) throws SQLException {
        if (answer < 0) {
            throw failure("Reading a number");
        }
        return answer == 1;
    }

    void setAutoCommit(boolean on) throws SQLException {
        synchronized (lock) {
            checkOpen();
            JNIODBCsetAutoCommit(id, on ? AUTO_COMMIT_ON : AUTO_COMMIT_OFF);
            if ((JNIODBCgetAutoCommit(id) != 0) != on) {
                // The switch records no failure of its own: the thread's record may
                // be an older one, which must not mark this connection lost.
                throw Errors.lastFailure("Switching auto-commit " + (on ? "on" : "off"));
            }
        }
    }

    void commit() throws SQLException {
        synchronized (lock) {
            checkOpen();
            SQLException gone = lost;
            if (gone != null) {
                throw Errors.create("Commit: the connection was lost (" + gone.getSQLState()
                        + "), and the transaction with it", Errors.CONNECTION_CLOSED, gone);
            }
            if (JNIODBCcommitTran(id) != 0) {
                throw failure("Commit");
            }
        }
    }

    void rollback() throws SQLException {
        synchronized (lock) {
            checkOpen();
            if (JNIODBCrollbackTran(id) != 0) {
                throw failure("Rollback");
            }
        }
    }

    /** Refuses, at once, every later call and every call waiting for the lock. */
    void refuseCalls() {
        closed = true;
    }

    boolean isClosed() {
        return closed;
    }

    /**
     * The one place the identifier goes back to the library. Refuses calls at
     * once, waits for the call running on the identifier to leave, frees every
     * open cursor, then closes; the library rolls back what was not committed.
     */
    void close() {
        refuseCalls();
        synchronized (lock) {
            if (released) {
                return;
            }
            released = true;
            free(cursors.takeAll());
            JNIODBCclose(id);
        }
    }
}

package jov.jdbc.odbc.driver;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;

import java.sql.SQLException;
import java.sql.SQLWarning;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.function.LongToIntFunction;
import java.util.logging.Level;
import java.util.logging.Logger;
import jov.jdbc.odbc.JOVODBCDLL;
import jov.jdbc.odbc.driver.odbc.ConnectionString;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;

/**
 * One open connection of {@link OdbcNatives} and every native call made on
 * it. Calls are serialised by a lock of this connection alone, so threads
 * sharing a JDBC connection take turns while other connections run freely;
 * nothing waits on the lock except calls on this same connection.
 *
 * <p>Every execution of plain SQL runs on a native statement of its own,
 * which lives as long as the result it made (its {@link OdbcCursor}) and no
 * longer; a prepared statement keeps one native statement ({@link Prepared})
 * for all its executions, whose results only close its cursor. The number of
 * results open at once is the ODBC driver's business. Tokens of
 * freed statements and of a closed connection fail cleanly in the natives,
 * and still every call checks under the lock that the link and the cursor
 * are open, so a call queued behind a close reports the close (08003).
 * Statements of results that became unreachable are freed at the next call.
 *
 * <p>Failures become exceptions built from every record the failing call
 * left on the calling thread, chained in their order.
 *
 * <p>A failure whose state says the session is gone (class 08, or PostgreSQL's
 * 57P: the server ended it) marks the connection lost for good: whatever the
 * ODBC driver answers later, the transaction that was open is gone, so a
 * commit is refused rather than reported as done.
 *
 * <p>Cancelling takes no turn: it runs beside the call that holds the lock,
 * under a short lock of its own that the executing thread also takes to say
 * that its execution has ended, so a cancel reaches only the execution it was
 * meant for (see {@link Execution} for the timeouts).
 */
final class OdbcLink {

    private static final Logger LOG = Logger.getLogger(DriverInfo.LOGGER_NAME);

    private final Object lock = new Object();
    private final long connection;
    private final int charset;
    private final long[] answer = new long[1];
    private final int[] count = new int[1];
    /** Guarded by lock. */
    private final OpenCursors cursors = new OpenCursors();
    /** Set at once by close and abort; read under the lock by every call. */
    private volatile boolean closed;
    /** Guarded by lock: the connection went back to the natives. */
    private boolean released;
    /** The first failure that ended the session; null while none has. */
    private volatile SQLException lost;
    private final Object cancelLock = new Object();
    /** Under cancelLock: the execution running now, or null. */
    private Execution executing;
    /** Under lock: the connection timeout in seconds the ODBC driver was last given. */
    private int connectionTimeoutSet;
    private volatile boolean driverTimesQueries;
    private volatile int networkTimeoutMillis;
    /** Guarded by lock. */
    private int preparations;
    /** Guarded by lock: the connection's warnings, oldest first. */
    private SQLWarning warnings;

    private OdbcLink(long connection, int charset) {
        this.connection = connection;
        this.charset = charset;
    }

    /**
     * Opens a data source in a charset of OdbcNatives; user and password may
     * be empty. A login timeout above 0 seconds is offered to the ODBC
     * driver, and bounds the wait here too, for drivers that do not keep it:
     * the attempt then goes on on a worker thread, which closes the
     * connection should it still come, and the caller gets
     * SQLTimeoutException (HYT00, ODBC's state for an expired login).
     */
    static OdbcLink open(String dataSource, String user, String password, int charset, int loginTimeoutSeconds)
            throws SQLException {
        if (loginTimeoutSeconds <= 0) {
            return connect(dataSource, user, password, charset, 0);
        }
        Future<OdbcLink> attempt = Watchdog.submit(
                () -> connect(dataSource, user, password, charset, loginTimeoutSeconds));
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

    /** The connect itself, on the calling thread, whose own records tell a failure. */
    private static OdbcLink connect(String dataSource, String user, String password, int charset,
            int loginTimeoutSeconds) throws SQLException {
        long[] token = new long[1];
        int status;
        try {
            status = OdbcNatives.connect(ConnectionString.build(dataSource, user, password, charset), charset,
                    loginTimeoutSeconds, token);
        } catch (LinkageError e) {
            String why = String.valueOf(e.getMessage());
            String advice = why.contains(JOVODBCDLL.LIBRARY_PROPERTY) ? ""
                    : "; set the system property " + JOVODBCDLL.LIBRARY_PROPERTY
                    + " to its path, or put it on java.library.path";
            throw Errors.create("The native library could not be loaded: " + why + advice, "08001", e);
        }
        if (status == ERROR) {
            SQLException failure = Errors.lastFailure("Opening data source " + dataSource);
            SQLException shown = Errors.create(failure.getMessage(), connectState(failure.getSQLState()),
                    failure.getErrorCode(), failure);
            if (failure.getNextException() != null) {
                shown.setNextException(failure.getNextException());
            }
            throw shown;
        }
        OdbcLink link = new OdbcLink(token[0], charset);
        link.warnings = status == SUCCESS_WITH_INFO
                ? Errors.warnings("Opening data source " + dataSource, OdbcNatives.takeDiagnostics()) : null;
        return link;
    }

    /**
     * Holding lock: the records a call that answered SUCCESS_WITH_INFO left
     * go to the owner of an execution that takes warnings (a statement), the
     * others to the connection.
     */
    private void warn(int status, String doing, Object owner) {
        if (status != SUCCESS_WITH_INFO) {
            return;
        }
        SQLWarning warning = Errors.warnings(doing, OdbcNatives.takeDiagnostics());
        if (owner instanceof WarningSink) {
            ((WarningSink) owner).addWarning(warning);
        } else {
            warnings = chained(warnings, warning);
        }
    }

    static SQLWarning chained(SQLWarning chain, SQLWarning warning) {
        if (chain == null) {
            return warning;
        }
        if (warning != null) {
            chain.setNextWarning(warning);
        }
        return chain;
    }

    /** The connection's warnings, null when none came since the last clear. */
    SQLWarning warnings() {
        synchronized (lock) {
            return warnings;
        }
    }

    void clearWarnings() {
        synchronized (lock) {
            warnings = null;
        }
    }

    /** The warnings fetching the cursor's rows gave, null when none. */
    SQLWarning warnings(OdbcCursor cursor) {
        synchronized (lock) {
            return cursor.warnings;
        }
    }

    void clearWarnings(OdbcCursor cursor) {
        synchronized (lock) {
            cursor.warnings = null;
        }
    }

    /** Whatever the driver says, a failed open is a connection failure to JDBC tools. */
    private static String connectState(String state) {
        return state.startsWith("08") || state.startsWith("28") ? state : "08001";
    }

    /** The charset of OdbcNatives the connection was opened in. */
    int charset() {
        return charset;
    }

    /** Runs a query into a new cursor. */
    OdbcCursor query(String sql) throws SQLException {
        return query(sql, null, 0);
    }

    /** The same that {@link #cancel(Object)} with owner reaches, under a query timeout in seconds (0 for none). */
    OdbcCursor query(String sql, Object owner, int queryTimeoutSeconds) throws SQLException {
        Executed executed = execute(sql, null, null, owner, queryTimeoutSeconds, false);
        if (executed.cursor == null) {
            throw Errors.create("The SQL returned no result set: " + sql, Errors.GENERAL);
        }
        return executed.cursor;
    }

    /** The cursor stays open as long as the owner can be reached, and no longer. */
    void ownCursor(OdbcCursor cursor, Object owner) {
        synchronized (lock) {
            cursors.own(cursor, owner);
        }
    }

    /** Under the lock, before any call reaches the natives. */
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

    private static void free(List<OdbcCursor> unused) {
        for (OdbcCursor cursor : unused) {
            cursor.closed = true;
            if (cursor.shared) {
                OdbcNatives.closeCursor(cursor.statement);
            } else {
                freeStatement(cursor.statement);
            }
        }
    }

    /** Runs SQL to its end and answers the rows it affected (-1 when the driver cannot tell). */
    long update(String sql) throws SQLException {
        return update(sql, null, null, null, 0);
    }

    /** The same with prepared statement, parameters, owner and timeout as for {@link #execute}; rows the SQL returns are dropped. */
    long update(String sql, Prepared prepared, Parameter[] parameters, Object owner, int queryTimeoutSeconds)
            throws SQLException {
        synchronized (lock) {
            Executed executed = execute(sql, prepared, parameters, owner, queryTimeoutSeconds, false);
            if (executed.cursor != null) {
                closeCursor(executed.cursor);
            }
            return executed.rowCount;
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
     * Runs SQL with a cursor that can scroll when asked: plain SQL (prepared
     * null) on a new native statement, or a prepared statement's own native
     * statement with the parameters bound. What it gave is what the ODBC
     * driver reports: a cursor when the SQL made result columns, otherwise
     * its row count. {@link #cancel(Object)} with owner reaches the
     * execution; a query timeout in seconds (0 for none) bounds it.
     */
    Executed execute(String sql, Prepared prepared, Parameter[] parameters, Object owner, int queryTimeoutSeconds,
            boolean scrollable) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            if (prepared != null) {
                return executePrepared(sql, prepared, parameters, owner, queryTimeoutSeconds, scrollable);
            }
            return direct(owner, queryTimeoutSeconds, scrollable, "Statement", statement -> execDirect(statement, sql));
        }
    }

    /**
     * Runs a catalogue function of OdbcNatives (CATALOG_*) with its names and
     * numbers into a new cursor, which {@link #cancel(Object)} with owner
     * reaches; its columns are the ODBC driver's.
     */
    OdbcCursor catalog(int function, String[] names, int[] numbers, Object owner) throws SQLException {
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            Executed executed = direct(owner, 0, false, "Catalogue function",
                    statement -> OdbcNatives.catalog(statement, function, names, numbers));
            if (executed.cursor == null) {
                throw Errors.create("The catalogue function returned no result set", Errors.GENERAL);
            }
            return executed.cursor;
        }
    }

    /** Holding lock: runs one execution on a new statement, which is freed unless it made a cursor. */
    private Executed direct(Object owner, int queryTimeoutSeconds, boolean scrollable, String doing,
            LongToIntFunction execution) throws SQLException {
        long statement = allocate(queryTimeoutSeconds, scrollable);
        boolean kept = false;
        try {
            Execution run = begin(owner, statement, queryTimeoutSeconds);
            try {
                int status = execution.applyAsInt(statement);
                if (status == ERROR) {
                    throw noteLost(run.failure(doing));
                }
                warn(status, doing, owner);
            } finally {
                end(run);
            }
            Executed executed = outcome(statement, false);
            kept = executed.cursor != null;
            return executed;
        } finally {
            if (!kept) {
                freeStatement(statement);
            }
        }
    }

    /**
     * Holding lock: the statement is allocated at the first execution and
     * owned by the prepared statement (owner), prepared until SQLPrepare has
     * succeeded once, then only re-bound and executed; its previous cursor
     * was closed with the previous result.
     */
    private Executed executePrepared(String sql, Prepared prepared, Parameter[] parameters, Object owner,
            int queryTimeoutSeconds, boolean scrollable) throws SQLException {
        if (prepared.handle == null) {
            prepared.handle = cursors.add(allocate(0, scrollable), false);
            cursors.own(prepared.handle, owner);
        }
        long statement = prepared.handle.statement;
        if (queryTimeoutSeconds != prepared.timeoutSet) {
            // A driver that refuses the timeout (MariaDB Connector/ODBC) does without: the timer keeps it.
            setStatementAttribute(statement, ATTR_QUERY_TIMEOUT, queryTimeoutSeconds);
            prepared.timeoutSet = queryTimeoutSeconds;
        }
        Execution run = begin(owner, statement, queryTimeoutSeconds);
        try {
            String[] doing = {"Statement"};
            int status = runPrepared(sql, prepared, parameters, doing);
            if (status == ERROR) {
                throw noteLost(run.failure(doing[0]));
            }
            warn(status, doing[0], owner);
        } finally {
            end(run);
        }
        return outcome(statement, true);
    }

    /**
     * Discards the cursor's result for its statement's next one
     * (SQLMoreResults) and answers that as {@link #execute} does, or null
     * when there is none. The cursor is closed either way; a next result
     * that is a count is the last one reached, its statement freed.
     */
    Executed moreResults(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            int status = OdbcNatives.moreResults(cursor.statement);
            if (status == ERROR) {
                SQLException failed = failure("Moving to the next result");
                closeCursor(cursor);
                throw failed;
            }
            Executed next = null;
            try {
                next = status == NO_DATA ? null : outcome(cursor.statement, cursor.shared);
            } finally {
                cursors.remove(cursor);
                if (next == null || next.cursor == null) {
                    free(Collections.singletonList(cursor));
                } else {
                    cursor.closed = true;
                }
            }
            return next;
        }
    }

    /** Holding lock: the executed statement's cursor when it made result columns, otherwise its row count. */
    private Executed outcome(long statement, boolean shared) throws SQLException {
        if (numResultCols(statement, count) == ERROR) {
            throw failure("Reading the result's columns");
        }
        if (count[0] > 0) {
            return new Executed(cursors.add(statement, shared), -1);
        }
        return new Executed(null, rowCount(statement, answer) == ERROR ? -1 : answer[0]);
    }

    /** Holding lock: a new statement with the query timeout and cursor it needs. */
    private long allocate(int queryTimeoutSeconds, boolean scrollable) throws SQLException {
        long[] token = new long[1];
        if (allocStatement(connection, token) == ERROR) {
            throw failure("Allocating a statement");
        }
        // A driver that refuses the timeout (MariaDB Connector/ODBC) does without: the timer keeps it.
        if (queryTimeoutSeconds > 0) {
            setStatementAttribute(token[0], ATTR_QUERY_TIMEOUT, queryTimeoutSeconds);
        }
        if (scrollable && setStatementAttribute(token[0], ATTR_CURSOR_TYPE, CURSOR_STATIC) == ERROR) {
            SQLException refused = failure("Asking for a scrollable cursor");
            freeStatement(token[0]);
            throw refused;
        }
        return token[0];
    }

    /**
     * Prepares unless done before, binds each parameter and executes, sending
     * stream parameters as the driver asks for them; a failure names in
     * doing[0] the parameter it concerns.
     */
    private int runPrepared(String sql, Prepared prepared, Parameter[] parameters, String[] doing) {
        long statement = prepared.handle.statement;
        int status = SUCCESS;
        if (!prepared.done) {
            status = prepare(statement, sql);
            prepared.done = status != ERROR;
            preparations += prepared.done ? 1 : 0;
        }
        for (int i = 0; i < parameters.length && status != ERROR; i++) {
            doing[0] = "Binding parameter " + (i + 1);
            status = parameters[i].bind(statement, i + 1);
        }
        if (status == ERROR) {
            return status;
        }
        doing[0] = "Statement";
        status = OdbcNatives.execute(statement);
        int[] wanted = new int[1];
        while (status == NEED_DATA) {
            status = paramData(statement, wanted);
            if (status == NEED_DATA) {
                doing[0] = "Sending parameter " + wanted[0];
                if (parameters[wanted[0] - 1].send(statement) == ERROR) {
                    return ERROR;
                }
                doing[0] = "Statement";
            }
        }
        return status;
    }

    /**
     * The native statement of one prepared statement, allocated and prepared
     * at its first execution and then re-executed. Its handle is freed with
     * the prepared statement, with the connection, or once the prepared
     * statement is unreachable; its results only close their cursor on it.
     * Guarded by the link's lock.
     */
    static final class Prepared {
        /** Null until the first execution. */
        private OdbcCursor handle;
        /** SQLPrepare succeeded on the handle. */
        private boolean done;
        private int timeoutSet;
    }

    /** Frees a prepared statement's native statement, once. */
    void release(Prepared prepared) {
        synchronized (lock) {
            if (prepared.handle != null) {
                closeCursor(prepared.handle);
            }
        }
    }

    /** How many times SQLPrepare succeeded on this connection: tests tell by it that a statement was prepared once. */
    int preparations() {
        synchronized (lock) {
            return preparations;
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

    /** Holding lock: gives the driver the network timeout and publishes the execution. */
    private Execution begin(Object owner, long statement, int queryTimeoutSeconds) {
        int networkMillis = networkTimeoutMillis;
        int connectionSeconds = (int) ((networkMillis + 999L) / 1000);
        if (connectionSeconds != connectionTimeoutSet) {
            // A driver that refuses it does without: the timer keeps the limit.
            setConnectionAttribute(connection, ATTR_CONNECTION_TIMEOUT, connectionSeconds);
            connectionTimeoutSet = connectionSeconds;
        }
        Execution run = new Execution(owner, statement, queryTimeoutSeconds, networkMillis);
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
     * Cancels the execution running now when owner started it, or, with a
     * null owner, whatever executes. Takes no turn, so it reaches a call that
     * holds the connection; true when the driver was asked to cancel.
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

    /** Holding cancelLock: the statement is not freed before the execution has ended. */
    private boolean cancelExecuting() throws SQLException {
        if (OdbcNatives.cancel(executing.statement) == ERROR) {
            throw Errors.lastFailure("Cancel");
        }
        return true;
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
            cursor.row.clear();
            return fetchAnswer(cursor, OdbcNatives.fetch(cursor.statement));
        }
    }

    /** Moves by an orientation of OdbcNatives and an offset: true on a row, false off the rows. */
    boolean fetchScroll(OdbcCursor cursor, int orientation, long offset) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            cursor.row.clear();
            return fetchAnswer(cursor, OdbcNatives.fetchScroll(cursor.statement, orientation, offset));
        }
    }

    private boolean fetchAnswer(OdbcCursor cursor, int status) throws SQLException {
        if (status == ERROR) {
            throw failure("Fetch");
        }
        if (status == SUCCESS_WITH_INFO) {
            cursor.warnings = chained(cursor.warnings, Errors.warnings("Fetch", OdbcNatives.takeDiagnostics()));
        }
        return status != NO_DATA;
    }

    /** Frees the cursor's statement (closes only the cursor of a prepared statement's) once; a closed link has freed it already or will as it closes. */
    void closeCursor(OdbcCursor cursor) {
        synchronized (lock) {
            if (!closed && !cursor.closed) {
                cursors.remove(cursor);
                free(Collections.singletonList(cursor));
            }
        }
    }

    /** Every column of the cursor's result, described in one call. */
    ResultColumns columns(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            Object[] fields = new Object[COLUMN_FIELDS];
            if (describeColumns(cursor.statement, fields) == ERROR) {
                throw failure("Reading the result's columns");
            }
            return ResultColumns.described(fields);
        }
    }

    /** The whole value as text; null for SQL NULL. */
    String string(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            Object value = cursor.row.get(column);
            if (value == null) {
                checkOpen(cursor);
                String[] text = new String[1];
                if (getString(cursor.statement, column, text) == ERROR) {
                    throw failure("Reading a value");
                }
                value = remember(cursor, column, text[0]);
            }
            return RowValues.text(value);
        }
    }

    /** The whole value's bytes; null for SQL NULL. */
    byte[] bytes(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            Object value = cursor.row.get(column);
            if (value == null) {
                checkOpen(cursor);
                byte[][] bytes = new byte[1][];
                if (getBytes(cursor.statement, column, bytes) == ERROR) {
                    throw failure("Reading a value");
                }
                value = remember(cursor, column, bytes[0]);
            }
            return RowValues.bytes(value);
        }
    }

    /** An exact integer into {@code value[0]}: false for SQL NULL. */
    boolean readLong(OdbcCursor cursor, int column, long[] value) throws SQLException {
        synchronized (lock) {
            Object known = cursor.row.get(column);
            if (known == null) {
                checkOpen(cursor);
                int status = getLong(cursor.statement, column, value);
                if (status == ERROR) {
                    throw failure("Reading a number");
                }
                known = remember(cursor, column, status == NULL_DATA ? null : value[0]);
            }
            return RowValues.integer(known, value, column);
        }
    }

    /** A double into {@code value[0]}: false for SQL NULL. */
    boolean readDouble(OdbcCursor cursor, int column, double[] value) throws SQLException {
        synchronized (lock) {
            Object known = cursor.row.get(column);
            if (known == null) {
                checkOpen(cursor);
                int status = getDouble(cursor.statement, column, value);
                if (status == ERROR) {
                    throw failure("Reading a number");
                }
                known = remember(cursor, column, status == NULL_DATA ? null : value[0]);
            }
            return RowValues.floating(known, value, column);
        }
    }

    private static Object remember(OdbcCursor cursor, int column, Object value) {
        Object kept = value == null ? OdbcCursor.NULL : value;
        cursor.row.put(column, kept);
        return kept;
    }

    void setAutoCommit(boolean on) throws SQLException {
        synchronized (lock) {
            checkOpen();
            String doing = "Switching auto-commit " + (on ? "on" : "off");
            int status = setConnectionAttribute(connection, ATTR_AUTOCOMMIT, on ? 1 : 0);
            if (status == ERROR) {
                throw failure(doing);
            }
            warn(status, doing, null);
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
            int status = endTransaction(connection, true);
            if (status == ERROR) {
                throw failure("Commit");
            }
            warn(status, "Commit", null);
        }
    }

    void rollback() throws SQLException {
        synchronized (lock) {
            checkOpen();
            int status = endTransaction(connection, false);
            if (status == ERROR) {
                throw failure("Rollback");
            }
            warn(status, "Rollback", null);
        }
    }

    /** An item of SQLGetInfo as text; "" when the driver does not tell. */
    String info(int infoType) throws SQLException {
        synchronized (lock) {
            checkOpen();
            String[] value = new String[1];
            return getInfoString(connection, infoType, value) == ERROR || value[0] == null ? "" : value[0];
        }
    }

    /** An integer item of SQLGetInfo, of width 2 or 4 bytes; null when the driver does not tell. */
    Long infoNumber(int infoType, int width) throws SQLException {
        synchronized (lock) {
            checkOpen();
            long[] value = new long[1];
            return getInfoInteger(connection, infoType, width, value) == ERROR ? null : value[0];
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
     * The one place the connection goes back to the natives. Refuses calls at
     * once, waits for the call running on it to leave, frees every open
     * statement, then disconnects; what was not committed is rolled back.
     */
    void close() {
        refuseCalls();
        synchronized (lock) {
            if (released) {
                return;
            }
            released = true;
            free(cursors.takeAll());
            disconnect(connection);
        }
    }
}

package jov.jdbc.odbc.driver.link;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;

import java.sql.SQLException;
import java.sql.SQLWarning;
import java.util.Arrays;
import java.util.Collections;
import java.util.List;
import java.util.Locale;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.function.LongToIntFunction;
import java.util.logging.Level;
import java.util.logging.Logger;
import jov.jdbc.odbc.JOVODBCDLL;
import jov.jdbc.odbc.driver.DriverInfo;
import jov.jdbc.odbc.driver.odbc.ConnectionString;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
import jov.jdbc.odbc.driver.result.ResultColumns;
import jov.jdbc.odbc.driver.statement.Parameter;
import jov.jdbc.odbc.driver.statement.ParameterArrays;
import jov.jdbc.odbc.driver.text.Utf8;

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
 * 57P: the server ended it) marks the connection lost for good, and so does
 * one that MariaDB's client library numbers as a lost server although its
 * ODBC driver gives it HY000 (then reported as 08S01): whatever the
 * ODBC driver answers later, the transaction that was open is gone, so a
 * commit is refused rather than reported as done.
 *
 * <p>Cancelling takes no turn: it runs beside the call that holds the lock,
 * under a short lock of its own that the executing thread also takes to say
 * that its execution has ended, so a cancel reaches only the execution it was
 * meant for (see {@link Execution} for the timeouts).
 */
public final class OdbcLink {

    private static final Logger LOG = Logger.getLogger(DriverInfo.LOGGER_NAME);
    /** SQL_DRIVER_NAME of SQLGetInfo: the ODBC driver's file. */
    private static final int INFO_DRIVER_NAME = 6;

    private final Object lock = new Object();
    private final long connection;
    private final int charset;
    private final long[] answer = new long[1];
    private final int[] count = new int[1];
    /** Guarded by lock. */
    private final OpenCursors cursors = new OpenCursors();
    /** Guarded by lock: SQL_GETDATA_EXTENSIONS once asked (0 when the driver does not tell), -1 before. */
    private int getDataExtensions = -1;
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
    /** The ODBC driver reports the native codes of MariaDB's and MySQL's client library. */
    private volatile boolean mysqlClientCodes;
    private volatile int networkTimeoutMillis;
    /** Guarded by lock. */
    private int preparations;
    /** Guarded by lock. */
    private int arrayExecutions;
    /** Guarded by lock: INFO_PARAM_ARRAY_ROW_COUNTS once asked (0: untold), -1 until then. */
    private int arrayRowCounts = -1;
    /** Guarded by lock: the connection's warnings, oldest first. */
    private SQLWarning warnings;

    private OdbcLink(long connection, int charset) {
        this.connection = connection;
        this.charset = charset;
    }

    /**
     * Opens a connection string in a charset of OdbcNatives; messages name
     * it as shown, which holds no password. A login timeout above 0 seconds is offered to the ODBC
     * driver, and bounds the wait here too, for drivers that do not keep it:
     * the attempt then goes on on a worker thread, which closes the
     * connection should it still come, and the caller gets
     * SQLTimeoutException (HYT00, ODBC's state for an expired login).
     */
    public static OdbcLink open(String shown, ConnectionString target, int charset, int loginTimeoutSeconds)
            throws SQLException {
        if (loginTimeoutSeconds <= 0) {
            return connect(shown, target, charset, 0);
        }
        Future<OdbcLink> attempt = Watchdog.submit(() -> connect(shown, target, charset, loginTimeoutSeconds));
        try {
            return attempt.get(loginTimeoutSeconds, TimeUnit.SECONDS);
        } catch (TimeoutException e) {
            Watchdog.submit(() -> {
                attempt.get().close();
                return null;
            });
            throw Errors.create("Opening data source " + shown + ": no answer within the login timeout of "
                    + loginTimeoutSeconds + " s", Execution.QUERY_TIMEOUT_EXPIRED, e);
        } catch (ExecutionException e) {
            if (e.getCause() instanceof SQLException) {
                throw (SQLException) e.getCause();
            }
            throw Errors.create("Opening data source " + shown + " failed: " + e.getCause(), "08001", e);
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            throw Errors.create("Opening data source " + shown + " was interrupted", "08001", e);
        }
    }

    /** The connect itself, on the calling thread, whose own records tell a failure. */
    private static OdbcLink connect(String shown, ConnectionString target, int charset, int loginTimeoutSeconds)
            throws SQLException {
        long[] token = new long[1];
        int status;
        try {
            status = OdbcNatives.connect(target.build(charset), charset, loginTimeoutSeconds, token);
        } catch (LinkageError e) {
            String why = String.valueOf(e.getMessage());
            String advice = why.contains(JOVODBCDLL.LIBRARY_PROPERTY) ? ""
                    : "; set the system property " + JOVODBCDLL.LIBRARY_PROPERTY
                    + " to its path, or put it on java.library.path";
            throw Errors.create("The native library could not be loaded: " + why + advice, "08001", e);
        }
        if (status == ERROR) {
            SQLException failure = Errors.lastFailure("Opening data source " + shown);
            SQLException refused = Errors.create(failure.getMessage(), connectState(failure.getSQLState()),
                    failure.getErrorCode(), failure);
            if (failure.getNextException() != null) {
                refused.setNextException(failure.getNextException());
            }
            throw refused;
        }
        OdbcLink link = new OdbcLink(token[0], charset);
        link.warnings = status == SUCCESS_WITH_INFO
                ? Errors.warnings("Opening data source " + shown, OdbcNatives.takeDiagnostics()) : null;
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

    public static SQLWarning chained(SQLWarning chain, SQLWarning warning) {
        if (chain == null) {
            return warning;
        }
        if (warning != null) {
            chain.setNextWarning(warning);
        }
        return chain;
    }

    /** The connection's warnings, null when none came since the last clear. */
    public SQLWarning warnings() {
        synchronized (lock) {
            return warnings;
        }
    }

    public void clearWarnings() {
        synchronized (lock) {
            warnings = null;
        }
    }

    /** The warnings fetching the cursor's rows gave, null when none. */
    public SQLWarning warnings(OdbcCursor cursor) {
        synchronized (lock) {
            return cursor.warnings;
        }
    }

    public void clearWarnings(OdbcCursor cursor) {
        synchronized (lock) {
            cursor.warnings = null;
        }
    }

    /** Whatever the driver says, a failed open is a connection failure to JDBC tools. */
    private static String connectState(String state) {
        return state.startsWith("08") || state.startsWith("28") ? state : "08001";
    }

    /** The charset of OdbcNatives the connection was opened in. */
    public int charset() {
        return charset;
    }

    /** Runs a query into a new cursor. */
    public OdbcCursor query(String sql) throws SQLException {
        return query(sql, null, 0);
    }

    /** The same that {@link #cancel(Object)} with owner reaches, under a query timeout in seconds (0 for none). */
    public OdbcCursor query(String sql, Object owner, int queryTimeoutSeconds) throws SQLException {
        Executed executed = execute(sql, null, null, owner, queryTimeoutSeconds, false);
        if (executed.cursor == null) {
            throw Errors.create("The SQL returned no result set: " + sql, Errors.GENERAL);
        }
        return executed.cursor;
    }

    /** The cursor stays open as long as the owner can be reached, and no longer. */
    public void ownCursor(OdbcCursor cursor, Object owner) {
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
    public long update(String sql) throws SQLException {
        return update(sql, null, null, null, 0);
    }

    /** The same with prepared statement, parameters, owner and timeout as for {@link #execute}; rows the SQL returns are dropped. */
    public long update(String sql, Prepared prepared, Parameter[] parameters, Object owner, int queryTimeoutSeconds)
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
        SQLException reported = serverLost(failure)
                ? Errors.create(failure.getMessage(), Errors.COMMUNICATION_LINK_FAILURE, failure.getErrorCode(), failure)
                : failure;
        String state = reported.getSQLState();
        if (lost == null && (state.startsWith("08") || state.startsWith("57P"))) {
            lost = reported;
        }
        return reported;
    }

    /**
     * Whether MariaDB's client library numbers the failure as a lost server:
     * gone away (2006), lost during a query (2013, 2055), or a write to its
     * closed socket (5014, the first failure after a KILL, measured).
     */
    private boolean serverLost(SQLException failure) {
        if (!mysqlClientCodes || failure.getSQLState().startsWith("08")) {
            return false;
        }
        switch (failure.getErrorCode()) {
            case 2006:
            case 2013:
            case 2055:
            case 5014:
                return true;
            default:
                return false;
        }
    }

    /** Whether a failure on this connection said the session is gone. */
    public boolean isLost() {
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
    public Executed execute(String sql, Prepared prepared, Parameter[] parameters, Object owner, int queryTimeoutSeconds,
            boolean scrollable) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            if (prepared != null && (!prepared.direct || prepared.free())) {
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
    public OdbcCursor catalog(int function, String[] names, int[] numbers, Object owner) throws SQLException {
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
            int status;
            try {
                status = execution.applyAsInt(statement);
                if (status == ERROR) {
                    throw noteLost(run.failure(doing));
                }
                warn(status, doing, owner);
            } finally {
                end(run);
            }
            Executed executed = outcome(statement, null, status);
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
     * owned by the statement (owner); a prepared statement's is prepared
     * until SQLPrepare has succeeded once, then only re-bound and executed.
     * Its previous cursor is closed.
     */
    private Executed executePrepared(String sql, Prepared prepared, Parameter[] parameters, Object owner,
            int queryTimeoutSeconds, boolean scrollable) throws SQLException {
        long statement = preparedStatement(prepared, owner, queryTimeoutSeconds, scrollable);
        Execution run = begin(owner, statement, queryTimeoutSeconds);
        int status;
        try {
            String[] doing = {"Statement"};
            status = prepared.direct ? execDirect(statement, sql) : runPrepared(sql, prepared, parameters, doing);
            if (status == ERROR) {
                SQLException failed = noteLost(run.failure(doing[0]));
                startAfresh(prepared);
                throw failed;
            }
            warn(status, doing[0], owner);
        } finally {
            end(run);
        }
        return outcome(statement, prepared, status);
    }

    /** Holding lock: the prepared statement's native statement, allocated at its first execution, with the timeout. */
    private long preparedStatement(Prepared prepared, Object owner, int queryTimeoutSeconds, boolean scrollable)
            throws SQLException {
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
        return statement;
    }

    /**
     * How the ODBC driver counts the rows of a parameter array: PARC_BATCH,
     * a count for each row (psqlODBC); PARC_NO_BATCH, only the array's
     * total (MariaDB Connector/ODBC); 0 when it does not say (sqliteodbc).
     */
    public int arrayRowCounts() throws SQLException {
        synchronized (lock) {
            if (arrayRowCounts < 0) {
                checkOpen();
                arrayRowCounts = getInfoInteger(connection, INFO_PARAM_ARRAY_ROW_COUNTS, 4, answer) == ERROR
                        ? 0 : (int) answer[0];
            }
            return arrayRowCounts;
        }
    }

    /**
     * Runs a prepared statement (as {@link #execute} does) once for every row
     * of the arrays. Answers each row's count (Statement.SUCCESS_NO_INFO where
     * untold, EXECUTE_FAILED for a row that failed, with the failure in
     * failure[0]), or null when the execution failed with no row taking
     * effect, its records dropped: the rows are then for the caller to run
     * one by one, which tells exactly which one fails.
     *
     * <p>Where the driver counts only the total (PARC_NO_BATCH), the caller
     * sends only statements that insert at most one row each, so a total
     * equal to the rows makes each row's count 1 (any other total, each
     * SUCCESS_NO_INFO); a failed execution is thrown, never run again row
     * by row: such a driver tells neither which row failed nor which took
     * effect (MariaDB Connector/ODBC marks none, yet a table without
     * transactions keeps the rows before the failing one), and running
     * them again would store those twice.
     */
    public long[] executeArray(String sql, Prepared prepared, ParameterArrays arrays, Object owner,
            int queryTimeoutSeconds, SQLException[] failure) throws SQLException {
        checkSql(sql);
        synchronized (lock) {
            checkOpen();
            free(cursors.takeUnreachable());
            long statement = preparedStatement(prepared, owner, queryTimeoutSeconds, false);
            prepared.forgetShape();
            long[] counts = new long[arrays.size()];
            int[] statuses = new int[arrays.size()];
            // No row ran until executeArray says otherwise: a binding that fails leaves them so.
            Arrays.fill(statuses, PARAM_UNUSED);
            Execution run = begin(owner, statement, queryTimeoutSeconds);
            int status;
            String doing = "Statement";
            boolean executed = false;
            try {
                status = prepareOnce(sql, prepared);
                int[] failed = new int[1];
                if (status != ERROR && arrays.bind(statement, failed) == ERROR) {
                    doing = "Binding parameter " + failed[0];
                    status = ERROR;
                } else if (status != ERROR) {
                    status = OdbcNatives.executeArray(statement, arrays.size(), counts, statuses);
                    executed = true;
                    arrayExecutions++;
                }
            } finally {
                end(run);
            }
            boolean eachCounted = arrayRowCounts() == PARC_BATCH;
            if (status != ERROR) {
                return eachCounted ? rowCounts(counts, statuses) : fromTotal(counts, statuses);
            }
            SQLException failed = noteLost(run.failure(doing));
            if (executed && !eachCounted) {
                throw failed;
            }
            if (tookEffect(statuses)) {
                failure[0] = failed;
                return rowCounts(counts, statuses);
            }
            if (stopped(failed)) {
                throw failed;
            }
            return null;
        }
    }

    /** Whether a failure ended the whole execution (a cancel, a timeout, the session), so that no row should run again. */
    private boolean stopped(SQLException failed) {
        String state = failed.getSQLState();
        return closed || lost != null || "HY008".equals(state) || Execution.QUERY_TIMEOUT_EXPIRED.equals(state)
                || Execution.CONNECTION_TIMEOUT_EXPIRED.equals(state);
    }

    private static boolean tookEffect(int[] statuses) {
        for (int status : statuses) {
            if (status == PARAM_SUCCESS || status == PARAM_SUCCESS_WITH_INFO) {
                return true;
            }
        }
        return false;
    }

    /** Each row's count from the array's total (in counts[0]), for statements that insert at most one row. */
    private static long[] fromTotal(long[] counts, int[] statuses) {
        long total = counts[0];
        Arrays.fill(counts, -1);
        long[] reached = rowCounts(counts, statuses);
        boolean allSucceeded = Arrays.stream(reached).allMatch(c -> c == java.sql.Statement.SUCCESS_NO_INFO);
        if (total == counts.length && reached.length == counts.length && allSucceeded) {
            Arrays.fill(reached, 1);
        }
        return reached;
    }

    /** The counts of the rows the driver reached, in JDBC's terms. */
    private static long[] rowCounts(long[] counts, int[] statuses) {
        int reached = 0;
        for (int i = 0; i < counts.length; i++) {
            if (statuses[i] == PARAM_ERROR) {
                counts[i] = java.sql.Statement.EXECUTE_FAILED;
            } else if (statuses[i] == PARAM_UNUSED) {
                continue;
            } else if (counts[i] < 0) {
                counts[i] = java.sql.Statement.SUCCESS_NO_INFO;
            }
            reached = i + 1;
        }
        return Arrays.copyOf(counts, reached);
    }

    /** How many parameter arrays were executed on this connection: tests tell by it which way a batch ran. */
    public int arrayExecutions() {
        synchronized (lock) {
            return arrayExecutions;
        }
    }

    /**
     * Discards the cursor's result for its statement's next one
     * (SQLMoreResults) and answers that as {@link #execute} does, or null
     * when there is none. The cursor is closed either way; a next result
     * that is a count is the last one reached, its statement freed.
     */
    public Executed moreResults(OdbcCursor cursor) throws SQLException {
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
                next = status == NO_DATA ? null : outcome(cursor.statement, cursor.source, status);
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

    /**
     * Holding lock: the executed statement's cursor when it made result
     * columns, otherwise its row count. An execution that answered NO_DATA
     * (an UPDATE or DELETE that matched no row) left no result to ask about:
     * iODBC refuses SQLNumResultCols then as out of sequence. A prepared
     * statement's result keeps the columns and block of its previous one
     * while the driver describes them alike.
     */
    private Executed outcome(long statement, Prepared prepared, int executed) throws SQLException {
        if (executed == NO_DATA) {
            return new Executed(null, 0);
        }
        int[] shape = prepared == null ? count : prepared.shape;
        if (numResultCols(statement, shape) == ERROR) {
            throw failure("Reading the result's columns");
        }
        if (prepared != null && shape[1] == 0) {
            prepared.forgetShape();
        }
        if (shape[0] > 0) {
            OdbcCursor cursor = cursors.add(statement, prepared != null);
            cursor.source = prepared;
            if (prepared != null) {
                prepared.result = cursor;
            }
            return new Executed(cursor, -1);
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
        if (prepareOnce(sql, prepared) == ERROR) {
            return ERROR;
        }
        for (int i = 0; i < parameters.length; i++) {
            if (parameters[i].bind(statement, i + 1) == ERROR) {
                doing[0] = "Binding parameter " + (i + 1);
                return ERROR;
            }
        }
        int status = OdbcNatives.execute(statement);
        int[] wanted = status == NEED_DATA ? new int[1] : null;
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
     * Holding lock, after a failed execution: the next one prepares again
     * with nothing bound to its result. A table that changed under the
     * statement fails so (PostgreSQL refuses a cached plan whose result
     * changed, MariaDB Connector/ODBC columns bound for another result),
     * and a new preparation reads the table as it is now.
     */
    private void startAfresh(Prepared prepared) {
        prepared.forgetShape();
        prepared.done = false;
        OdbcNatives.bindBlock(prepared.handle.statement, 1, new int[0], new int[BLOCK_FIELDS]);
        OdbcNatives.takeDiagnostics();
    }

    /** Holding lock: SQLPrepare unless it succeeded before on the prepared statement's native statement. */
    private int prepareOnce(String sql, Prepared prepared) {
        if (prepared.done) {
            return SUCCESS;
        }
        int status = prepare(prepared.handle.statement, sql);
        prepared.done = status != ERROR;
        preparations += prepared.done ? 1 : 0;
        return status;
    }

    /**
     * The native statement one JDBC statement keeps across its executions,
     * allocated at the first: a prepared statement's, prepared then and
     * re-executed, or a plain statement's, which runs each SQL text directly
     * while its previous result is closed (a result kept open leaves the
     * next execution to a new native statement of its own). Its handle is
     * freed with the JDBC statement, with the connection, or once the JDBC
     * statement is unreachable; its results only close their cursor on it.
     * Guarded by the link's lock.
     */
    public static final class Prepared {
        /** SQL runs directly on the handle, unprepared. */
        private final boolean direct;
        /** Null until the first execution. */
        private OdbcCursor handle;
        /** The last result made on the handle, null before one. */
        private OdbcCursor result;
        /** SQLPrepare succeeded on the handle. */
        private boolean done;
        private int timeoutSet;
        /** numResultCols' answer: the count, and whether the columns are those last described. */
        private final int[] shape = new int[2];
        /** The columns of the last result described, null when they must be described again. */
        private ResultColumns columns;
        /** The block bound for them, null when none is; with what it was planned for. */
        private RowBlock block;
        private int blockFetchSize;
        private long blockMaxRows;
        private boolean blockScrollable;

        private Prepared(boolean direct) {
            this.direct = direct;
        }

        /** For a prepared statement's SQL. */
        public static Prepared prepared() {
            return new Prepared(false);
        }

        /** For the SQL texts of a plain statement. */
        public static Prepared direct() {
            return new Prepared(true);
        }

        /** Whether the handle can run plain SQL next: its last result is closed. */
        private boolean free() {
            return result == null || result.closed;
        }

        /** After a failure, a parameter array or a result of other columns: describe and bind anew. */
        private void forgetShape() {
            columns = null;
            block = null;
        }

        /** The bound block when it was planned for the same fetch size, row limit and cursor. */
        private RowBlock block(int fetchSize, long maxRows, boolean scrollable) {
            boolean same = block != null && blockFetchSize == fetchSize && blockMaxRows == maxRows
                    && blockScrollable == scrollable;
            return same ? block.reused() : null;
        }

        private void keep(RowBlock bound, int fetchSize, long maxRows, boolean scrollable) {
            block = bound;
            blockFetchSize = fetchSize;
            blockMaxRows = maxRows;
            blockScrollable = scrollable;
        }
    }

    /** Frees a prepared statement's native statement, once. */
    public void release(Prepared prepared) {
        synchronized (lock) {
            if (prepared.handle != null) {
                closeCursor(prepared.handle);
            }
        }
    }

    /** How many times SQLPrepare succeeded on this connection: tests tell by it that a statement was prepared once. */
    public int preparations() {
        synchronized (lock) {
            return preparations;
        }
    }

    /** What {@link #execute} gave: a cursor, or null and the rows affected (-1 when untold). */
    public static final class Executed {
        public final OdbcCursor cursor;
        public final long rowCount;

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
    public boolean cancel(Object owner) throws SQLException {
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

    /** Whether native codes are those of MariaDB's and MySQL's client library. */
    public void mysqlClientCodes(boolean mysql) {
        mysqlClientCodes = mysql;
    }

    /** Whether the ODBC driver enforces the query timeout itself, so no timer needs to. */
    public void driverTimesQueries(boolean times) {
        driverTimesQueries = times;
    }

    /**
     * Every later execution is cancelled after this many milliseconds (0 for
     * no limit). Takes no turn: pools reset the limit right after a liveness
     * probe that may still hold the connection. The ODBC driver gets it as
     * its connection timeout with the next execution.
     */
    public void setNetworkTimeout(int milliseconds) {
        networkTimeoutMillis = milliseconds;
    }

    public int networkTimeout() {
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

    /**
     * Binds the cursor's result to blocks of rows as {@link BlockPlan} plans
     * them; a driver that refuses the binding gets every value per value.
     */
    public void bindBlock(OdbcCursor cursor, ResultColumns columns, int fetchSize, long maxRows, boolean scrollable)
            throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            Prepared source = cursor.source;
            RowBlock kept = source == null ? null : source.block(fetchSize, maxRows, scrollable);
            if (kept != null) {
                cursor.block = kept;
                return;
            }
            if (getDataExtensions < 0) {
                getDataExtensions = getDataExtensions();
            }
            BlockPlan plan = BlockPlan.of(columns, getDataExtensions, fetchSize, maxRows, scrollable);
            int[] granted = new int[BLOCK_FIELDS];
            if (OdbcNatives.bindBlock(cursor.statement, plan.rows(), plan.fields(), granted) == ERROR) {
                plan = BlockPlan.unbound(columns.count());
                if (OdbcNatives.bindBlock(cursor.statement, 1, plan.fields(), granted) == ERROR) {
                    throw failure("Binding the result's columns");
                }
            }
            cursor.block = new RowBlock(plan, granted, charset == UNICODE);
            if (source != null && source.columns == columns) {
                source.keep(cursor.block, fetchSize, maxRows, scrollable);
            }
        }
    }

    /**
     * Holding lock: what SQLGetData allows beside bound columns. MariaDB
     * Connector/ODBC claims SQL_GD_BLOCK, yet after SQLSetPos to a row of a
     * block its SQLGetData still reads the block's first row: it gets
     * one-row blocks wherever a value is read per value.
     */
    private int getDataExtensions() {
        int extensions = getInfoInteger(connection, BlockPlan.INFO_GETDATA_EXTENSIONS, 4, answer) == ERROR
                ? 0 : (int) answer[0];
        String[] name = new String[1];
        if (getInfoString(connection, INFO_DRIVER_NAME, name) != ERROR && name[0] != null
                && name[0].toLowerCase(Locale.ROOT).contains("maodbc")) {
            extensions &= ~BlockPlan.GD_BLOCK;
        }
        return extensions;
    }

    /** Moves to the next row, fetching the next block at the end of one: true on a row, false past the last. */
    public boolean fetch(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            cursor.row.clear();
            RowBlock block = cursor.block;
            if (block == null) {
                return fetchAnswer(cursor, OdbcNatives.fetch(cursor.statement), false);
            }
            return block.advance() || fetchBlock(cursor, FETCH_NEXT, 0);
        }
    }

    /** Moves a bound cursor by an orientation of OdbcNatives and an offset: true on a row, false off the rows. */
    public boolean fetchScroll(OdbcCursor cursor, int orientation, long offset) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            cursor.row.clear();
            return fetchBlock(cursor, orientation, offset);
        }
    }

    private boolean fetchBlock(OdbcCursor cursor, int orientation, long offset) throws SQLException {
        RowBlock block = cursor.block;
        block.arrived();
        int status = OdbcNatives.fetchBlock(cursor.statement, orientation, offset, block.data, block.lengths,
                block.fetched);
        if (status == NO_DATA) {
            block.fetched[0] = 0;
        }
        return fetchAnswer(cursor, status, true);
    }

    /**
     * A block's cut values (01004) are the driver's business, not the
     * user's: each is read whole when asked for, so only a plain fetch's
     * truncations become warnings.
     */
    private boolean fetchAnswer(OdbcCursor cursor, int status, boolean block) throws SQLException {
        if (status == ERROR) {
            throw failure("Fetch");
        }
        if (status == SUCCESS_WITH_INFO) {
            String[] records = OdbcNatives.takeDiagnostics();
            if (block) {
                records = Errors.without(Errors.TRUNCATED, records);
            }
            cursor.warnings = chained(cursor.warnings, Errors.warnings("Fetch", records));
        }
        return status != NO_DATA;
    }

    /** Holding lock, the cursor open: the driver on the current row, for a value read per value. */
    private void positionForValue(OdbcCursor cursor) throws SQLException {
        int row = cursor.block == null ? 0 : cursor.block.positionNeeded();
        if (row > 0 && position(cursor.statement, row) == ERROR) {
            throw failure("Positioning on a row of the block");
        }
    }

    /** Frees the cursor's statement (closes only the cursor of a prepared statement's) once; a closed link has freed it already or will as it closes. */
    public void closeCursor(OdbcCursor cursor) {
        synchronized (lock) {
            if (!closed && !cursor.closed) {
                cursors.remove(cursor);
                free(Collections.singletonList(cursor));
            }
        }
    }

    /** Every column of the cursor's result, described in one call unless its prepared statement's last result had them. */
    public ResultColumns columns(OdbcCursor cursor) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            Prepared source = cursor.source;
            if (source != null && source.columns != null) {
                return source.columns;
            }
            Object[] fields = new Object[COLUMN_FIELDS];
            if (describeColumns(cursor.statement, fields) == ERROR) {
                if (source != null) {
                    source.forgetShape();
                }
                throw failure("Reading the result's columns");
            }
            ResultColumns columns = ResultColumns.described(fields);
            if (source != null) {
                source.forgetShape();
                source.columns = columns;
            }
            return columns;
        }
    }

    /** The whole value as text; null for SQL NULL. */
    public String string(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            RowBlock block = cursor.block;
            if (block != null && block.holdsText(column)) {
                return block.text(column);
            }
            Object value = cursor.row.get(column);
            if (value == null) {
                positionForValue(cursor);
                Object[] text = new Object[1];
                if (getText(cursor.statement, column, text) == ERROR) {
                    throw failure("Reading a value");
                }
                value = remember(cursor, column,
                        text[0] instanceof byte[] ? Utf8.decode((byte[]) text[0]) : text[0]);
            }
            return RowValues.text(value);
        }
    }

    /** The whole value's bytes; null for SQL NULL. */
    public byte[] bytes(OdbcCursor cursor, int column) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            RowBlock block = cursor.block;
            if (block != null && block.holdsBytes(column)) {
                return block.bytes(column);
            }
            Object value = cursor.row.get(column);
            if (value == null) {
                positionForValue(cursor);
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
    public boolean readLong(OdbcCursor cursor, int column, long[] value) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            RowBlock block = cursor.block;
            if (block != null && block.holdsInteger(column)) {
                boolean present = !block.isNull(column);
                value[0] = present ? block.integer(column) : 0;
                return present;
            }
            Object known = cursor.row.get(column);
            if (known == null) {
                positionForValue(cursor);
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
    public boolean readDouble(OdbcCursor cursor, int column, double[] value) throws SQLException {
        synchronized (lock) {
            checkOpen(cursor);
            RowBlock block = cursor.block;
            if (block != null && block.holdsDouble(column)) {
                boolean present = !block.isNull(column);
                value[0] = present ? block.floating(column) : 0;
                return present;
            }
            Object known = cursor.row.get(column);
            if (known == null) {
                positionForValue(cursor);
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

    public void setAutoCommit(boolean on) throws SQLException {
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

    public void commit() throws SQLException {
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

    public void rollback() throws SQLException {
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
    public String info(int infoType) throws SQLException {
        synchronized (lock) {
            checkOpen();
            String[] value = new String[1];
            return getInfoString(connection, infoType, value) == ERROR || value[0] == null ? "" : value[0];
        }
    }

    /** An integer item of SQLGetInfo, of width 2 or 4 bytes; null when the driver does not tell. */
    public Long infoNumber(int infoType, int width) throws SQLException {
        synchronized (lock) {
            checkOpen();
            long[] value = new long[1];
            return getInfoInteger(connection, infoType, width, value) == ERROR ? null : value[0];
        }
    }

    /** Refuses, at once, every later call and every call waiting for the lock. */
    public void refuseCalls() {
        closed = true;
    }

    public boolean isClosed() {
        return closed;
    }

    /**
     * The one place the connection goes back to the natives. Refuses calls at
     * once, waits for the call running on it to leave, frees every open
     * statement, then disconnects; what was not committed is rolled back.
     */
    public void close() {
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

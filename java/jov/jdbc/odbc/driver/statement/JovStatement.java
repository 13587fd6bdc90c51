package jov.jdbc.odbc.driver.statement;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.PARC_BATCH;
import static jov.jdbc.odbc.driver.odbc.OdbcNatives.PARC_NO_BATCH;

import java.sql.BatchUpdateException;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.SQLWarning;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashSet;
import java.util.List;
import jov.jdbc.odbc.driver.JovConnection;
import jov.jdbc.odbc.driver.Wrappers;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.link.OdbcCursor;
import jov.jdbc.odbc.driver.link.OdbcLink;
import jov.jdbc.odbc.driver.link.WarningSink;
import jov.jdbc.odbc.driver.result.JovResultSet;

/**
 * SQL run on the connection's native path. What SQL is, a query or an update, is
 * what the ODBC driver reports once it has executed it (result columns or
 * not), never a guess from its text: {@code WITH ... DELETE} is an update
 * with its count, {@code INSERT ... RETURNING} gives its rows.
 *
 * <p>A statement has at most one open result; running the next SQL, and
 * closing the statement, close it and so free its cursor.
 */
public class JovStatement implements Statement, WarningSink {

    final JovConnection connection;
    final OdbcLink link;
    private final int resultSetType;
    /** SQL and its parameters (null for plain SQL) of each statement of the batch. */
    private final List<Batched> batch = new ArrayList<>();
    private final OdbcLink.Prepared direct = OdbcLink.Prepared.direct();
    private JovResultSet result;
    private long updateCount = -1;
    /** Set by the link while an execution of this statement runs, read by its caller after. */
    private volatile SQLWarning warnings;
    private long maxRows;
    private int fetchSize;
    private volatile int queryTimeoutSeconds;
    private boolean closeOnCompletion;
    private boolean poolable;
    private boolean closed;

    public JovStatement(JovConnection connection, OdbcLink link, int resultSetType) {
        this.connection = connection;
        this.link = link;
        this.resultSetType = resultSetType;
    }

    /** One statement of a batch. */
    private static final class Batched {
        final String sql;
        final Parameter[] parameters;

        Batched(String sql, Parameter[] parameters) {
            this.sql = sql;
            this.parameters = parameters;
        }
    }

    // Running SQL, shared with prepared statements, which pass their parameters (null for plain SQL).

    final boolean run(String sql) throws SQLException {
        return run(sql, null);
    }

    /** Runs SQL as a query or an update, as the driver reports it: true when it gave a result. */
    final boolean run(String sql, Parameter[] parameters) throws SQLException {
        startRun();
        OdbcLink.Executed executed = link.execute(sql, kept(), parameters, this, queryTimeoutSeconds,
                resultSetType != ResultSet.TYPE_FORWARD_ONLY);
        if (executed.cursor != null) {
            result = new JovResultSet(this, link, executed.cursor, resultSetType, maxRows);
            return true;
        }
        updateCount = exactOrNone(counted(sql, executed.rowCount));
        return false;
    }

    /** Whether each execution of the prepared SQL inserts at most one row ({@link SingleRowInsert}). */
    boolean insertsOneRow() {
        return false;
    }

    /** The prepared native statement this statement re-executes: none, its SQL texts vary. */
    OdbcLink.Prepared prepared() {
        return null;
    }

    /** The native statement this statement keeps across executions. */
    OdbcLink.Prepared kept() {
        return direct;
    }

    /** The SQL runs in any case; only then can the driver tell that it gave no rows. */
    final ResultSet runQuery(String sql) throws SQLException {
        return runQuery(sql, null);
    }

    final ResultSet runQuery(String sql, Parameter[] parameters) throws SQLException {
        if (!run(sql, parameters)) {
            updateCount = -1;
            throw Errors.create("The SQL returned no result set: " + sql, Errors.GENERAL);
        }
        return result;
    }

    final long runUpdate(String sql) throws SQLException {
        return runUpdate(sql, null);
    }

    /** The caller asked for the count: rows the SQL returns (RETURNING) are not wanted. */
    final long runUpdate(String sql, Parameter[] parameters) throws SQLException {
        startRun();
        return exactOrNone(counted(sql, link.update(sql, kept(), parameters, this, queryTimeoutSeconds)));
    }

    /**
     * The one place where the first keyword still decides anything:
     * sqliteodbc takes SQL that starts with WITH for a query and counts 0 rows
     * for it even when it deleted, updated or inserted some, while SQLite's
     * changes() holds the true count of that statement.
     */
    private long counted(String sql, long reported) throws SQLException {
        if (reported != 0 || connection.dialect().database() != SqlDialect.Database.SQLITE
                || !"WITH".equals(SqlLexer.parse(sql, connection.dialect()).firstKeyword())) {
            return reported;
        }
        OdbcCursor cursor = link.query("SELECT changes()");
        try {
            return link.fetch(cursor) ? Long.parseLong(link.string(cursor, 1)) : reported;
        } finally {
            link.closeCursor(cursor);
        }
    }

    private void startRun() throws SQLException {
        checkOpen();
        closeResult();
        updateCount = -1;
        warnings = null;
    }

    /** An update the driver cannot count affected nothing JDBC can report: 0, as for DDL. */
    private static long exactOrNone(long count) {
        return Math.max(count, 0);
    }

    private void closeResult() {
        if (result != null) {
            JovResultSet open = result;
            result = null;
            open.closeQuietly();
        }
    }

    /** Called by a result of this statement that was closed. */
    public final void resultClosed(JovResultSet closedResult) throws SQLException {
        if (result == closedResult) {
            result = null;
        }
        if (closeOnCompletion) {
            close();
        }
    }

    final JovResultSet currentResult() {
        return result;
    }

    // Statement.

    @Override
    public ResultSet executeQuery(String sql) throws SQLException {
        return runQuery(sql);
    }

    @Override
    public int executeUpdate(String sql) throws SQLException {
        return (int) Math.min(runUpdate(sql), Integer.MAX_VALUE);
    }

    @Override
    public long executeLargeUpdate(String sql) throws SQLException {
        return runUpdate(sql);
    }

    @Override
    public boolean execute(String sql) throws SQLException {
        checkOpen();
        return run(sql);
    }

    @Override
    public ResultSet getResultSet() throws SQLException {
        checkOpen();
        return result;
    }

    @Override
    public int getUpdateCount() throws SQLException {
        return (int) Math.min(getLargeUpdateCount(), Integer.MAX_VALUE);
    }

    @Override
    public long getLargeUpdateCount() throws SQLException {
        checkOpen();
        return updateCount;
    }

    @Override
    public boolean getMoreResults() throws SQLException {
        return getMoreResults(CLOSE_CURRENT_RESULT);
    }

    /**
     * The next result of the execution that gave the open result set, where
     * the ODBC driver gives several (psqlODBC for statements separated by
     * semicolons). ODBC discards a result to reach the next, so a result kept
     * open stays the last one; after an update count nothing further is
     * reached.
     */
    @Override
    public boolean getMoreResults(int current) throws SQLException {
        checkOpen();
        JovResultSet open = result;
        boolean move = open != null && !open.isClosed() && current != KEEP_CURRENT_RESULT;
        OdbcLink.Executed next = move ? link.moreResults(open.cursor()) : null;
        if (current != KEEP_CURRENT_RESULT) {
            closeResult();
        }
        result = null;
        updateCount = -1;
        if (next == null) {
            return false;
        }
        if (next.cursor != null) {
            result = new JovResultSet(this, link, next.cursor, resultSetType, maxRows);
            return true;
        }
        updateCount = exactOrNone(next.rowCount);
        return false;
    }

    @Override
    public void addBatch(String sql) throws SQLException {
        checkOpen();
        batch.add(new Batched(sql, null));
    }

    final void addBound(String sql, Parameter[] parameters) throws SQLException {
        checkOpen();
        batch.add(new Batched(sql, parameters));
    }

    @Override
    public void clearBatch() throws SQLException {
        checkOpen();
        batch.clear();
    }

    @Override
    public int[] executeBatch() throws SQLException {
        long[] counts = executeLargeBatch();
        int[] narrow = new int[counts.length];
        for (int i = 0; i < counts.length; i++) {
            narrow[i] = (int) Math.min(counts[i], Integer.MAX_VALUE);
        }
        return narrow;
    }

    /**
     * Runs the batch in its order: a prepared statement's rows in parameter
     * arrays of up to {@link ParameterArrays#CHUNK} rows where the rows share
     * a C type per parameter and the ODBC driver counts each row of one, or
     * counts the total and the statement inserts at most one row (so each
     * count is 1); every other statement on its own. The first failure stops
     * it with a BatchUpdateException holding the counts of those that ran.
     * An array counted row by row that fails with no row taking effect is
     * run again row by row, so the failing row and the counts before it are
     * exact; one counted in total fails as a whole, with the counts before
     * it (see {@link OdbcLink#executeArray}).
     */
    @Override
    public long[] executeLargeBatch() throws SQLException {
        checkOpen();
        List<Batched> statements = new ArrayList<>(batch);
        batch.clear();
        closeResult();
        long[] counts = new long[statements.size()];
        int done = 0;
        while (done < counts.length) {
            int end = arrayEnd(statements, done);
            long[] chunk = end > done + 1 ? runArray(statements.subList(done, end), counts, done) : null;
            if (chunk != null) {
                System.arraycopy(chunk, 0, counts, done, chunk.length);
                done = end;
            } else {
                for (; done < end; done++) {
                    counts[done] = runOne(statements.get(done), counts, done);
                }
            }
        }
        return counts;
    }

    /** The end of the chunk that may run as one array from start: start + 1 for plain SQL. */
    private int arrayEnd(List<Batched> statements, int start) throws SQLException {
        Parameter[] first = statements.get(start).parameters;
        if (prepared() == null || first == null || first.length == 0) {
            return start + 1;
        }
        int counted = link.arrayRowCounts();
        if (counted != PARC_BATCH && !(counted == PARC_NO_BATCH && insertsOneRow())) {
            return start + 1;
        }
        return Math.min(statements.size(), start + ParameterArrays.CHUNK);
    }

    /** The chunk's counts from one array execution; null when it is to run row by row. */
    private long[] runArray(List<Batched> chunk, long[] counts, int at) throws SQLException {
        List<Parameter[]> rows = new ArrayList<>(chunk.size());
        for (Batched one : chunk) {
            rows.add(one.parameters);
        }
        ParameterArrays arrays = ParameterArrays.of(rows, link.arrayRowCounts() == PARC_BATCH
                ? ParameterArrays.MAX_BYTES : ParameterArrays.TOTAL_COUNTED_MAX_BYTES);
        if (arrays == null) {
            return null;
        }
        SQLException[] failure = new SQLException[1];
        long[] chunkCounts;
        try {
            chunkCounts = link.executeArray(chunk.get(0).sql, prepared(), arrays, this, queryTimeoutSeconds,
                    failure);
        } catch (SQLException e) {
            throw new BatchUpdateException("Batch statements " + (at + 1) + " to " + (at + chunk.size())
                    + ", sent as one parameter array, failed: " + e.getMessage(), e.getSQLState(),
                    e.getErrorCode(), Arrays.copyOf(counts, at), e);
        }
        if (failure[0] != null) {
            long[] reached = Arrays.copyOf(counts, at + chunkCounts.length);
            System.arraycopy(chunkCounts, 0, reached, at, chunkCounts.length);
            int failed = 0;
            while (failed < chunkCounts.length - 1 && chunkCounts[failed] != EXECUTE_FAILED) {
                failed++;
            }
            throw batchFailure(at + failed, failure[0], reached);
        }
        return chunkCounts;
    }

    private long runOne(Batched one, long[] counts, int at) throws SQLException {
        try {
            long count = counted(one.sql, link.update(one.sql, prepared(), one.parameters, this,
                    queryTimeoutSeconds));
            return count < 0 ? SUCCESS_NO_INFO : count;
        } catch (SQLException e) {
            throw batchFailure(at, e, Arrays.copyOf(counts, at));
        }
    }

    private static BatchUpdateException batchFailure(int at, SQLException e, long[] counts) {
        return new BatchUpdateException("Batch statement " + (at + 1) + " failed: " + e.getMessage(),
                e.getSQLState(), e.getErrorCode(), counts, e);
    }

    @Override
    public void setMaxRows(int max) throws SQLException {
        setLargeMaxRows(max);
    }

    @Override
    public void setLargeMaxRows(long max) throws SQLException {
        checkOpen();
        if (max < 0) {
            throw Errors.create("Max rows " + max + " is negative", Errors.INVALID_ARGUMENT);
        }
        maxRows = max;
    }

    @Override
    public int getMaxRows() throws SQLException {
        return (int) Math.min(getLargeMaxRows(), Integer.MAX_VALUE);
    }

    @Override
    public long getLargeMaxRows() throws SQLException {
        checkOpen();
        return maxRows;
    }

    /** Only 0, no limit, is accepted: values are read whole. */
    @Override
    public void setMaxFieldSize(int max) throws SQLException {
        checkOpen();
        if (max != 0) {
            throw Errors.notSupported("A maximum field size");
        }
    }

    @Override
    public int getMaxFieldSize() throws SQLException {
        checkOpen();
        return 0;
    }

    /** Rows a block of its results holds (see {@code link.BlockPlan}); 0 lets the driver choose by the row's width. */
    @Override
    public void setFetchSize(int rows) throws SQLException {
        checkOpen();
        if (rows < 0) {
            throw Errors.create("Fetch size " + rows + " is negative", Errors.INVALID_ARGUMENT);
        }
        fetchSize = rows;
    }

    @Override
    public int getFetchSize() throws SQLException {
        checkOpen();
        return fetchSize;
    }

    @Override
    public void setFetchDirection(int direction) throws SQLException {
        checkOpen();
        if (direction != ResultSet.FETCH_FORWARD) {
            throw Errors.notSupported("Fetch direction " + direction);
        }
    }

    @Override
    public int getFetchDirection() throws SQLException {
        checkOpen();
        return ResultSet.FETCH_FORWARD;
    }

    /**
     * Each execution is limited to this many seconds (0 for none), each
     * statement of a batch on its own; past it the execution fails with
     * SQLTimeoutException (HYT00). The ODBC driver is given the limit as its
     * query timeout; where it does not keep it, the driver's timer cancels.
     */
    @Override
    public void setQueryTimeout(int seconds) throws SQLException {
        checkOpen();
        if (seconds < 0) {
            throw Errors.create("Query timeout " + seconds + " is negative", Errors.INVALID_ARGUMENT);
        }
        queryTimeoutSeconds = seconds;
    }

    @Override
    public int getQueryTimeout() throws SQLException {
        checkOpen();
        return queryTimeoutSeconds;
    }

    /**
     * From any thread: cancels this statement's execution where the ODBC
     * driver can (the execution then fails); nothing when it is not
     * executing. Fetching rows is not cancelled.
     */
    @Override
    public void cancel() throws SQLException {
        checkOpen();
        link.cancel(this);
    }

    /** ODBC escapes always reach the ODBC driver, which processes them. */
    @Override
    public void setEscapeProcessing(boolean enable) throws SQLException {
        checkOpen();
        if (!enable) {
            throw Errors.notSupported("Turning escape processing off");
        }
    }

    @Override
    public void setCursorName(String name) throws SQLException {
        throw Errors.notSupported("Named cursors");
    }

    @Override
    public ResultSet getGeneratedKeys() throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public int executeUpdate(String sql, int autoGeneratedKeys) throws SQLException {
        noKeys(autoGeneratedKeys);
        return executeUpdate(sql);
    }

    @Override
    public int executeUpdate(String sql, int[] columnIndexes) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public int executeUpdate(String sql, String[] columnNames) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public long executeLargeUpdate(String sql, int autoGeneratedKeys) throws SQLException {
        noKeys(autoGeneratedKeys);
        return executeLargeUpdate(sql);
    }

    @Override
    public long executeLargeUpdate(String sql, int[] columnIndexes) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public long executeLargeUpdate(String sql, String[] columnNames) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public boolean execute(String sql, int autoGeneratedKeys) throws SQLException {
        noKeys(autoGeneratedKeys);
        return execute(sql);
    }

    @Override
    public boolean execute(String sql, int[] columnIndexes) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public boolean execute(String sql, String[] columnNames) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    public static void noKeys(int autoGeneratedKeys) throws SQLException {
        if (autoGeneratedKeys != NO_GENERATED_KEYS) {
            throw Errors.notSupported("Generated keys");
        }
    }

    @Override
    public int getResultSetConcurrency() throws SQLException {
        checkOpen();
        return ResultSet.CONCUR_READ_ONLY;
    }

    @Override
    public int getResultSetType() throws SQLException {
        checkOpen();
        return resultSetType;
    }

    @Override
    public int getResultSetHoldability() throws SQLException {
        checkOpen();
        return ResultSet.CLOSE_CURSORS_AT_COMMIT;
    }

    @Override
    public Connection getConnection() throws SQLException {
        checkOpen();
        return connection;
    }

    /** What its latest execution warned of (SQL_SUCCESS_WITH_INFO), each record a warning. */
    @Override
    public SQLWarning getWarnings() throws SQLException {
        checkOpen();
        return warnings;
    }

    @Override
    public void clearWarnings() throws SQLException {
        checkOpen();
        warnings = null;
    }

    @Override
    public void addWarning(SQLWarning warning) {
        warnings = OdbcLink.chained(warnings, warning);
    }

    @Override
    public void setPoolable(boolean poolable) throws SQLException {
        checkOpen();
        this.poolable = poolable;
    }

    @Override
    public boolean isPoolable() throws SQLException {
        checkOpen();
        return poolable;
    }

    @Override
    public void closeOnCompletion() throws SQLException {
        checkOpen();
        closeOnCompletion = true;
    }

    @Override
    public boolean isCloseOnCompletion() throws SQLException {
        checkOpen();
        return closeOnCompletion;
    }

    final void checkOpen() throws SQLException {
        if (closed) {
            throw Errors.create("The statement is closed", Errors.SEQUENCE);
        }
        connection.checkOpen();
    }

    /** A statement is closed with its connection too. */
    @Override
    public boolean isClosed() {
        return closed || connection.isClosed();
    }

    @Override
    public void close() throws SQLException {
        if (closed) {
            return;
        }
        closed = true;
        closeResult();
        link.release(kept());
    }

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        return Wrappers.unwrap(this, iface);
    }

    @Override
    public boolean isWrapperFor(Class<?> iface) {
        return iface.isInstance(this);
    }
}

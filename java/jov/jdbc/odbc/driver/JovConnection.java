package jov.jdbc.odbc.driver;

import java.sql.Array;
import java.sql.Blob;
import java.sql.CallableStatement;
import java.sql.ClientInfoStatus;
import java.sql.Clob;
import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.NClob;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLClientInfoException;
import java.sql.SQLException;
import java.sql.SQLWarning;
import java.sql.SQLXML;
import java.sql.Savepoint;
import java.sql.Statement;
import java.sql.Struct;
import java.util.Collections;
import java.util.Map;
import java.util.Properties;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.Executor;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.concurrent.atomic.AtomicInteger;
import java.util.concurrent.atomic.AtomicReference;
import java.util.logging.Logger;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.link.OdbcCursor;
import jov.jdbc.odbc.driver.link.OdbcLink;
import jov.jdbc.odbc.driver.link.Watchdog;
import jov.jdbc.odbc.driver.metadata.JovDatabaseMetaData;
import jov.jdbc.odbc.driver.metadata.OdbcInfo;
import jov.jdbc.odbc.driver.statement.JovPreparedStatement;
import jov.jdbc.odbc.driver.statement.JovStatement;
import jov.jdbc.odbc.driver.statement.SqlDialect;
import jov.jdbc.odbc.driver.text.ZonedValues;

/**
 * One open data source. Any number of threads may share it: the native calls
 * are serialised per connection by its {@link OdbcLink}.
 *
 * <p>The connection keeps no reference to its statements: a statement or
 * result the application forgot can be collected, and its cursor is freed
 * by the link. Closing the link ends them all.
 *
 * <p>Transactions are the library's: auto-commit on after connecting, commit
 * and rollback through it; savepoints are SQL (SAVEPOINT, ROLLBACK TO
 * SAVEPOINT, RELEASE SAVEPOINT) and work where the database accepts them.
 * Isolation levels are read and set through the database's SQL on
 * PostgreSQL, MySQL and MariaDB; SQLite's is SERIALIZABLE; elsewhere the
 * connection reports READ COMMITTED, the default of most databases, and
 * refuses a change.
 */
public final class JovConnection implements Connection {

    private static final Logger LOG = Logger.getLogger(DriverInfo.LOGGER_NAME);

    /** The isolation reported where the database cannot be asked. */
    public static final int DEFAULT_ISOLATION = TRANSACTION_READ_COMMITTED;

    private final OdbcLink link;
    private final SqlDialect dialect;
    private final OdbcInfo info;
    private final String url;
    private final String user;
    private final Properties clientInfo = new Properties();
    private final AtomicInteger savepoints = new AtomicInteger();
    private volatile boolean closed;
    private volatile boolean autoCommit = true;
    private volatile boolean readOnly;
    /** The latest liveness probe with a timeout; also the owner its cancel names. */
    private final AtomicReference<Future<Boolean>> lastProbe = new AtomicReference<>();

    private JovConnection(OdbcLink link, OdbcInfo info, SqlDialect dialect, String url, String user) {
        this.link = link;
        this.info = info;
        this.dialect = dialect;
        this.url = url;
        this.user = user;
    }

    /**
     * Opens the data source, offering the ODBC driver a login timeout (seconds,
     * 0 for none), and learns which database is behind it from what its ODBC
     * driver tells, without a query.
     */
    static JovConnection open(ConnectionUrl target, int loginTimeoutSeconds) throws SQLException {
        LOG.fine(() -> "Connecting to " + target.dataSource() + " as '" + target.user() + "'");
        OdbcLink link = OdbcLink.open(target.dataSource(), target.target(), target.charset(), loginTimeoutSeconds);
        try {
            OdbcInfo info = new OdbcInfo(link);
            SqlDialect dialect = SqlDialect.detect(info.text(OdbcInfo.DBMS_NAME), sql -> firstValue(link, sql));
            if (dialect.database() == SqlDialect.Database.POSTGRESQL) {
                followJvmZone(link);
            }
            // Measured: psqlODBC ends a statement at its query timeout; sqliteodbc
            // accepts the attribute and ignores it, MariaDB Connector/ODBC refuses it.
            link.driverTimesQueries(dialect.database() == SqlDialect.Database.POSTGRESQL);
            link.mysqlClientCodes(dialect.database() == SqlDialect.Database.MYSQL);
            return new JovConnection(link, info, dialect, target.url(), target.user());
        } catch (RuntimeException e) {
            link.close();
            throw e;
        }
    }

    /** A zone PostgreSQL does not know leaves the session's own: the connection still works. */
    private static void followJvmZone(OdbcLink link) {
        String set = ZonedValues.postgresSessionZone(java.time.ZoneId.systemDefault());
        try {
            link.update(set);
        } catch (SQLException e) {
            LOG.fine(() -> set + " failed: " + e.getMessage());
        }
    }

    /** The text of the first value a query answers; null when it fails or gives none. */
    private static String firstValue(OdbcLink link, String sql) {
        try {
            OdbcCursor cursor = link.query(sql);
            try {
                return link.fetch(cursor) ? link.string(cursor, 1) : null;
            } finally {
                link.closeCursor(cursor);
            }
        } catch (SQLException e) {
            LOG.fine(() -> "Probe failed: " + e.getMessage());
            return null;
        }
    }

    public SqlDialect dialect() {
        return dialect;
    }

    private boolean isPostgreSql() {
        return dialect.database() == SqlDialect.Database.POSTGRESQL;
    }

    private boolean isMySql() {
        return dialect.database() == SqlDialect.Database.MYSQL;
    }

    public void checkOpen() throws SQLException {
        if (closed) {
            throw Errors.create("The connection is closed", Errors.CONNECTION_CLOSED);
        }
    }

    // Statements.

    private static int checkedType(int type, int concurrency, int holdability) throws SQLException {
        if (concurrency != ResultSet.CONCUR_READ_ONLY) {
            throw Errors.notSupported("Updatable result sets");
        }
        checkHoldability(holdability);
        if (type == ResultSet.TYPE_SCROLL_SENSITIVE) {
            throw Errors.notSupported("Scroll-sensitive result sets (use TYPE_SCROLL_INSENSITIVE)");
        }
        if (type != ResultSet.TYPE_FORWARD_ONLY && type != ResultSet.TYPE_SCROLL_INSENSITIVE) {
            throw Errors.create("Result set type " + type + " is unknown", Errors.INVALID_ARGUMENT);
        }
        return type;
    }

    /**
     * Whether a cursor outlives a commit is the ODBC driver's choice, which the
     * library does not report: results are promised only until the commit.
     */
    private static void checkHoldability(int holdability) throws SQLException {
        if (holdability != ResultSet.CLOSE_CURSORS_AT_COMMIT) {
            throw Errors.notSupported("Holding cursors over a commit");
        }
    }

    @Override
    public Statement createStatement() throws SQLException {
        return createStatement(ResultSet.TYPE_FORWARD_ONLY, ResultSet.CONCUR_READ_ONLY);
    }

    @Override
    public Statement createStatement(int type, int concurrency) throws SQLException {
        return createStatement(type, concurrency, ResultSet.CLOSE_CURSORS_AT_COMMIT);
    }

    @Override
    public Statement createStatement(int type, int concurrency, int holdability) throws SQLException {
        checkOpen();
        return new JovStatement(this, link, checkedType(type, concurrency, holdability));
    }

    @Override
    public PreparedStatement prepareStatement(String sql) throws SQLException {
        return prepareStatement(sql, ResultSet.TYPE_FORWARD_ONLY, ResultSet.CONCUR_READ_ONLY);
    }

    @Override
    public PreparedStatement prepareStatement(String sql, int type, int concurrency) throws SQLException {
        return prepareStatement(sql, type, concurrency, ResultSet.CLOSE_CURSORS_AT_COMMIT);
    }

    @Override
    public PreparedStatement prepareStatement(String sql, int type, int concurrency, int holdability)
            throws SQLException {
        checkOpen();
        int checked = checkedType(type, concurrency, holdability);
        return new JovPreparedStatement(this, link, checked, sql);
    }

    @Override
    public PreparedStatement prepareStatement(String sql, int autoGeneratedKeys) throws SQLException {
        JovStatement.noKeys(autoGeneratedKeys);
        return prepareStatement(sql);
    }

    @Override
    public PreparedStatement prepareStatement(String sql, int[] columnIndexes) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public PreparedStatement prepareStatement(String sql, String[] columnNames) throws SQLException {
        throw Errors.notSupported("Generated keys");
    }

    @Override
    public CallableStatement prepareCall(String sql) throws SQLException {
        throw Errors.notSupported("Callable statements");
    }

    @Override
    public CallableStatement prepareCall(String sql, int type, int concurrency) throws SQLException {
        throw Errors.notSupported("Callable statements");
    }

    @Override
    public CallableStatement prepareCall(String sql, int type, int concurrency, int holdability)
            throws SQLException {
        throw Errors.notSupported("Callable statements");
    }

    /** ODBC escapes are translated by the ODBC driver itself, so the text goes unchanged. */
    @Override
    public String nativeSQL(String sql) throws SQLException {
        checkOpen();
        return sql;
    }

    // Transactions.

    @Override
    public void setAutoCommit(boolean on) throws SQLException {
        checkOpen();
        if (on != autoCommit) {
            link.setAutoCommit(on);
            autoCommit = on;
        }
    }

    @Override
    public boolean getAutoCommit() throws SQLException {
        checkOpen();
        return autoCommit;
    }

    private void checkTransaction(String what) throws SQLException {
        checkOpen();
        if (autoCommit) {
            throw Errors.create(what + " while auto-commit is on", "25000");
        }
    }

    @Override
    public void commit() throws SQLException {
        checkTransaction("Commit");
        link.commit();
    }

    @Override
    public void rollback() throws SQLException {
        checkTransaction("Rollback");
        link.rollback();
    }

    @Override
    public Savepoint setSavepoint() throws SQLException {
        return savepoint(JovSavepoint.unnamed(savepoints.incrementAndGet()));
    }

    @Override
    public Savepoint setSavepoint(String name) throws SQLException {
        if (name == null || name.isEmpty()) {
            throw Errors.create("A savepoint name is empty", Errors.INVALID_ARGUMENT);
        }
        return savepoint(JovSavepoint.named(name));
    }

    private Savepoint savepoint(JovSavepoint savepoint) throws SQLException {
        checkTransaction("A savepoint");
        link.update("SAVEPOINT " + savepoint.sqlName(dialect.identifierQuote()));
        return savepoint;
    }

    @Override
    public void rollback(Savepoint savepoint) throws SQLException {
        checkTransaction("Rollback to a savepoint");
        link.update("ROLLBACK TO SAVEPOINT " + own(savepoint).sqlName(dialect.identifierQuote()));
    }

    @Override
    public void releaseSavepoint(Savepoint savepoint) throws SQLException {
        checkTransaction("Releasing a savepoint");
        link.update("RELEASE SAVEPOINT " + own(savepoint).sqlName(dialect.identifierQuote()));
    }

    private static JovSavepoint own(Savepoint savepoint) throws SQLException {
        if (!(savepoint instanceof JovSavepoint)) {
            throw Errors.create("Not a savepoint of this driver", Errors.INVALID_ARGUMENT);
        }
        return (JovSavepoint) savepoint;
    }

    /** What the database reports; never fails (a closed connection or a failed query gives the default). */
    @Override
    public int getTransactionIsolation() {
        if (dialect.database() == SqlDialect.Database.SQLITE) {
            return TRANSACTION_SERIALIZABLE;
        }
        if (closed) {
            return DEFAULT_ISOLATION;
        }
        String level = null;
        if (isPostgreSql()) {
            level = firstValue(link, "SHOW transaction_isolation");
        } else if (isMySql()) {
            // MariaDB before 11.1 knows only tx_isolation, MySQL 8 only transaction_isolation.
            level = firstValue(link, "SELECT @@SESSION.tx_isolation");
            if (level == null) {
                level = firstValue(link, "SELECT @@SESSION.transaction_isolation");
            }
        }
        return level == null ? DEFAULT_ISOLATION : Isolation.fromName(level, DEFAULT_ISOLATION);
    }

    @Override
    public void setTransactionIsolation(int level) throws SQLException {
        checkOpen();
        String name = Isolation.name(level);
        if (isPostgreSql()) {
            link.update("SET SESSION CHARACTERISTICS AS TRANSACTION ISOLATION LEVEL " + name);
        } else if (dialect.database() == SqlDialect.Database.SQLITE) {
            // SQLite's transactions are always serializable, which satisfies any
            // lower level asked for: JDBC lets a driver substitute a higher one.
            return;
        } else if (isMySql()) {
            link.update("SET SESSION TRANSACTION ISOLATION LEVEL " + name);
        } else if (level != getTransactionIsolation()) {
            throw Errors.notSupported("Isolation level " + name + " on this database");
        }
    }

    /** A hint only: nothing is set in the database. */
    @Override
    public void setReadOnly(boolean readOnly) throws SQLException {
        checkOpen();
        this.readOnly = readOnly;
    }

    @Override
    public boolean isReadOnly() throws SQLException {
        checkOpen();
        return readOnly;
    }

    @Override
    public void setHoldability(int holdability) throws SQLException {
        checkOpen();
        checkHoldability(holdability);
    }

    @Override
    public int getHoldability() throws SQLException {
        checkOpen();
        return ResultSet.CLOSE_CURSORS_AT_COMMIT;
    }

    // Catalog and schema.

    /** Catalogs are not used: the request is ignored, as JDBC allows. */
    @Override
    public void setCatalog(String catalog) throws SQLException {
        checkOpen();
    }

    @Override
    public String getCatalog() throws SQLException {
        checkOpen();
        return null;
    }

    /**
     * PostgreSQL: the search path becomes the one schema named, or, for null,
     * the session's default again (as pgjdbc does). Elsewhere the driver
     * cannot switch schemas and says so.
     */
    @Override
    public void setSchema(String schema) throws SQLException {
        checkOpen();
        if (!isPostgreSql()) {
            throw Errors.notSupported("Setting the schema on this database");
        }
        link.update("SET search_path TO " + (schema == null ? "DEFAULT" : dialect.quoteIdentifier(schema)));
    }

    /** PostgreSQL: current_schema(). Elsewhere null: the driver cannot tell. */
    @Override
    public String getSchema() throws SQLException {
        checkOpen();
        return isPostgreSql() ? firstValue(link, "SELECT current_schema()") : null;
    }

    @Override
    public DatabaseMetaData getMetaData() throws SQLException {
        checkOpen();
        return new JovDatabaseMetaData(this, link, info, url, user);
    }

    @Override
    public Map<String, Class<?>> getTypeMap() throws SQLException {
        checkOpen();
        return Collections.emptyMap();
    }

    @Override
    public void setTypeMap(Map<String, Class<?>> map) throws SQLException {
        checkOpen();
        if (map != null && !map.isEmpty()) {
            throw Errors.notSupported("Custom type maps");
        }
    }

    // Liveness and closing.

    /**
     * Runs a query that touches no table. A timeout above 0 bounds the wait:
     * the probe runs on a thread of its own, and when it has not answered in
     * time the connection is not valid and the probe is cancelled where the
     * ODBC driver can. While an earlier probe still waits, the connection is
     * not valid either, so a server that stopped answering costs one thread.
     * A connection whose session was lost stays invalid even where the ODBC
     * driver would open a new session behind it.
     */
    @Override
    public boolean isValid(int timeoutSeconds) throws SQLException {
        if (timeoutSeconds < 0) {
            throw Errors.create("Timeout " + timeoutSeconds + " is negative", Errors.INVALID_ARGUMENT);
        }
        if (closed || link.isLost()) {
            return false;
        }
        if (timeoutSeconds == 0) {
            return probe(0);
        }
        Future<Boolean> earlier = lastProbe.get();
        if (earlier != null && !earlier.isDone()) {
            return false;
        }
        Future<Boolean> answer = Watchdog.submit(() -> probe(timeoutSeconds));
        lastProbe.set(answer);
        try {
            return answer.get(timeoutSeconds, TimeUnit.SECONDS);
        } catch (TimeoutException e) {
            Watchdog.submit(() -> link.cancel(lastProbe));
            return false;
        } catch (ExecutionException e) {
            return false;
        } catch (InterruptedException e) {
            Thread.currentThread().interrupt();
            return false;
        }
    }

    private boolean probe(int timeoutSeconds) {
        try {
            OdbcCursor cursor = link.query("SELECT 1", lastProbe, timeoutSeconds);
            try {
                return link.fetch(cursor);
            } finally {
                link.closeCursor(cursor);
            }
        } catch (SQLException e) {
            return false;
        }
    }

    @Override
    public boolean isClosed() {
        return closed;
    }

    /**
     * Ends every statement and result, rolls back what was not committed and
     * closes; waits for a call another thread is running on the connection.
     */
    @Override
    public void close() {
        if (closed) {
            return;
        }
        closed = true;
        link.close();
    }

    /**
     * Marks the connection closed at once, refusing every later call and
     * every call waiting behind the running one, and lets the executor cancel
     * what executes on it, where the ODBC driver can, and close it once the
     * running call has left.
     */
    @Override
    public void abort(Executor executor) throws SQLException {
        if (executor == null) {
            throw Errors.create("abort needs an executor", Errors.INVALID_ARGUMENT);
        }
        if (closed) {
            return;
        }
        closed = true;
        link.refuseCalls();
        executor.execute(() -> {
            try {
                link.cancel(null);
            } catch (SQLException e) {
                LOG.fine(() -> "Cancel at abort failed: " + e.getMessage());
            }
            link.close();
        });
    }

    /**
     * Bounds every later execution on the connection: past the limit it is
     * cancelled where the ODBC driver can, and fails with SQLTimeoutException
     * (HYT01). The driver is also given the limit as its connection timeout.
     */
    @Override
    public void setNetworkTimeout(Executor executor, int milliseconds) throws SQLException {
        checkOpen();
        if (executor == null) {
            throw Errors.create("setNetworkTimeout needs an executor", Errors.INVALID_ARGUMENT);
        }
        if (milliseconds < 0) {
            throw Errors.create("Network timeout " + milliseconds + " is negative", Errors.INVALID_ARGUMENT);
        }
        link.setNetworkTimeout(milliseconds);
    }

    @Override
    public int getNetworkTimeout() throws SQLException {
        checkOpen();
        return link.networkTimeout();
    }

    // Warnings and client information.

    @Override
    public SQLWarning getWarnings() throws SQLException {
        checkOpen();
        return link.warnings();
    }

    @Override
    public void clearWarnings() throws SQLException {
        checkOpen();
        link.clearWarnings();
    }

    /** Kept by the driver for getClientInfo; the database is not told. */
    @Override
    public void setClientInfo(String name, String value) throws SQLClientInfoException {
        if (closed) {
            throw new SQLClientInfoException("The connection is closed", Errors.CONNECTION_CLOSED, 0,
                    Collections.singletonMap(name, ClientInfoStatus.REASON_UNKNOWN));
        }
        if (value == null) {
            clientInfo.remove(name);
        } else {
            clientInfo.setProperty(name, value);
        }
    }

    @Override
    public void setClientInfo(Properties properties) throws SQLClientInfoException {
        for (String name : properties.stringPropertyNames()) {
            setClientInfo(name, properties.getProperty(name));
        }
    }

    @Override
    public String getClientInfo(String name) throws SQLException {
        checkOpen();
        return clientInfo.getProperty(name);
    }

    @Override
    public Properties getClientInfo() throws SQLException {
        checkOpen();
        Properties copy = new Properties();
        copy.putAll(clientInfo);
        return copy;
    }

    // Objects the driver does not make.

    @Override
    public Clob createClob() throws SQLException {
        throw Errors.notSupported("Clob objects");
    }

    @Override
    public Blob createBlob() throws SQLException {
        throw Errors.notSupported("Blob objects");
    }

    @Override
    public NClob createNClob() throws SQLException {
        throw Errors.notSupported("NClob objects");
    }

    @Override
    public SQLXML createSQLXML() throws SQLException {
        throw Errors.notSupported("SQLXML objects");
    }

    @Override
    public Array createArrayOf(String typeName, Object[] elements) throws SQLException {
        throw Errors.notSupported("Array objects");
    }

    @Override
    public Struct createStruct(String typeName, Object[] attributes) throws SQLException {
        throw Errors.notSupported("Struct objects");
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

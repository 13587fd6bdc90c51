package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.sql.Connection;
import java.sql.Driver;
import java.sql.DriverManager;
import java.sql.DriverPropertyInfo;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.SQLIntegrityConstraintViolationException;
import java.sql.SQLNonTransientConnectionException;
import java.sql.Savepoint;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;
import java.util.logging.Handler;
import java.util.logging.Level;
import java.util.logging.LogRecord;
import java.util.logging.Logger;
import jov.jdbc.odbc.driver.JovDataSource;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** The driver as DriverManager and pools meet it: URLs, transactions, liveness, errors, closing. */
class JdbcConnectionTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    private static int count(Connection connection, String table) throws SQLException {
        try (Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT count(*) FROM " + table)) {
            assertTrue(rs.next());
            return rs.getInt(1);
        }
    }

    @Test
    void driverManagerFindsTheDriverByItsPrefixOnly() throws SQLException {
        Driver driver = DriverManager.getDriver("jdbc:jov:odbc:JovSqlite");
        assertEquals("jov.jdbc.odbc.driver.JovDriver", driver.getClass().getName());
        assertNull(driver.connect("jdbc:postgresql://localhost/x", new Properties()));
        assertFalse(driver.jdbcCompliant());
        List<String> names = new ArrayList<>();
        for (DriverPropertyInfo info : driver.getPropertyInfo("jdbc:jov:odbc:JovSqlite;user=me", null)) {
            names.add(info.name + "=" + info.value);
            assertFalse(info.description.isEmpty());
        }
        assertEquals(List.of("user=me", "password=null", "charset=UTF-8"), names);
        assertThrows(SQLException.class, () -> driver.connect("jdbc:jov:odbc:JovSqlite;usr=me", null));
        assertEquals("jov.jdbc.odbc", driver.getParentLogger().getName());
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void userAndPasswordInTheUrlConnect(Rig rig) throws SQLException {
        String url = Jdbc.url(rig) + ";user=" + rig.user + ";password=" + rig.password;
        try (Connection connection = DriverManager.getConnection(url)) {
            assertTrue(connection.isValid(1));
            assertTrue(connection.getAutoCommit());
            // unixODBC warns at connect when asked for an ODBC version the driver lacks.
            assertNull(connection.getWarnings());
            assertEquals(Jdbc.url(rig) + ";user=" + rig.user, connection.getMetaData().getURL());
        }
    }

    /**
     * A connection string opens the database without odbc.ini, the login
     * from the properties merged and braced; a wrong password in the string
     * is refused without being echoed, and the URL shown never holds it.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aConnectionStringOpensWithoutADataSourceName(Rig rig) throws SQLException {
        String url = "jdbc:jov:odbc:" + rig.connectionString();
        try (Connection connection = DriverManager.getConnection(url, rig.user, rig.password);
                Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT 'a;b}c'")) {
            assertTrue(rs.next());
            assertEquals("a;b}c", rs.getString(1));
            // Shown as rewritten: braces only where a value needs them.
            assertEquals(url.replaceAll("[{}]", ""), connection.getMetaData().getURL());
        }
        String wrong = url + ";UID=" + (rig.user.isEmpty() ? "x" : rig.user) + ";PWD={secret;}}x}";
        try (Connection connection = DriverManager.getConnection(wrong)) {
            // sqliteodbc has no password, the PostgreSQL cluster trusts its socket.
            assertNotEquals(Rig.MARIA, rig, "MariaDB checks the password");
            assertFalse(connection.getMetaData().getURL().contains("secret"));
        } catch (SQLException refused) {
            assertEquals(Rig.MARIA, rig, refused.toString());
            assertNoSecret(refused);
        }
    }

    private static void assertNoSecret(SQLException refused) {
        assertTrue(refused.getSQLState().startsWith("08") || refused.getSQLState().startsWith("28"));
        for (Throwable t = refused; t != null; t = t.getCause()) {
            assertFalse(t.toString().contains("secret"), t.toString());
        }
    }

    /** A DSN in a connection string gets the UTF-8 pins over its own Windows-31J settings, as by name. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aDataSourceInAConnectionStringIsPinnedToUtf8(Rig rig) throws SQLException {
        Properties login = new Properties();
        login.setProperty("user", rig.user);
        login.setProperty("password", rig.password);
        try (Connection connection = DriverManager.getConnection("jdbc:jov:odbc:DSN=" + rig.dataSource, login);
                Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT '\u20ac\u00e9\ud83d\ude00'")) {
            assertTrue(rs.next());
            assertEquals("\u20ac\u00e9\ud83d\ude00", rs.getString(1));
        }
    }

    @Test
    void anUnknownDataSourceIsAConnectionFailure() {
        SQLException e = assertThrows(SQLException.class,
                () -> DriverManager.getConnection("jdbc:jov:odbc:NoSuchDataSource"));
        assertInstanceOf(SQLNonTransientConnectionException.class, e, e.toString());
        assertTrue(e.getSQLState().startsWith("08"), e.getSQLState());
        assertNoSecret(assertThrows(SQLException.class,
                () -> DriverManager.getConnection("jdbc:jov:odbc:Driver={NoSuchDriver};PWD={secret}")));
    }

    /** SQL is logged at FINE under the library's logger; the password never is. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void sqlIsLoggedAndThePasswordIsNot(Rig rig) throws SQLException {
        Logger logger = Logger.getLogger("jov.jdbc.odbc");
        List<String> logged = new ArrayList<>();
        Handler handler = new Handler() {
            @Override
            public void publish(LogRecord record) {
                logged.add(record.getLevel() + " " + record.getMessage());
            }

            @Override
            public void flush() {
            }

            @Override
            public void close() {
            }
        };
        Level level = logger.getLevel();
        logger.setLevel(Level.FINE);
        logger.addHandler(handler);
        try {
            try (Connection connection = DriverManager.getConnection(
                    Jdbc.url(rig) + ";user=" + rig.user + ";password=secret-" + rig.password)) {
                assertTrue(connection.isValid(0));
            } catch (SQLException refused) {
                assertNotEquals(Rig.SQLITE, rig, "SQLite has no password to check");
            }
            try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
                statement.executeQuery("SELECT 'logged text'").close();
            }
        } finally {
            logger.removeHandler(handler);
            logger.setLevel(level);
        }
        assertTrue(logged.contains("FINE SELECT 'logged text'"), logged.toString());
        assertTrue(logged.stream().noneMatch(line -> line.contains("secret-")), logged.toString());
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aDataSourceConnectsByName(Rig rig) throws SQLException {
        JovDataSource source = new JovDataSource();
        assertThrows(SQLNonTransientConnectionException.class, source::getConnection, "no name yet");
        source.setDataSourceName(rig.dataSource);
        source.setUser(rig.user);
        source.setPassword(rig.password);
        assertEquals(rig.dataSource, source.getDataSourceName());
        source.setLoginTimeout(5);
        assertEquals(5, source.getLoginTimeout());
        assertThrows(SQLException.class, () -> source.setLoginTimeout(-1));
        try (Connection connection = source.getConnection()) {
            assertTrue(connection.isValid(0));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void abortClosesTheConnectionThroughTheExecutor(Rig rig) throws SQLException {
        Connection connection = Jdbc.connect(rig);
        List<Runnable> queued = new ArrayList<>();
        connection.abort(queued::add);
        assertTrue(connection.isClosed(), "closed at once");
        assertThrows(SQLNonTransientConnectionException.class, connection::createStatement);
        assertEquals(1, queued.size());
        queued.get(0).run();
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void rollbackSavepointAndCommit(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer");
            Connection connection = db.connection;
            connection.setAutoCommit(false);
            db.update("INSERT INTO " + table + " VALUES (1)");
            connection.rollback();
            assertEquals(0, count(connection, table));
            db.update("INSERT INTO " + table + " VALUES (1)");
            Savepoint savepoint = connection.setSavepoint();
            db.update("INSERT INTO " + table + " VALUES (2)");
            connection.rollback(savepoint);
            Savepoint named = connection.setSavepoint("with \"quotes\"");
            connection.releaseSavepoint(named);
            connection.commit();
            connection.setAutoCommit(true);
            assertEquals(1, count(connection, table));
            assertThrows(SQLException.class, connection::commit, "commit under auto-commit");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void isolationIsWhatTheDatabaseReports(Rig rig) throws SQLException {
        Connection connection = Jdbc.connect(rig);
        try {
            // MariaDB's default is REPEATABLE READ.
            int expected = rig == Rig.SQLITE ? Connection.TRANSACTION_SERIALIZABLE
                    : rig == Rig.MARIA ? Connection.TRANSACTION_REPEATABLE_READ
                    : Connection.TRANSACTION_READ_COMMITTED;
            assertEquals(expected, connection.getTransactionIsolation());
            int asked = rig == Rig.MARIA ? Connection.TRANSACTION_READ_COMMITTED
                    : Connection.TRANSACTION_REPEATABLE_READ;
            connection.setTransactionIsolation(asked);
            assertEquals(rig == Rig.SQLITE ? Connection.TRANSACTION_SERIALIZABLE : asked,
                    connection.getTransactionIsolation(),
                    "SQLite stays serializable, a higher level than the one asked for");
            assertThrows(SQLException.class, () -> connection.setTransactionIsolation(12345));
            connection.close();
            int closedAnswer = rig == Rig.SQLITE ? Connection.TRANSACTION_SERIALIZABLE
                    : Connection.TRANSACTION_READ_COMMITTED;
            assertEquals(closedAnswer, connection.getTransactionIsolation(), "never throws, even closed");
            assertFalse(connection.isValid(0));
        } finally {
            connection.close();
        }
    }

    /** More statements than a connection has cursors, each left with an open result. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void closingStatementsAndTheConnectionFreesTheirCursors(Rig rig) throws SQLException {
        Connection connection = Jdbc.connect(rig);
        try {
            for (int i = 0; i < 40; i++) {
                Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT " + i);
                assertTrue(rs.next());
                assertEquals(i, rs.getInt(1));
                statement.close();
                assertTrue(rs.isClosed());
            }
            List<Statement> open = new ArrayList<>();
            for (int i = 0; i < 20; i++) {
                Statement statement = connection.createStatement();
                statement.executeQuery("SELECT " + i);
                open.add(statement);
            }
            connection.close();
            for (Statement statement : open) {
                assertTrue(statement.isClosed());
            }
            assertThrows(SQLNonTransientConnectionException.class, connection::createStatement);
        } finally {
            connection.close();
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void errorsCarryTheirSqlState(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer PRIMARY KEY");
            db.update("INSERT INTO " + table + " VALUES (1)");
            SQLException duplicate = assertThrows(SQLException.class,
                    () -> db.update("INSERT INTO " + table + " VALUES (1)"));
            SQLException syntax = assertThrows(SQLException.class, () -> db.update("INSERT INTO"));
            if (rig != Rig.SQLITE) {
                assertInstanceOf(SQLIntegrityConstraintViolationException.class, duplicate);
                assertEquals(rig.duplicateKeyState(), duplicate.getSQLState());
                assertEquals(rig.syntaxErrorState(), syntax.getSQLState());
            } else {
                // The SQLite ODBC driver reports both as a general error.
                assertEquals("HY000", duplicate.getSQLState());
                assertTrue(duplicate.getMessage().contains("UNIQUE"), duplicate.getMessage());
            }
        }
    }

    /** Two threads failing at the same moment on different connections. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void eachThreadGetsItsOwnFailure(Rig rig) throws Exception {
        Connection[] connections = {Jdbc.connect(rig), Jdbc.connect(rig)};
        try {
            new Together(2).run(List.of(0, 1).stream().<Together.Task>map(n -> index -> {
                String missing = "no_such_table_" + index;
                try (Statement statement = connections[index].createStatement()) {
                    for (int i = 0; i < 200; i++) {
                        SQLException e = assertThrows(SQLException.class,
                                () -> statement.executeQuery("SELECT * FROM " + missing));
                        assertTrue(e.getMessage().contains(missing), e.getMessage());
                        assertEquals(rig.missingTableState(), e.getSQLState());
                    }
                }
            }).collect(java.util.stream.Collectors.toList()));
        } finally {
            connections[0].close();
            connections[1].close();
        }
    }

    /** Threads sharing one connection: each reads whole, right values while the others read and write. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void threadsShareOneConnection(Rig rig) throws Exception {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer, v varchar(20)");
            StringBuilder insert = new StringBuilder("INSERT INTO " + table + " VALUES (0, '行0')");
            for (int id = 1; id < 100; id++) {
                insert.append(", (").append(id).append(", '行").append(id).append("')");
            }
            assertEquals(100, db.update(insert.toString()));
            List<Together.Task> tasks = new ArrayList<>();
            for (int t = 0; t < 4; t++) {
                tasks.add(index -> {
                    for (int round = 0; round < 20; round++) {
                        try (Statement statement = db.connection.createStatement();
                                ResultSet rs = statement.executeQuery("SELECT id, v FROM " + table + " ORDER BY id")) {
                            for (int id = 0; id < 100; id++) {
                                assertTrue(rs.next());
                                assertEquals(id, rs.getInt(1));
                                assertEquals("行" + id, rs.getString(2));
                            }
                            assertEquals(0, statement.executeUpdate("UPDATE " + table + " SET v = 'x' WHERE id < 0"));
                        }
                    }
                });
            }
            new Together(4).run(tasks);
        }
    }

    /** PostgreSQL alone switches schemas: to exactly the name given, and back to the default for null. */
    @Test
    void setSchemaNamesOneSchemaOrTheDefault() throws SQLException {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.POSTGRES), "JovPg not selected");
        String schema = "jov \"s\"; " + ProcessHandle.current().pid();
        String quoted = "\"" + schema.replace("\"", "\"\"") + "\"";
        try (Jdbc db = Jdbc.open(Rig.POSTGRES)) {
            db.update("CREATE SCHEMA " + quoted);
            db.connection.setSchema(schema);
            assertEquals(schema, db.connection.getSchema());
            db.connection.setSchema(null);
            assertEquals("public", db.connection.getSchema());
            db.update("DROP SCHEMA " + quoted);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void unsupportedFeaturesSaySo(Rig rig) throws SQLException {
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
            statement.setQueryTimeout(5);
            assertEquals(5, statement.getQueryTimeout());
            assertThrows(SQLException.class, () -> statement.setQueryTimeout(-1));
            statement.cancel();
            assertEquals(0, connection.getNetworkTimeout());
            assertThrows(SQLFeatureNotSupportedException.class, statement::getGeneratedKeys);
            assertThrows(SQLFeatureNotSupportedException.class, () -> connection.prepareCall("x"));
            assertArrayEquals(new int[0], statement.executeBatch());
        }
    }
}

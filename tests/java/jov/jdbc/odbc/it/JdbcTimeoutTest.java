package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.SQLTimeoutException;
import java.sql.Statement;
import java.util.concurrent.CompletableFuture;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;
import java.util.stream.Stream;
import jov.jdbc.odbc.driver.JovDataSource;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * A server that takes long or stops answering: query timeouts, cancel from
 * another thread, abort and isValid's bound. Each query here would run for
 * half a minute or more if nothing ended it; every wait on another thread is
 * a bounded join, so a fault fails the test instead of hanging the run.
 */
class JdbcTimeoutTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    /** Far beyond any bound the driver keeps; reaching it means the driver did not end the wait. */
    private static final long JOIN_SECONDS = 25;

    /** A query that runs for half a minute (SQLite: a count of a billion rows). */
    private static String longQuery(Rig rig) {
        switch (rig) {
            case POSTGRES:
                return "SELECT pg_sleep(30)";
            case MARIA:
                return "SELECT SLEEP(30)";
            default:
                return "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c WHERE x < 1000000000)"
                        + " SELECT count(*) FROM c";
        }
    }

    private static void assertUsable(Connection connection) throws SQLException {
        try (Statement statement = connection.createStatement(); ResultSet rs = statement.executeQuery("SELECT 7")) {
            rs.next();
            assertEquals(7, rs.getInt(1));
        }
    }

    /** JDBC work for another thread. */
    private interface SqlWork {
        void run() throws SQLException;
    }

    private static CompletableFuture<?> onAnotherThread(SqlWork work) {
        return CompletableFuture.runAsync(() -> {
            try {
                work.run();
            } catch (SQLException e) {
                throw new IllegalStateException(e);
            }
        });
    }

    /** What the call threw, waiting at most JOIN_SECONDS for it. */
    private static Throwable failureOf(Future<?> call) throws Exception {
        ExecutionException e = assertThrows(ExecutionException.class, () -> call.get(JOIN_SECONDS, TimeUnit.SECONDS));
        return e.getCause();
    }

    /** The statement's query timeout (HYT00), and the connection's network timeout (HYT01) over every statement. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aQueryPastItsTimeoutFailsWithHyt00AndTheConnectionStaysUsable(Rig rig) throws Exception {
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
            statement.setQueryTimeout(1);
            assertTimesOut("HYT00", statement, rig);
            assertUsable(connection);
            statement.setQueryTimeout(0);
            connection.setNetworkTimeout(Runnable::run, 1500);
            assertEquals(1500, connection.getNetworkTimeout());
            assertTimesOut("HYT01", statement, rig);
            connection.setNetworkTimeout(Runnable::run, 0);
            assertUsable(connection);
        }
    }

    private static void assertTimesOut(String state, Statement statement, Rig rig) throws Exception {
        Future<?> call = onAnotherThread(() -> statement.executeQuery(longQuery(rig)));
        SQLTimeoutException timeout = assertInstanceOf(SQLTimeoutException.class, failureOf(call).getCause());
        assertEquals(state, timeout.getSQLState());
        assertNotNull(timeout.getCause(), "the driver's own failure is kept");
    }

    /**
     * The cancel is repeated until the query ends: one that comes before the
     * query executes cancels nothing, as JDBC allows.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void cancelFromAnotherThreadEndsTheQueryAndTheConnectionStaysUsable(Rig rig) throws Exception {
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
            CompletableFuture<?> call = onAnotherThread(() -> statement.executeQuery(longQuery(rig)));
            for (int tries = 0; !call.isDone() && tries < JOIN_SECONDS * 10; tries++) {
                statement.cancel();
                try {
                    call.get(100, TimeUnit.MILLISECONDS);
                } catch (TimeoutException | ExecutionException e) {
                    // still running, or ended as it should
                }
            }
            Throwable failure = failureOf(call).getCause();
            assertInstanceOf(SQLException.class, failure);
            assertFalse(failure instanceof SQLTimeoutException, "no timeout was set");
            assertUsable(connection);
        }
    }

    /**
     * The query is known to run once the server lists it; no other connection
     * can see a query SQLite runs, so SQLite is left out.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void abortReleasesAThreadBlockedInAQuery(Rig rig) throws Exception {
        assumeTrue(rig != Rig.SQLITE, "no other connection sees a running SQLite query");
        Connection connection = Jdbc.connect(rig);
        Statement statement = connection.createStatement();
        String sql = longQuery(rig);
        Future<?> call = onAnotherThread(() -> statement.executeQuery(sql));
        try (Connection watcher = Jdbc.connect(rig)) {
            for (int tries = 0; !isRunning(rig, watcher, sql) && tries < JOIN_SECONDS * 10; tries++) {
                TimeUnit.MILLISECONDS.sleep(100);
            }
        }
        connection.abort(Runnable::run);
        assertInstanceOf(SQLException.class, failureOf(call).getCause());
    }

    private static boolean isRunning(Rig rig, Connection watcher, String sql) throws SQLException {
        String list = rig == Rig.POSTGRES ? "SELECT count(*) FROM pg_stat_activity WHERE state = 'active' AND query = ?"
                : "SELECT count(*) FROM information_schema.processlist WHERE info = ?";
        try (java.sql.PreparedStatement count = watcher.prepareStatement(list)) {
            count.setString(1, sql);
            try (ResultSet rs = count.executeQuery()) {
                rs.next();
                return rs.getInt(1) > 0;
            }
        }
    }

    /** PostgreSQL stops one connection's backend; MariaDB's server is one process, stopped whole. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void isValidAnswersFalseWithinItsBoundWhileTheServerIsStopped(Rig rig) throws Exception {
        assumeTrue(rig != Rig.SQLITE, "SQLite has no server to stop");
        try (Connection connection = Jdbc.connect(rig)) {
            String pid = serverPid(rig, connection);
            signal("STOP", pid);
            try {
                Future<Boolean> valid = CompletableFuture.supplyAsync(() -> {
                    try {
                        return connection.isValid(1);
                    } catch (SQLException e) {
                        throw new IllegalStateException(e);
                    }
                });
                assertFalse(valid.get(JOIN_SECONDS, TimeUnit.SECONDS));
            } finally {
                resume(pid);
            }
        }
    }

    /** PostgreSQL's postmaster or MariaDB's server stopped: a login that gets no answer. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aLoginPastItsTimeoutFailsWithHyt00(Rig rig) throws Exception {
        assumeTrue(rig != Rig.SQLITE, "SQLite has no server to stop");
        String pid;
        try (Connection connection = Jdbc.connect(rig)) {
            pid = rig == Rig.MARIA ? serverPid(rig, connection)
                    : Files.readAllLines(Paths.get(System.getenv("JOV_PG_DIR"), "data", "postmaster.pid")).get(0).trim();
        }
        JovDataSource source = new JovDataSource();
        source.setDataSourceName(rig.dataSource);
        source.setUser(rig.user);
        source.setPassword(rig.password);
        source.setLoginTimeout(1);
        signal("STOP", pid);
        try {
            Future<?> login = onAnotherThread(() -> source.getConnection().close());
            SQLTimeoutException timeout = assertInstanceOf(SQLTimeoutException.class, failureOf(login).getCause());
            assertEquals("HYT00", timeout.getSQLState());
        } finally {
            resume(pid);
        }
    }

    private static String serverPid(Rig rig, Connection connection) throws SQLException, IOException {
        if (rig == Rig.MARIA) {
            String dir = System.getenv("JOV_MARIA_DIR");
            return Files.readString(Paths.get(dir, "mariadb.pid")).trim();
        }
        try (Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT pg_backend_pid()")) {
            rs.next();
            return rs.getString(1);
        }
    }

    /**
     * Continues the process and its parent: runuser, which started MariaDB's
     * server, stops itself when its child stops and stays stopped otherwise.
     */
    private static void resume(String pid) throws IOException, InterruptedException {
        signal("CONT", pid);
        String parent = String.valueOf(ProcessHandle.of(Long.parseLong(pid)).flatMap(ProcessHandle::parent)
                .map(ProcessHandle::pid).orElseThrow());
        signal("CONT", parent);
    }

    private static void signal(String name, String pid) throws IOException, InterruptedException {
        Process kill = new ProcessBuilder("kill", "-" + name, pid).inheritIO().start();
        assertEquals(0, kill.waitFor(), "kill -" + name + " " + pid);
        if (name.equals("STOP")) {
            awaitStopped(pid);
        }
    }

    /** kill returns once the signal is sent; a busy server may still answer until each thread has stopped. */
    private static void awaitStopped(String pid) throws IOException, InterruptedException {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(JOIN_SECONDS);
        while (!allThreadsStopped(pid)) {
            assertTrue(System.nanoTime() < deadline, "process " + pid + " did not stop");
            Thread.sleep(1);
        }
    }

    private static boolean allThreadsStopped(String pid) throws IOException {
        try (Stream<Path> tasks = Files.list(Paths.get("/proc", pid, "task"))) {
            for (Path task : (Iterable<Path>) tasks::iterator) {
                String stat = new String(Files.readAllBytes(task.resolve("stat")), StandardCharsets.US_ASCII);
                // The state follows the command name, which is in parentheses and may hold spaces.
                char state = stat.charAt(stat.lastIndexOf(')') + 2);
                if (state != 'T' && state != 't') {
                    return false;
                }
            }
        }
        return true;
    }
}

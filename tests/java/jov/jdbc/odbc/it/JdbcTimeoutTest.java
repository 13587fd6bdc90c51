package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.io.IOException;
import java.nio.file.Files;
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

    /** What the call threw, waiting at most JOIN_SECONDS for it. */
    private static Throwable failureOf(Future<?> call) throws Exception {
        ExecutionException e = assertThrows(ExecutionException.class, () -> call.get(JOIN_SECONDS, TimeUnit.SECONDS));
        return e.getCause();
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aQueryPastItsTimeoutFailsWithHyt00AndTheConnectionStaysUsable(Rig rig) throws Exception {
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
            statement.setQueryTimeout(1);
            Future<?> call = CompletableFuture.runAsync(() -> {
                try {
                    statement.executeQuery(longQuery(rig));
                } catch (SQLException e) {
                    throw new IllegalStateException(e);
                }
            });
            SQLTimeoutException timeout = assertInstanceOf(SQLTimeoutException.class, failureOf(call).getCause());
            assertEquals("HYT00", timeout.getSQLState());
            assertNotNull(timeout.getCause(), "the driver's own failure is kept");
            assertUsable(connection);
        }
    }

    /**
     * The cancel is repeated until the query ends: one that comes before the
     * query executes cancels nothing, as JDBC allows.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void cancelFromAnotherThreadEndsTheQueryAndTheConnectionStaysUsable(Rig rig) throws Exception {
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement()) {
            CompletableFuture<?> call = CompletableFuture.runAsync(() -> {
                try {
                    statement.executeQuery(longQuery(rig));
                } catch (SQLException e) {
                    throw new IllegalStateException(e);
                }
            });
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
                signal("CONT", pid);
            }
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

    private static void signal(String name, String pid) throws IOException, InterruptedException {
        Process kill = new ProcessBuilder("kill", "-" + name, pid).inheritIO().start();
        assertEquals(0, kill.waitFor(), "kill -" + name + " " + pid);
    }
}

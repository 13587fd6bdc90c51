package jov.jdbc.odbc.clients;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import com.zaxxer.hikari.HikariConfig;
import com.zaxxer.hikari.HikariDataSource;
import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import jov.jdbc.odbc.it.Rig;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * HikariCP over the driver's DataSource, configured by class name and bean
 * properties as pools are: many threads borrowing and returning connections,
 * cursors freed at every return, and recovery from a server restart.
 */
class HikariTest {
    private static final int THREADS = 8;
    private static final int BORROWS = 1_000;
    /** The cursors one connection has. */
    private static final int CURSORS = 32;

    private static HikariDataSource pool(Rig rig, int size) {
        HikariConfig config = new HikariConfig();
        config.setDataSourceClassName(Scratch.DATA_SOURCE_CLASS);
        config.addDataSourceProperty("url", Scratch.url(rig));
        config.setUsername(rig.user);
        config.setPassword(rig.password);
        config.setMaximumPoolSize(size);
        if (rig == Rig.SQLITE) {
            // Each of the 8,000 updates commits; without this each waits for the disk.
            config.setConnectionInitSql("PRAGMA synchronous = OFF");
        }
        return new HikariDataSource(config);
    }

    /**
     * Each thread owns one row and counts in it, so every query must read
     * exactly its own thread's updates so far. Afterwards every pooled
     * connection must still open all its cursors at once: a statement or
     * result set that a return to the pool left open would take one.
     */
    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void threadsShareThePoolWithoutLeakingCursors(Rig rig) throws Exception {
        try (Scratch db = Scratch.open(rig, "k integer primary key, n integer");
                HikariDataSource pool = pool(rig, THREADS)) {
            for (int k = 0; k < THREADS; k++) {
                db.update("INSERT INTO " + db.table + " VALUES (" + k + ", 0)");
            }
            ExecutorService threads = Executors.newFixedThreadPool(THREADS);
            List<Future<?>> done = new ArrayList<>();
            for (int k = 0; k < THREADS; k++) {
                int row = k;
                done.add(threads.submit(() -> countInOwnRow(pool, db.table, row)));
            }
            threads.shutdown();
            for (Future<?> thread : done) {
                thread.get();
            }
            assertEquals(String.valueOf(THREADS * BORROWS), db.value("SELECT sum(n) FROM " + db.table));

            List<Connection> all = new ArrayList<>();
            try {
                for (int c = 0; c < THREADS; c++) {
                    all.add(pool.getConnection());
                }
                for (Connection connection : all) {
                    assertAllCursorsOpen(connection, db.table);
                }
            } finally {
                for (Connection connection : all) {
                    connection.close();
                }
            }
        }
    }

    private static Void countInOwnRow(HikariDataSource pool, String table, int row) throws SQLException {
        for (int i = 1; i <= BORROWS; i++) {
            try (Connection connection = pool.getConnection();
                    PreparedStatement update = connection.prepareStatement(
                            "UPDATE " + table + " SET n = n + 1 WHERE k = ?");
                    PreparedStatement query = connection.prepareStatement(
                            "SELECT n FROM " + table + " WHERE k = ?")) {
                update.setInt(1, row);
                assertEquals(1, update.executeUpdate());
                query.setInt(1, row);
                ResultSet rows = query.executeQuery();
                assertTrue(rows.next());
                assertEquals(i, rows.getInt(1));
            }
        }
        return null;
    }

    private static void assertAllCursorsOpen(Connection connection, String table) throws SQLException {
        List<Statement> statements = new ArrayList<>();
        try {
            for (int c = 0; c < CURSORS; c++) {
                Statement statement = connection.createStatement();
                statements.add(statement);
                assertTrue(statement.executeQuery("SELECT k FROM " + table).next());
            }
        } finally {
            for (Statement statement : statements) {
                statement.close();
            }
        }
    }

    /**
     * A restart ends every session the pool holds. Each attempt that meets a
     * dead connection makes Hikari evict it (by its validation or by the
     * SQLSTATE class 08 of the failure), so the pool must serve a working
     * connection within one attempt per pooled connection plus one.
     */
    @Test
    void poolRecoversAfterPostgresRestarts() throws Exception {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.POSTGRES), "JovPg not selected");
        int size = 4;
        try (HikariDataSource pool = pool(Rig.POSTGRES, size)) {
            pool.getConnection().close();
            restartPostgres();

            List<SQLException> failures = new ArrayList<>();
            for (int attempt = 0; attempt <= size; attempt++) {
                try (Connection connection = pool.getConnection();
                        Statement statement = connection.createStatement();
                        ResultSet rows = statement.executeQuery("SELECT 42")) {
                    assertTrue(rows.next());
                    assertEquals(42, rows.getInt(1));
                    return;
                } catch (SQLException failure) {
                    failures.add(failure);
                }
            }
            throw new AssertionError("no working connection after the restart: " + failures);
        }
    }

    /**
     * The scenario: the backend of the pooled connection stops
     * answering. Hikari validates a connection idle for more than half a
     * second (its alive-bypass window, which it offers no seam for) with
     * isValid, which must answer false in time so that Hikari serves a new
     * connection within its own connection timeout.
     */
    @Test
    void poolReplacesAConnectionWhoseBackendStopped() throws Exception {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.POSTGRES), "JovPg not selected");
        try (HikariDataSource pool = pool(Rig.POSTGRES, 1)) {
            pool.setConnectionTimeout(3000);
            pool.setValidationTimeout(1000);
            String pid;
            try (Connection connection = pool.getConnection(); Statement statement = connection.createStatement();
                    ResultSet rows = statement.executeQuery("SELECT pg_backend_pid()")) {
                rows.next();
                pid = rows.getString(1);
            }
            signal("STOP", pid);
            try {
                TimeUnit.MILLISECONDS.sleep(600);
                Future<Integer> answer = Executors.newSingleThreadExecutor().submit(() -> {
                    try (Connection connection = pool.getConnection(); Statement statement = connection.createStatement();
                            ResultSet rows = statement.executeQuery("SELECT 42")) {
                        rows.next();
                        return rows.getInt(1);
                    }
                });
                assertEquals(42, answer.get(25, TimeUnit.SECONDS));
            } finally {
                signal("CONT", pid);
            }
        }
    }

    private static void signal(String name, String pid) throws Exception {
        Process kill = new ProcessBuilder("kill", "-" + name, pid).inheritIO().start();
        assertEquals(0, kill.waitFor(), "kill -" + name + " " + pid);
    }

    private static void restartPostgres() throws Exception {
        String script = System.getProperty("jov.it.pgCluster");
        String dir = System.getenv("JOV_PG_DIR");
        assumeTrue(script != null && dir != null, "the cluster's script and folder are not known");
        Process restart = new ProcessBuilder("bash", script, "restart", dir).inheritIO().start();
        assertEquals(0, restart.waitFor(), "pg-cluster.sh restart");
    }
}

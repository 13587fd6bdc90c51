package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * What the driver reports when the database refuses a statement or ends the
 * session: the ODBC driver's native code, a connection state (class 08) that
 * pools evict on, and no commit of a transaction that died with its session.
 */
class DiagnosticsTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    /** SQLite's SQLITE_CONSTRAINT, MariaDB's ER_DUP_ENTRY; psqlODBC gives 1 for every error of the server. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aFailureCarriesTheDriversNativeCode(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String insert = "INSERT INTO " + db.createTable("k INT PRIMARY KEY") + " VALUES (1)";
            db.update(insert);
            SQLException e = assertThrows(SQLException.class, () -> db.update(insert));
            assertEquals(rig.duplicateKeyState(), e.getSQLState(), e.getMessage());
            assertEquals(rig == Rig.SQLITE ? 19 : rig == Rig.POSTGRES ? 1 : 1062, e.getErrorCode(), e.getMessage());
        }
    }

    /** SQLite and the rig's PostgreSQL ask no password. */
    @Test
    void aRefusedLoginCarriesTheServersCode() {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.MARIA), "JovMaria not selected");
        String url = Jdbc.url(Rig.MARIA) + ";user=" + Rig.MARIA.user + ";password=wrong-" + Rig.MARIA.password;
        SQLException e = assertThrows(SQLException.class, () -> DriverManager.getConnection(url).close());
        assertEquals("28000", e.getSQLState(), e.getMessage());
        assertEquals(1045, e.getErrorCode(), e.getMessage());
    }

    /**
     * The session is ended from a second connection. The first statement after
     * it already says the session is gone (PostgreSQL 57P01; MariaDB's driver
     * gives its broken pipe HY000, native 5014, which the driver reports as
     * 08S01), and so does the next one (MariaDB's driver then refuses the
     * statement's allocation). psqlODBC would answer a commit with success
     * although the server rolled the insert back.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aTransactionWhoseSessionWasEndedNeverCommits(Rig rig) throws SQLException {
        assumeTrue(rig != Rig.SQLITE, "SQLite has no server that could end a session");
        try (Jdbc db = Jdbc.open(rig); Connection victim = Jdbc.connect(rig)) {
            String table = db.createTable("k INT");
            victim.setAutoCommit(false);
            try (Statement statement = victim.createStatement()) {
                statement.executeUpdate("INSERT INTO " + table + " VALUES (1)");
                endSession(db, rig, statement);
                SQLException first = assertThrows(SQLException.class, () -> statement.executeQuery("SELECT 1"));
                assertTrue(first.getSQLState().matches("08...|57P..") && first.getErrorCode() != 0,
                        first.getSQLState() + " " + first.getErrorCode() + " " + first.getMessage());
                SQLException next = assertThrows(SQLException.class, () -> statement.executeQuery("SELECT 1"));
                assertTrue(next.getSQLState().startsWith("08"), next.getSQLState() + " " + next.getMessage());
            }
            SQLException commit = assertThrows(SQLException.class, victim::commit);
            assertTrue(commit.getSQLState().startsWith("08"), commit.getSQLState() + " " + commit.getMessage());
            assertFalse(victim.isValid(0));
            assertEquals(0, count(db, table));
        }
    }

    /**
     * Ends the session of the victim's statement and returns once it is gone:
     * PostgreSQL waits for the backend's exit, MariaDB's KILL closes its socket.
     */
    private static void endSession(Jdbc db, Rig rig, Statement victim) throws SQLException {
        long id;
        try (ResultSet rows = victim.executeQuery(
                rig == Rig.POSTGRES ? "SELECT pg_backend_pid()" : "SELECT CONNECTION_ID()")) {
            assertTrue(rows.next());
            id = rows.getLong(1);
        }
        db.update(rig == Rig.POSTGRES ? "SELECT pg_terminate_backend(" + id + ", 60000)" : "KILL " + id);
    }

    private static int count(Jdbc db, String table) throws SQLException {
        try (Statement statement = db.connection.createStatement();
                ResultSet rows = statement.executeQuery("SELECT count(*) FROM " + table)) {
            assertTrue(rows.next());
            return rows.getInt(1);
        }
    }
}

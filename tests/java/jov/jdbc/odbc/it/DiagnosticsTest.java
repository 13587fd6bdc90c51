package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.sql.DriverManager;
import java.sql.SQLException;
import java.util.Properties;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** What the driver reports when the database refuses a statement: the ODBC driver's native code. */
class DiagnosticsTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    /**
     * The native code of a duplicate key: SQLite's SQLITE_CONSTRAINT, MariaDB's
     * ER_DUP_ENTRY; psqlODBC gives 1 for every error the server reports (its
     * own 35 for a lost connection).
     */
    private static int duplicateKeyCode(Rig rig) {
        return rig == Rig.SQLITE ? 19 : rig == Rig.POSTGRES ? 1 : 1062;
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aFailureCarriesTheDriversNativeCode(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("k INT PRIMARY KEY");
            db.update("INSERT INTO " + table + " VALUES (1)");
            SQLException e = assertThrows(SQLException.class, () -> db.update("INSERT INTO " + table + " VALUES (1)"));
            assertEquals(rig.duplicateKeyState(), e.getSQLState(), e.getMessage());
            assertEquals(duplicateKeyCode(rig), e.getErrorCode(), e.getMessage());
        }
    }

    /** A refused login keeps the server's code through the driver's connection failure. */
    @Test
    void aRefusedLoginCarriesTheServersCode() {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.MARIA),
                "JovMaria not selected; SQLite and the test's PostgreSQL ask no password");
        Properties props = new Properties();
        props.setProperty("user", Rig.MARIA.user);
        props.setProperty("password", Rig.MARIA.password + "-wrong");
        SQLException e = assertThrows(SQLException.class,
                () -> DriverManager.getConnection(Jdbc.url(Rig.MARIA), props).close());
        assertEquals("28000", e.getSQLState(), e.getMessage());
        assertEquals(1045, e.getErrorCode(), e.getMessage());
    }
}

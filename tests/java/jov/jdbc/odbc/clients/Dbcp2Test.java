package jov.jdbc.odbc.clients;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotSame;
import static org.junit.jupiter.api.Assertions.assertSame;

import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import jov.jdbc.odbc.it.Rig;
import org.apache.commons.dbcp2.BasicDataSource;
import org.apache.commons.dbcp2.DelegatingConnection;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Apache Commons DBCP2 finding the driver by its URL alone (through
 * DriverManager and the driver's service registration) and validating each
 * connection on borrow with a query.
 */
class Dbcp2Test {

    /**
     * A sound pooled connection passes validation and is handed out again; on
     * PostgreSQL one whose session the server ended must fail validation and
     * be replaced by a new, working one.
     */
    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void testOnBorrowKeepsSoundConnectionsAndReplacesDeadOnes(Rig rig) throws Exception {
        try (BasicDataSource pool = new BasicDataSource()) {
            pool.setUrl(Scratch.url(rig));
            pool.setUsername(rig.user);
            pool.setPassword(rig.password);
            pool.setMaxTotal(1);
            pool.setTestOnBorrow(true);
            pool.setValidationQuery("SELECT 1");
            pool.setAccessToUnderlyingConnectionAllowed(true);

            Connection first = physical(pool);
            assertSame(first, physical(pool));
            if (rig == Rig.POSTGRES) {
                endSession(rig, first);
                assertNotSame(first, physical(pool));
            }
        }
    }

    /** Borrows a connection, checks that it works, returns it and answers the driver's connection. */
    private static Connection physical(BasicDataSource pool) throws SQLException {
        try (Connection borrowed = pool.getConnection();
                Statement statement = borrowed.createStatement();
                ResultSet rows = statement.executeQuery("SELECT 7")) {
            rows.next();
            assertEquals(7, rows.getInt(1));
            return ((DelegatingConnection<?>) borrowed).getInnermostDelegate();
        }
    }

    /** Has the server end the connection's session and waits until it has. */
    private static void endSession(Rig rig, Connection victim) throws SQLException {
        String pid;
        try (Statement statement = victim.createStatement();
                ResultSet rows = statement.executeQuery("SELECT pg_backend_pid()")) {
            rows.next();
            pid = rows.getString(1);
        }
        try (Connection killer = Scratch.connect(rig);
                Statement statement = killer.createStatement();
                ResultSet rows = statement.executeQuery("SELECT pg_terminate_backend(" + pid + ", 60000)")) {
            rows.next();
            assertEquals(true, rows.getBoolean(1));
        }
    }
}

package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import jov.jdbc.odbc.it.Rig;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** A prepared statement is prepared once by the ODBC driver and re-executed, its results read each time. */
class PreparedOnceTest {

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void preparedOnceAndExecutedAsOftenAsRun(Rig rig) throws SQLException {
        try (Connection connection = DriverManager.getConnection("jdbc:jov:odbc:" + rig.dataSource, rig.user,
                rig.password)) {
            try (PreparedStatement select = connection.prepareStatement("SELECT ? + 1")) {
                OdbcLink link = select.unwrap(JovPreparedStatement.class).link;
                int before = link.preparations();
                for (int i = 1; i <= 3; i++) {
                    select.setInt(1, i * 10);
                    ResultSet rs = select.executeQuery();
                    assertTrue(rs.next());
                    assertEquals(i * 10 + 1, rs.getInt(1));
                }
                select.setInt(1, 5);
                select.addBatch();
                select.addBatch();
                assertEquals(2, select.executeBatch().length);
                assertEquals(1, link.preparations() - before);
            }
        }
    }

    /**
     * A batch runs as parameter arrays where the ODBC driver counts each row
     * of one (psqlODBC), and row by row where it does not (sqliteodbc,
     * MariaDB), where a parameter's rows mix kinds of value, or where the
     * arrays would pass their memory bound; exact counts either way.
     */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void batchesRunAsArraysOnlyWhereEachRowIsCounted(Rig rig) throws SQLException {
        try (Connection connection = DriverManager.getConnection("jdbc:jov:odbc:" + rig.dataSource, rig.user,
                rig.password); Statement ddl = connection.createStatement()) {
            ddl.execute("DROP TABLE IF EXISTS batch_ways");
            ddl.execute("CREATE TABLE batch_ways (x double precision, t " + (rig == Rig.MARIA ? "longtext" : "text")
                    + ")");
            try (PreparedStatement insert = connection.prepareStatement("INSERT INTO batch_ways (x) VALUES (?)")) {
                OdbcLink link = insert.unwrap(JovPreparedStatement.class).link;
                int before = link.arrayExecutions();
                insert.setDouble(1, 1.5);
                insert.addBatch();
                insert.setNull(1, Types.DOUBLE);
                insert.addBatch();
                assertArrayEquals(new int[] {1, 1}, insert.executeBatch());
                int uniform = link.arrayExecutions() - before;
                assertEquals(rig == Rig.POSTGRES ? 1 : 0, uniform);
                insert.setDouble(1, 2.5);
                insert.addBatch();
                insert.setInt(1, 3);
                insert.addBatch();
                assertArrayEquals(new int[] {1, 1}, insert.executeBatch());
                assertEquals(uniform, link.arrayExecutions() - before, "mixed kinds run row by row");
            }
            try (PreparedStatement insert = connection.prepareStatement("INSERT INTO batch_ways (t) VALUES (?)")) {
                OdbcLink link = insert.unwrap(JovPreparedStatement.class).link;
                int before = link.arrayExecutions();
                String wide = "w".repeat((int) (ParameterArrays.MAX_BYTES / 4));
                insert.setString(1, wide);
                insert.addBatch();
                insert.addBatch();
                assertArrayEquals(new int[] {1, 1}, insert.executeBatch());
                assertEquals(0, link.arrayExecutions() - before, "arrays beyond the memory bound run row by row");
            }
            try (ResultSet sum = ddl.executeQuery("SELECT count(*), sum(x) FROM batch_ways")) {
                assertTrue(sum.next());
                assertEquals(6, sum.getInt(1));
                assertEquals(7.0, sum.getDouble(2));
            }
            ddl.execute("DROP TABLE batch_ways");
        }
    }
}

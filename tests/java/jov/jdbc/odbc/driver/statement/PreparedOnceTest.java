package jov.jdbc.odbc.driver.statement;

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
import jov.jdbc.odbc.driver.link.OdbcLink;
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
     * of one (psqlODBC) or the total of an INSERT of one row (MariaDB), and
     * row by row where it counts nothing (sqliteodbc), where a parameter's
     * rows mix kinds of value, or where the arrays would pass their memory
     * bound; exact counts either way.
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
                assertEquals(rig == Rig.SQLITE ? 0 : 1, uniform);
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
                // Beyond the bound of a driver that counts a total (one packet to the server), within the other.
                insert.setString(1, "w".repeat((int) (ParameterArrays.TOTAL_COUNTED_MAX_BYTES / 4)));
                insert.addBatch();
                insert.addBatch();
                assertArrayEquals(new int[] {1, 1}, insert.executeBatch());
                assertEquals(rig == Rig.POSTGRES && !Rig.underIodbc() ? 1 : 0, link.arrayExecutions() - before);
            }
            try (ResultSet sum = ddl.executeQuery("SELECT count(*), sum(x) FROM batch_ways")) {
                assertTrue(sum.next());
                assertEquals(8, sum.getInt(1));
                assertEquals(7.0, sum.getDouble(2));
            }
            ddl.execute("DROP TABLE batch_ways");
        }
    }

    /**
     * A prepared statement keeps its result's columns and bound block while
     * the driver describes the same columns: a table replaced by one of
     * other columns is read by its new columns. The first execution after
     * the change may fail where the driver refuses it (PostgreSQL: a cached
     * plan's result changed; MariaDB: bound columns of another count); the
     * next one prepares again. sqliteodbc keeps describing the columns it
     * read at preparation, whatever the table becomes: there the table
     * keeps its columns.
     */
    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void aResultOfOtherColumnsIsReadByThem(Rig rig) throws SQLException {
        try (Connection connection = DriverManager.getConnection("jdbc:jov:odbc:" + rig.dataSource, rig.user,
                rig.password); Statement ddl = connection.createStatement();
                PreparedStatement select = connection.prepareStatement("SELECT * FROM shape_change")) {
            String[][] tables = {{"a int, b varchar(10)", "1, 'one'", "#1 one "},
                {"a varchar(10), b int", "'two', 2", "two #2 "},
                {"a varchar(10), b int, c float", "'three', 3, 0.5", "three #3 #0.5 "}};
            for (String[] table : tables) {
                if (rig == Rig.SQLITE && table != tables[0]) {
                    break;
                }
                ddl.execute("DROP TABLE IF EXISTS shape_change");
                ddl.execute("CREATE TABLE shape_change (" + table[0] + ")");
                ddl.execute("INSERT INTO shape_change VALUES (" + table[1] + ")");
                try {
                    assertEquals(table[2], readAll(select));
                } catch (SQLException refused) {
                    assertTrue(rig != Rig.SQLITE, refused.toString());
                }
                assertEquals(table[2], readAll(select));
                assertEquals(table[2], readAll(select));
            }
            ddl.execute("DROP TABLE shape_change");
        }
    }

    /** The one row's values, numbers marked #. */
    private static String readAll(PreparedStatement select) throws SQLException {
        StringBuilder text = new StringBuilder();
        try (ResultSet rs = select.executeQuery()) {
            assertTrue(rs.next());
            for (int c = 1; c <= rs.getMetaData().getColumnCount(); c++) {
                Object value = rs.getObject(c);
                text.append(value instanceof Number ? "#" : "").append(value).append(' ');
            }
        }
        return text.toString();
    }
}

package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.Connection;
import java.sql.DatabaseMetaData;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;
import jov.jdbc.odbc.driver.JovDriver;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** DatabaseMetaData over the driver: the product, and tables, columns and keys read from each catalogue. */
class DatabaseMetaDataTest {

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void answersFromTheCatalogue(Rig rig) throws SQLException {
        Properties login = new Properties();
        login.setProperty("user", rig.user);
        login.setProperty("password", rig.password);
        String table = "jov_md_" + ProcessHandle.current().pid();
        try (Connection connection = new JovDriver().connect("jdbc:jov:odbc:" + rig.dataSource, login);
                Statement statement = connection.createStatement()) {
            statement.executeUpdate("CREATE TABLE " + table
                    + " (id INTEGER PRIMARY KEY, name VARCHAR(20) NOT NULL, price DECIMAL(10,2))");
            try {
                DatabaseMetaData md = connection.getMetaData();
                assertEquals(rig == Rig.SQLITE ? "SQLite" : "PostgreSQL", md.getDatabaseProductName());
                assertEquals(List.of(table + " TABLE"), rows(md.getTables(null, null, table, new String[] {"TABLE"}),
                        "TABLE_NAME", "TABLE_TYPE"));
                assertEquals(List.of(), rows(md.getTables(null, null, table, new String[] {"VIEW"}), "TABLE_NAME"));
                assertEquals(List.of(), rows(md.getTables(null, null, "x' OR '1'='1", null), "TABLE_NAME"));

                int decimal = rig == Rig.SQLITE ? Types.DECIMAL : Types.NUMERIC;
                assertEquals(List.of("id " + Types.INTEGER + " 0 1", "name " + Types.VARCHAR + " 0 2",
                        "price " + decimal + " 1 3"), rows(md.getColumns(null, null, table, "%"),
                                "COLUMN_NAME", "DATA_TYPE", "NULLABLE", "ORDINAL_POSITION"));
                assertEquals(List.of("name 20 2"), rows(md.getColumns(null, null, table, "n_me"),
                        "COLUMN_NAME", "COLUMN_SIZE", "ORDINAL_POSITION"), "a pattern keeps the table's positions");
                assertEquals(List.of("id 1"), rows(md.getPrimaryKeys(null, null, table), "COLUMN_NAME", "KEY_SEQ"));

                ResultSet types = md.getTableTypes();
                Statement typesStatement = types.getStatement();
                assertFalse(rows(types, "TABLE_TYPE").isEmpty());
                assertTrue(typesStatement.isClosed(), "a catalogue's statement closes with its result set");
            } finally {
                statement.executeUpdate("DROP TABLE " + table);
            }
        }
    }

    /** Each row's named columns joined by blanks; the result set is closed. */
    private static List<String> rows(ResultSet rs, String... columns) throws SQLException {
        List<String> rows = new ArrayList<>();
        try (rs) {
            while (rs.next()) {
                List<String> values = new ArrayList<>();
                for (String column : columns) {
                    values.add(rs.getString(column));
                }
                rows.add(String.join(" ", values));
            }
        }
        return rows;
    }
}

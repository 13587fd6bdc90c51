package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
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
}

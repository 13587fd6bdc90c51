package jov.jdbc.odbc.it;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.Properties;
import java.util.concurrent.atomic.AtomicInteger;

/**
 * A JDBC connection of a test through the driver, reached the way
 * applications reach it (DriverManager and the URL), with the tables it made.
 * Closing it drops the tables and closes the connection.
 */
final class Jdbc implements AutoCloseable {
    private static final AtomicInteger SERIAL = new AtomicInteger();

    final Rig rig;
    final Connection connection;
    private final List<String> tables = new ArrayList<>();

    private Jdbc(Rig rig, Connection connection) {
        this.rig = rig;
        this.connection = connection;
    }

    static String url(Rig rig) {
        return "jdbc:jov:odbc:" + rig.dataSource;
    }

    static Connection connect(Rig rig) throws SQLException {
        Properties props = new Properties();
        props.setProperty("user", rig.user);
        props.setProperty("password", rig.password);
        return DriverManager.getConnection(url(rig), props);
    }

    static Jdbc open(Rig rig) throws SQLException {
        return new Jdbc(rig, connect(rig));
    }

    /** Creates a table with a name no other test (or run) uses; dropped at close. */
    String createTable(String columns) throws SQLException {
        String name = "jdbc_" + ProcessHandle.current().pid() + "_" + SERIAL.incrementAndGet();
        update("CREATE TABLE " + name + " (" + columns + ")");
        tables.add(name);
        return name;
    }

    int update(String sql) throws SQLException {
        try (Statement statement = connection.createStatement()) {
            return statement.executeUpdate(sql);
        }
    }

    @Override
    public void close() throws SQLException {
        if (!connection.isClosed()) {
            if (!connection.getAutoCommit()) {
                connection.rollback();
                connection.setAutoCommit(true);
            }
            for (String table : tables) {
                update("DROP TABLE " + table);
            }
            connection.close();
        }
    }
}

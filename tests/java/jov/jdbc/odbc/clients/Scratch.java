package jov.jdbc.odbc.clients;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.Properties;
import java.util.concurrent.atomic.AtomicInteger;
import jov.jdbc.odbc.it.Rig;

/**
 * One connection of a client test, opened through the driver the way a client
 * names it (URL and properties), with the name of a table no other test or run
 * uses. Closing drops that table, whoever created it, and closes the
 * connection, so every test leaves the data source as it found it.
 */
final class Scratch implements AutoCloseable {
    /** The rig's data sources, for {@code @MethodSource}. */
    static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    static final String DRIVER_CLASS = "jov.jdbc.odbc.driver.JovDriver";
    static final String DATA_SOURCE_CLASS = "jov.jdbc.odbc.driver.JovDataSource";
    private static final AtomicInteger SERIAL = new AtomicInteger();

    final Rig rig;
    final Connection connection;
    final String table;

    private Scratch(Rig rig, Connection connection, String table) {
        this.rig = rig;
        this.connection = connection;
        this.table = table;
    }

    static String url(Rig rig) {
        return rig.url();
    }

    static Connection connect(Rig rig) throws SQLException {
        Properties properties = new Properties();
        properties.setProperty("user", rig.user);
        properties.setProperty("password", rig.password);
        return DriverManager.getConnection(url(rig), properties);
    }

    /** Connects and creates the table with the given columns; null leaves that to the client. */
    static Scratch open(Rig rig, String columns) throws SQLException {
        String table = "jov_c" + ProcessHandle.current().pid() + "_" + SERIAL.incrementAndGet();
        Scratch scratch = new Scratch(rig, connect(rig), table);
        if (columns != null) {
            scratch.update("CREATE TABLE " + table + " (" + columns + ")");
        }
        return scratch;
    }

    int update(String sql) throws SQLException {
        try (Statement statement = connection.createStatement()) {
            return statement.executeUpdate(sql);
        }
    }

    /** The first column of the first row of a query, as text. */
    String value(String sql) throws SQLException {
        try (Statement statement = connection.createStatement();
                ResultSet rows = statement.executeQuery(sql)) {
            return rows.next() ? rows.getString(1) : null;
        }
    }

    @Override
    public void close() throws SQLException {
        try {
            update("DROP TABLE IF EXISTS " + table);
        } finally {
            connection.close();
        }
    }
}

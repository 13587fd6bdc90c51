package jov.jdbc.odbc.bench;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;

/**
 * One JDBC driver's side of the suite (a database's own driver, or this
 * project's over the ODBC data source of the same data): a connection kept
 * open throughout, and the suite's operations on it, each answering the
 * nanoseconds it took. Every read touches every value, so no driver can skip
 * work it defers until asked.
 */
final class JdbcSide implements AutoCloseable {

    private final String url;
    private final String user;
    private final String password;
    private final Connection connection;
    /** Keeps the JIT from discarding the values read. */
    private long sink;

    JdbcSide(String url, String user, String password) throws SQLException {
        this.url = url;
        this.user = user;
        this.password = password;
        this.connection = DriverManager.getConnection(url, user, password);
    }

    Connection connection() {
        return connection;
    }

    /** Reads every row of sql: getString for every value, or by type when typed. */
    long read(String sql, boolean typed) throws SQLException {
        long start = System.nanoTime();
        try (Statement statement = connection.createStatement();
                ResultSet result = statement.executeQuery(sql)) {
            ResultSetMetaData meta = result.getMetaData();
            int columns = meta.getColumnCount();
            JdbcVariant.Getter[] getters = new JdbcVariant.Getter[columns + 1];
            for (int c = 1; c <= columns; c++) {
                getters[c] = typed ? JdbcVariant.getter(meta.getColumnType(c))
                        : JdbcVariant.Getter.STRING;
            }
            while (result.next()) {
                for (int c = 1; c <= columns; c++) {
                    sink += switch (getters[c]) {
                        case INT -> result.getInt(c);
                        case LONG -> result.getLong(c);
                        case DOUBLE -> (long) result.getDouble(c);
                        case STRING -> {
                            String value = result.getString(c);
                            yield value == null ? 0 : value.length();
                        }
                    };
                }
            }
        }
        return System.nanoTime() - start;
    }

    /** Every value of sql as getString gives it, row after row. */
    List<String> texts(String sql) throws SQLException {
        List<String> texts = new ArrayList<>();
        try (Statement statement = connection.createStatement();
                ResultSet result = statement.executeQuery(sql)) {
            int columns = result.getMetaData().getColumnCount();
            while (result.next()) {
                for (int c = 1; c <= columns; c++) {
                    texts.add(result.getString(c));
                }
            }
        }
        return texts;
    }

    /** One statement prepared once, executed for each id, every value of its row read. */
    long pointQueries(String sql, long[] ids) throws SQLException {
        long start = System.nanoTime();
        try (PreparedStatement statement = connection.prepareStatement(sql)) {
            for (long id : ids) {
                statement.setLong(1, id);
                try (ResultSet result = statement.executeQuery()) {
                    int columns = result.getMetaData().getColumnCount();
                    while (result.next()) {
                        for (int c = 1; c <= columns; c++) {
                            String value = result.getString(c);
                            sink += value == null ? 0 : value.length();
                        }
                    }
                }
            }
        }
        return System.nanoTime() - start;
    }

    /**
     * Empties the batch table (untimed), then inserts rows rows through one
     * executeBatch in one transaction.
     */
    long batch(String clear, String insert, int rows) throws SQLException {
        try (Statement statement = connection.createStatement()) {
            statement.execute(clear);
        }
        long start = System.nanoTime();
        connection.setAutoCommit(false);
        try (PreparedStatement statement = connection.prepareStatement(insert)) {
            for (int id = 1; id <= rows; id++) {
                statement.setInt(1, id);
                statement.setString(2, "Customer " + id);
                statement.setDouble(3, id / 8.0);
                statement.addBatch();
            }
            int[] counts = statement.executeBatch();
            connection.commit();
            if (counts.length != rows) {
                throw new SQLException("executeBatch answered " + counts.length + " counts");
            }
        } finally {
            connection.setAutoCommit(true);
        }
        return System.nanoTime() - start;
    }

    /** Opens and closes count connections of its own. */
    long opens(int count) throws SQLException {
        long start = System.nanoTime();
        for (int i = 0; i < count; i++) {
            DriverManager.getConnection(url, user, password).close();
        }
        return System.nanoTime() - start;
    }

    @Override
    public void close() throws SQLException {
        connection.close();
    }
}

package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.nio.file.Path;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;

/**
 * A native JDBC driver (pgjdbc, sqlite-jdbc) reading every value with
 * ResultSet.getString; a NULL counts as the empty text.
 */
final class JdbcVariant implements Variant {

    private final String name;
    private final Connection connection;
    private final String sql;

    JdbcVariant(String name, String url, String user, String password, String sql)
            throws SQLException {
        this.name = name;
        this.sql = sql;
        this.connection = DriverManager.getConnection(url, user, password);
        connection.setAutoCommit(true);
    }

    @Override
    public String name() {
        return name;
    }

    @Override
    public PassResult pass() throws SQLException {
        long cpuStart = ProcessCpu.nanos();
        long start = System.nanoTime();
        long rows = 0;
        long lengthSum = 0;
        int columns;
        try (Statement statement = connection.createStatement();
                ResultSet result = statement.executeQuery(sql)) {
            columns = result.getMetaData().getColumnCount();
            while (result.next()) {
                rows++;
                for (int c = 1; c <= columns; c++) {
                    String value = result.getString(c);
                    lengthSum += value == null ? 0 : value.length();
                }
            }
        }
        long nanos = System.nanoTime() - start;
        long cpuNanos = ProcessCpu.nanos() - cpuStart;
        return new PassResult(nanos, cpuNanos, rows, rows * columns, lengthSum);
    }

    @Override
    public PassResult dump(Path file) throws SQLException, IOException {
        try (Statement statement = connection.createStatement();
                ResultSet result = statement.executeQuery(sql);
                ValueDump dump = new ValueDump(file, result.getMetaData().getColumnCount())) {
            int columns = result.getMetaData().getColumnCount();
            while (result.next()) {
                for (int c = 1; c <= columns; c++) {
                    dump.value(c, result.getString(c));
                }
            }
            return dump.result();
        }
    }

    @Override
    public void close() throws SQLException {
        connection.close();
    }
}

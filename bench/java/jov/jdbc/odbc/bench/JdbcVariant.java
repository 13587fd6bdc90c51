package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.nio.file.Path;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Types;

/**
 * A JDBC driver (pgjdbc, sqlite-jdbc, Connector/J, or this project's over the
 * bridge's data source) read in one of two ways: getString for every value, as
 * the bridge reads, or typed, as a program that knows its columns reads:
 * getInt, getLong or getDouble where ResultSetMetaData names an integer or
 * floating type, getString elsewhere. A NULL counts as the empty text; the
 * typed loop's length sum counts its strings only.
 */
final class JdbcVariant implements Variant {

    private final String name;
    private final boolean typed;
    private final Connection connection;
    private final String sql;

    JdbcVariant(String name, String url, String user, String password, String sql,
            boolean typed) throws SQLException {
        this.name = name;
        this.typed = typed;
        this.sql = sql;
        this.connection = DriverManager.getConnection(url, user, password);
        connection.setAutoCommit(true);
    }

    @Override
    public String name() {
        return name;
    }

    /** How the typed loop reads a column of a JDBC type. */
    enum Getter { INT, LONG, DOUBLE, STRING }

    static Getter getter(int jdbcType) {
        return switch (jdbcType) {
            case Types.TINYINT, Types.SMALLINT, Types.INTEGER -> Getter.INT;
            case Types.BIGINT -> Getter.LONG;
            case Types.REAL, Types.FLOAT, Types.DOUBLE -> Getter.DOUBLE;
            default -> Getter.STRING;
        };
    }

    /** The JDBC types of the query's columns, in order. */
    int[] columnTypes() throws SQLException {
        try (Statement statement = connection.createStatement();
                ResultSet result = statement.executeQuery(sql)) {
            ResultSetMetaData meta = result.getMetaData();
            int[] types = new int[meta.getColumnCount()];
            for (int c = 1; c <= types.length; c++) {
                types[c - 1] = meta.getColumnType(c);
            }
            return types;
        }
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
            ResultSetMetaData meta = result.getMetaData();
            columns = meta.getColumnCount();
            Getter[] getters = new Getter[columns + 1];
            for (int c = 1; c <= columns; c++) {
                getters[c] = typed ? getter(meta.getColumnType(c)) : Getter.STRING;
            }
            while (result.next()) {
                rows++;
                for (int c = 1; c <= columns; c++) {
                    switch (getters[c]) {
                        case INT -> result.getInt(c);
                        case LONG -> result.getLong(c);
                        case DOUBLE -> result.getDouble(c);
                        case STRING -> {
                            String value = result.getString(c);
                            lengthSum += value == null ? 0 : value.length();
                        }
                    }
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

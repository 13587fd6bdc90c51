package jov.jdbc.odbc.bench;

import java.sql.Connection;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;

/**
 * The suite's tables, made through the database's own JDBC driver and kept
 * between runs: a table is rebuilt only when the row count or the shape
 * recorded for it in suite_tables differs from what is asked.
 *
 * <pre>
 * b    id integer key, name varchar(40), amount numeric(12,2),
 *      ratio double (NULL in every 10th row), created timestamp,
 *      note varchar(200) (5 to 100 characters): the bulk reads and point queries
 * w50  id integer key and 49 columns, integers and varchar(20) by turns
 * l    id integer key, payload text of a fixed length: the long values
 * wb   id integer, name varchar(40), amount double: executeBatch's target
 * </pre>
 */
final class SuiteTables {

    /** Bump when a table's generated values change, so that stored tables are rebuilt. */
    private static final int VERSION = 1;
    static final int BULK_COLUMNS = 6;
    static final int WIDE_COLUMNS = 50;
    /** The unit the long values repeat; their length is a multiple of it. */
    private static final String LOB_UNIT = "abcdefghij";

    private SuiteTables() {
    }

    static void ensure(Connection connection, Dialect dialect, Suite.Sizes sizes)
            throws SQLException {
        try (Statement statement = connection.createStatement()) {
            statement.execute("CREATE TABLE IF NOT EXISTS suite_tables (name varchar(20),"
                    + " shape varchar(40))");
        }
        ensure(connection, "b", sizes.rows() + " rows", List.of(
                "CREATE TABLE b (id integer PRIMARY KEY, name varchar(40), amount numeric(12,2),"
                        + " ratio double precision, created " + dialect.timestampType()
                        + ", note varchar(200))",
                "INSERT INTO b SELECT i, " + dialect.concat("'Customer '", "i")
                        + ", (i % 100000000) / 100.0, CASE WHEN i % 10 = 0 THEN NULL ELSE"
                        + " i / 7.0 END, " + dialect.timestampPlus("i") + ", "
                        + dialect.repeat("'note '", "1 + i % 20") + " "
                        + dialect.series(sizes.rows())));
        ensure(connection, "w50", sizes.wideRows() + " rows", List.of(
                wideTable(), "INSERT INTO w50 SELECT " + wideValues(dialect) + " "
                        + dialect.series(sizes.wideRows())));
        int units = sizes.lobBytes() / LOB_UNIT.length();
        ensure(connection, "l", sizes.lobRows() + " rows of " + units * LOB_UNIT.length(),
                List.of("CREATE TABLE l (id integer PRIMARY KEY, payload "
                        + dialect.longTextType() + ")",
                        "INSERT INTO l SELECT i, " + dialect.repeat("'" + LOB_UNIT + "'",
                                String.valueOf(units)) + " " + dialect.series(sizes.lobRows())));
        ensure(connection, "wb", "empty", List.of(
                "CREATE TABLE wb (id integer, name varchar(40), amount double precision)"));
    }

    private static String wideTable() {
        StringBuilder sql = new StringBuilder("CREATE TABLE w50 (id integer PRIMARY KEY");
        for (int k = 2; k <= WIDE_COLUMNS; k++) {
            sql.append(", c").append(k).append(k % 2 == 0 ? " varchar(20)" : " integer");
        }
        return sql.append(')').toString();
    }

    private static String wideValues(Dialect dialect) {
        List<String> values = new ArrayList<>();
        values.add("i");
        for (int k = 2; k <= WIDE_COLUMNS; k++) {
            String number = "(i * " + k + ") % 1000003";
            values.add(k % 2 == 0 ? dialect.concat("'v'", number) : number);
        }
        return String.join(", ", values);
    }

    private static void ensure(Connection connection, String table, String shape,
            List<String> build) throws SQLException {
        String recorded = VERSION + ": " + shape;
        try (PreparedStatement query = connection.prepareStatement(
                "SELECT shape FROM suite_tables WHERE name = ?")) {
            query.setString(1, table);
            try (ResultSet result = query.executeQuery()) {
                if (result.next() && recorded.equals(result.getString(1))) {
                    return;
                }
            }
        }
        long start = System.nanoTime();
        boolean autoCommit = connection.getAutoCommit();
        connection.setAutoCommit(false);
        try (Statement statement = connection.createStatement();
                PreparedStatement record = connection.prepareStatement(
                        "INSERT INTO suite_tables VALUES (?, ?)");
                PreparedStatement forget = connection.prepareStatement(
                        "DELETE FROM suite_tables WHERE name = ?")) {
            statement.execute("DROP TABLE IF EXISTS " + table);
            for (String sql : build) {
                statement.execute(sql);
            }
            forget.setString(1, table);
            forget.executeUpdate();
            record.setString(1, table);
            record.setString(2, recorded);
            record.executeUpdate();
            connection.commit();
        } finally {
            connection.setAutoCommit(autoCommit);
        }
        System.out.printf("  made table %s (%s) in %.1f s%n", table, shape,
                (System.nanoTime() - start) / 1e9);
    }
}

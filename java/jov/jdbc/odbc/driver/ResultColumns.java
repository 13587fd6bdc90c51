package jov.jdbc.odbc.driver;

import java.sql.SQLException;
import java.util.HashMap;
import java.util.Locale;
import java.util.Map;

/**
 * The columns of one result as the library catalogued them, read once when the
 * query ran. Column numbers count from 1. An unsigned BIGINT column is read
 * as decimal text, the form in which the library holds it.
 */
final class ResultColumns {

    /**
     * The length MariaDB Connector/ODBC gives BIGINT UNSIGNED (a signed
     * BIGINT has 20): the only sign of unsignedness the library passes on.
     */
    private static final long MARIADB_UNSIGNED_BIGINT_LENGTH = 19;

    private final String[] names;
    private final int[] sqlTypes;
    private final long[] lengths;
    private final int[] precisions;
    private final int[] scales;
    private final int[] jdbcTypes;
    private final ValueKind[] kinds;
    private final boolean[] unsignedBigints;
    private Map<String, Integer> byLabel;

    ResultColumns(int count) {
        names = new String[count + 1];
        sqlTypes = new int[count + 1];
        lengths = new long[count + 1];
        precisions = new int[count + 1];
        scales = new int[count + 1];
        jdbcTypes = new int[count + 1];
        kinds = new ValueKind[count + 1];
        unsignedBigints = new boolean[count + 1];
    }

    void set(int column, String name, int sqlType, long length, int precision, int scale) {
        names[column] = name;
        sqlTypes[column] = sqlType;
        lengths[column] = length;
        precisions[column] = precision;
        scales[column] = scale;
        jdbcTypes[column] = SqlTypes.jdbcType(sqlType, length);
        kinds[column] = SqlTypes.kind(sqlType);
    }

    /** For MariaDB's results: marks its unsigned BIGINT columns, whose values pass 2^63 - 1. */
    void markMariaDbUnsignedBigints() {
        for (int c = 1; c <= count(); c++) {
            if (sqlTypes[c] == SqlTypes.SQL_BIGINT && lengths[c] == MARIADB_UNSIGNED_BIGINT_LENGTH) {
                unsignedBigints[c] = true;
                kinds[c] = ValueKind.DECIMAL;
            }
        }
    }

    boolean isUnsignedBigint(int column) {
        return unsignedBigints[column];
    }

    int count() {
        return names.length - 1;
    }

    /** Fails for a number outside 1..count. */
    void check(int column) throws SQLException {
        if (column < 1 || column > count()) {
            throw Errors.create("Column " + column + " is not in 1.." + count(), Errors.INVALID_COLUMN);
        }
    }

    /** The first column whose name equals the label, case ignored as JDBC asks. */
    int find(String label) throws SQLException {
        if (byLabel == null) {
            Map<String, Integer> map = new HashMap<>();
            for (int c = count(); c >= 1; c--) {
                map.put(names[c].toLowerCase(Locale.ROOT), c);
            }
            byLabel = map;
        }
        Integer column = label == null ? null : byLabel.get(label.toLowerCase(Locale.ROOT));
        if (column == null) {
            throw Errors.create("The result has no column " + label, Errors.INVALID_COLUMN);
        }
        return column;
    }

    String name(int column) {
        return names[column];
    }

    int sqlType(int column) {
        return sqlTypes[column];
    }

    long length(int column) {
        return lengths[column];
    }

    int precision(int column) {
        return precisions[column];
    }

    int scale(int column) {
        return scales[column];
    }

    int jdbcType(int column) {
        return jdbcTypes[column];
    }

    ValueKind kind(int column) {
        return kinds[column];
    }
}

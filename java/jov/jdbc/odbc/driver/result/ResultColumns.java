package jov.jdbc.odbc.driver.result;

import java.sql.SQLException;
import java.util.HashMap;
import java.util.Locale;
import java.util.Map;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
import jov.jdbc.odbc.driver.text.SqlTypes;
import jov.jdbc.odbc.driver.text.ValueKind;

/**
 * The columns of one result as the ODBC driver described them, read once when
 * the SQL ran. Column numbers count from 1. An unsigned BIGINT column is read
 * as decimal text, since its values pass 2^63 - 1.
 */
public final class ResultColumns {

    private final String[] names;
    private final int[] sqlTypes;
    private final long[] lengths;
    private final int[] scales;
    private final int[] jdbcTypes;
    private final ValueKind[] kinds;
    private final boolean[] unsignedBigints;
    private Map<String, Integer> byLabel;

    private ResultColumns(int count) {
        names = new String[count + 1];
        sqlTypes = new int[count + 1];
        lengths = new long[count + 1];
        scales = new int[count + 1];
        jdbcTypes = new int[count + 1];
        kinds = new ValueKind[count + 1];
        unsignedBigints = new boolean[count + 1];
    }

    /** From the fields OdbcNatives.describeColumns fills, one array per field. */
    public static ResultColumns described(Object[] fields) {
        String[] names = (String[]) fields[OdbcNatives.COLUMN_NAME];
        int[] types = (int[]) fields[OdbcNatives.COLUMN_SQL_TYPE];
        long[] sizes = (long[]) fields[OdbcNatives.COLUMN_SIZE];
        int[] digits = (int[]) fields[OdbcNatives.COLUMN_DIGITS];
        boolean[] unsigned = (boolean[]) fields[OdbcNatives.COLUMN_UNSIGNED];
        ResultColumns columns = new ResultColumns(names.length);
        for (int i = 0; i < names.length; i++) {
            int c = i + 1;
            columns.names[c] = names[i];
            columns.sqlTypes[c] = types[i];
            columns.lengths[c] = sizes[i];
            columns.scales[c] = digits[i];
            columns.jdbcTypes[c] = SqlTypes.jdbcType(types[i], sizes[i]);
            columns.kinds[c] = SqlTypes.kind(types[i]);
            if (types[i] == SqlTypes.SQL_BIGINT && unsigned[i]) {
                columns.unsignedBigints[c] = true;
                columns.kinds[c] = ValueKind.DECIMAL;
            }
        }
        return columns;
    }

    boolean isUnsignedBigint(int column) {
        return unsignedBigints[column];
    }

    public int count() {
        return names.length - 1;
    }

    /** Fails for a number outside 1..count. */
    public void check(int column) throws SQLException {
        if (column < 1 || column > count()) {
            throw Errors.create("Column " + column + " is not in 1.." + count(), Errors.INVALID_COLUMN);
        }
    }

    /** The first column whose name equals the label, case ignored as JDBC asks. */
    public int find(String label) throws SQLException {
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

    public long length(int column) {
        return lengths[column];
    }

    /** Digits of a number, characters of text: the column size. */
    int precision(int column) {
        long size = lengths[column];
        return size < 0 || size > Integer.MAX_VALUE ? 0 : (int) size;
    }

    int scale(int column) {
        return scales[column];
    }

    int jdbcType(int column) {
        return jdbcTypes[column];
    }

    public ValueKind kind(int column) {
        return kinds[column];
    }
}

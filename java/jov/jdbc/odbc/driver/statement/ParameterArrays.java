package jov.jdbc.odbc.driver.statement;

import java.sql.Types;
import java.util.List;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;

/**
 * The rows of a batch chunk as one array per parameter, bound in one call
 * each and executed at once. An array has one C type, so a parameter's rows
 * must be of one kind (NULLs join any kind) and are declared as the widest
 * SQL type among them (BIGINT over INTEGER over SMALLINT, DOUBLE over REAL,
 * the long forms of text and bytes over the short); rows that mix kinds, or
 * hold a value bound only alone (a stream, a decimal, a date...), make no
 * arrays, and the chunk runs row by row; so does a chunk whose arrays would
 * take more than {@link #MAX_BYTES} ({@link #TOTAL_COUNTED_MAX_BYTES} for a
 * driver that counts only an array's total).
 */
public final class ParameterArrays {

    /** Rows of one array execution: bounds what a batch holds in native memory at once. */
    static final int CHUNK = 1000;

    /**
     * Bytes a chunk's arrays may take at most, each row's slot as wide as the
     * parameter's longest value (a text's UTF-16 units counted at the 3 bytes
     * UTF-8 may need for one); a chunk beyond it runs row by row.
     */
    static final long MAX_BYTES = 16L << 20;
    /**
     * The same where the driver counts only an array's total: MariaDB
     * Connector/ODBC sends an array as one packet, and one beyond the
     * server's max_allowed_packet (1 MiB in older MySQL, 16 MiB in MariaDB)
     * ends the session ("Server has gone away"), where row by row the
     * batch would have passed.
     */
    static final long TOTAL_COUNTED_MAX_BYTES = 1L << 20;
    private static final int BYTES_PER_UNIT = 3;
    private static final int FIXED_BYTES = 8;

    /** Within a kind, a type listed earlier is the wider. */
    private static final int[] WIDEST_FIRST = {Types.BIGINT, Types.INTEGER, Types.SMALLINT, Types.DOUBLE,
        Types.REAL, Types.LONGVARCHAR, Types.VARCHAR, Types.LONGVARBINARY, Types.VARBINARY};

    private final Parameter.Plain[][] rows;
    private final int[] kinds;
    private final int[] sqlTypes;

    private ParameterArrays(Parameter.Plain[][] rows, int[] kinds, int[] sqlTypes) {
        this.rows = rows;
        this.kinds = kinds;
        this.sqlTypes = sqlTypes;
    }

    /** The chunk's arrays, or null when a parameter's rows cannot share one C type or would take more than maxBytes. */
    static ParameterArrays of(List<Parameter[]> chunk, long maxBytes) {
        int width = chunk.get(0).length;
        Parameter.Plain[][] rows = new Parameter.Plain[chunk.size()][];
        int[] kinds = new int[width];
        int[] sqlTypes = new int[width];
        long[] slots = new long[width];
        for (int r = 0; r < rows.length; r++) {
            Parameter[] row = chunk.get(r);
            rows[r] = new Parameter.Plain[width];
            for (int p = 0; p < width; p++) {
                if (row[p].arrayKind() == Parameter.ARRAY_NONE) {
                    return null;
                }
                Parameter.Plain value = (Parameter.Plain) row[p];
                rows[r][p] = value;
                slots[p] = Math.max(slots[p], slot(value));
                if (r == 0 || kinds[p] == Parameter.ARRAY_NULL) {
                    kinds[p] = value.kind;
                    sqlTypes[p] = value.sqlType;
                } else if (value.kind != Parameter.ARRAY_NULL) {
                    if (value.kind != kinds[p]) {
                        return null;
                    }
                    sqlTypes[p] = wider(sqlTypes[p], value.sqlType);
                }
            }
        }
        long rowBytes = 0;
        for (long slot : slots) {
            rowBytes += slot;
        }
        return rowBytes * rows.length > maxBytes ? null : new ParameterArrays(rows, kinds, sqlTypes);
    }

    /** Bytes of the value's slot in an array. */
    private static long slot(Parameter.Plain value) {
        if (value.value instanceof String) {
            return (long) ((String) value.value).length() * BYTES_PER_UNIT;
        }
        return value.value instanceof byte[] ? ((byte[]) value.value).length : FIXED_BYTES;
    }

    private static int wider(int a, int b) {
        for (int type : WIDEST_FIRST) {
            if (type == a || type == b) {
                return type;
            }
        }
        return a;
    }

    public int size() {
        return rows.length;
    }

    /** Binds every parameter's array; a status of OdbcNatives, and in failed[0] the parameter that failed. */
    public int bind(long statement, int[] failed) {
        int status = OdbcNatives.SUCCESS;
        for (int p = 0; p < kinds.length && status != OdbcNatives.ERROR; p++) {
            failed[0] = p + 1;
            status = bind(statement, p);
        }
        return status;
    }

    private int bind(long statement, int p) {
        int n = rows.length;
        boolean[] nulls = new boolean[n];
        for (int r = 0; r < n; r++) {
            nulls[r] = rows[r][p].value == null;
        }
        switch (kinds[p]) {
            case Parameter.ARRAY_LONG: {
                long[] values = new long[n];
                for (int r = 0; r < n; r++) {
                    values[r] = nulls[r] ? 0 : (Long) rows[r][p].value;
                }
                return OdbcNatives.bindLongArray(statement, p + 1, values, nulls, sqlTypes[p]);
            }
            case Parameter.ARRAY_DOUBLE: {
                double[] values = new double[n];
                for (int r = 0; r < n; r++) {
                    values[r] = nulls[r] ? 0 : (Double) rows[r][p].value;
                }
                return OdbcNatives.bindDoubleArray(statement, p + 1, values, nulls, sqlTypes[p]);
            }
            case Parameter.ARRAY_BYTES: {
                byte[][] values = new byte[n][];
                for (int r = 0; r < n; r++) {
                    values[r] = (byte[]) rows[r][p].value;
                }
                return OdbcNatives.bindBytesArray(statement, p + 1, values, sqlTypes[p]);
            }
            default: {
                // Text, or NULL in every row: NULLs are declared with the type the first one names.
                String[] values = new String[n];
                for (int r = 0; r < n; r++) {
                    values[r] = (String) rows[r][p].value;
                }
                return OdbcNatives.bindStringArray(statement, p + 1, values, sqlTypes[p]);
            }
        }
    }
}

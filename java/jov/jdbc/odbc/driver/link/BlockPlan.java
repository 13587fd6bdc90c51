package jov.jdbc.odbc.driver.link;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;

import jov.jdbc.odbc.driver.result.ResultColumns;
import jov.jdbc.odbc.driver.text.ValueKind;

/**
 * Which columns of a result are bound to a row array, how wide, and how many
 * rows a block holds. Any value can still be read per value, which is what
 * keeps every choice here a matter of speed only: a value longer than its
 * width is read whole again, so widths may be short, as long as the driver
 * lets a bound column be read per value (SQL_GD_BOUND, and SQL_GD_BLOCK in a
 * block of more than one row). A block of more than one row with columns read
 * per value needs SQL_GD_BLOCK; binding some columns and reading others per
 * value needs SQL_GD_ANY_COLUMN. Where the driver allows less, blocks have one
 * row, or nothing is bound and every value is read per value.
 */
final class BlockPlan {

    /** SQL_GETDATA_EXTENSIONS of SQLGetInfo and its bits. */
    static final int INFO_GETDATA_EXTENSIONS = 81;
    static final int GD_ANY_COLUMN = 1;
    static final int GD_BLOCK = 4;
    static final int GD_BOUND = 8;

    /** Text declared up to this many characters is bound whole; longer text binds a prefix. */
    private static final int WHOLE_TEXT_CHARS = 1024;
    /** Bytes a character may take, in UTF-8 and in UTF-16 alike, and a terminator's room. */
    private static final int CHARACTER_BYTES = 4;
    /** The prefix of longer text: most values of columns declared long are short. */
    private static final int TEXT_PREFIX_BYTES = 512;
    /** Binary data declared up to this many bytes is bound; longer (LOBs) is read per value. */
    private static final int WHOLE_BINARY_BYTES = 4096;
    /** Digits of a decimal that are bound as text: its sign, point and a leading zero fit beside them. */
    private static final int DECIMAL_DIGITS = 64;
    private static final int DECIMAL_EXTRA_CHARACTERS = 8;
    /** Room for the driver's text of any date, time or timestamp. */
    private static final int DATETIME_CHARACTERS = 64;
    /** Bytes a block aims at when the fetch size does not say, and the most a fetch size gets. */
    private static final int DEFAULT_BLOCK_BYTES = 256 * 1024;
    private static final int MAX_BLOCK_BYTES = 8 * 1024 * 1024;
    private static final int MAX_DEFAULT_ROWS = 1024;
    /** What a bound value costs beside its bytes: its length. */
    private static final int LENGTH_BYTES = 4;

    private final int[] fields;
    private final int rows;

    private BlockPlan(int[] fields, int rows) {
        this.fields = fields;
        this.rows = rows;
    }

    /** Nothing bound, one row a block: every value per value, as any driver allows. */
    static BlockPlan unbound(int columns) {
        return new BlockPlan(new int[columns * 2], 1);
    }

    /**
     * The plan for a result: fetchSize rows a block when above 0, else what
     * fits in a block of default size; one row for a scrollable result, whose
     * moves are each one fetch; never more than maxRows when above 0.
     */
    static BlockPlan of(ResultColumns columns, int extensions, int fetchSize, long maxRows,
            boolean scrollable) {
        int count = columns.count();
        int[] fields = new int[count * 2];
        boolean reread = (extensions & GD_BOUND) != 0;
        int rowBytes = 0;
        int boundCount = 0;
        boolean variableBound = false;
        for (int c = 1; c <= count; c++) {
            int width = width(columns, c, reread);
            int as = width == 0 ? BOUND_NONE : boundAs(columns.kind(c));
            fields[(c - 1) * 2] = as;
            fields[(c - 1) * 2 + 1] = width;
            rowBytes += width + (width == 0 ? 0 : LENGTH_BYTES);
            boundCount += width == 0 ? 0 : 1;
            variableBound |= as == BOUND_TEXT || as == BOUND_BINARY;
        }
        boolean perValue = boundCount < count || variableBound;
        if (boundCount == 0 || boundCount < count && (extensions & GD_ANY_COLUMN) == 0) {
            return unbound(count);
        }
        int rows = scrollable || perValue && (extensions & GD_BLOCK) == 0 ? 1 : rows(rowBytes, fetchSize);
        return new BlockPlan(fields, maxRows > 0 && maxRows < rows ? (int) maxRows : rows);
    }

    private static int rows(int rowBytes, int fetchSize) {
        int most = Math.max(1, MAX_BLOCK_BYTES / rowBytes);
        if (fetchSize > 0) {
            return Math.min(fetchSize, most);
        }
        return Math.max(1, Math.min(MAX_DEFAULT_ROWS, DEFAULT_BLOCK_BYTES / rowBytes));
    }

    private static int boundAs(ValueKind kind) {
        switch (kind) {
            case INTEGER:
                return BOUND_INTEGER;
            case FLOATING:
                return BOUND_DOUBLE;
            case BINARY:
                return BOUND_BINARY;
            default:
                return BOUND_TEXT;
        }
    }

    /**
     * Bytes a row of the column takes bound, 0 for a column read per value.
     * Text is bound in either charset: the library hands Windows-31J text
     * out as UTF-8 (a character's one or two bytes become at most three),
     * which fits a width counted at four bytes a character; a value that
     * outgrows its width is read whole, as a cut one is. Decimals and dates
     * are ASCII in both.
     */
    private static int width(ResultColumns columns, int column, boolean reread) {
        long size = columns.length(column);
        switch (columns.kind(column)) {
            case INTEGER:
            case FLOATING:
                return 8;
            case TEXT:
                if (!reread) {
                    return 0;
                }
                return size > 0 && size <= WHOLE_TEXT_CHARS ? (int) size * CHARACTER_BYTES + CHARACTER_BYTES
                        : TEXT_PREFIX_BYTES;
            case DECIMAL:
                return reread && size > 0 && size <= DECIMAL_DIGITS
                        ? ((int) size + DECIMAL_EXTRA_CHARACTERS) * 2 : 0;
            case DATETIME:
                return reread ? DATETIME_CHARACTERS * 2 : 0;
            case BINARY:
                return reread && size > 0 && size <= WHOLE_BINARY_BYTES ? (int) size : 0;
            default:
                return 0;
        }
    }

    int columns() {
        return fields.length / 2;
    }

    int rows() {
        return rows;
    }

    int[] fields() {
        return fields;
    }

    int boundAs(int column) {
        return fields[(column - 1) * 2];
    }

    int width(int column) {
        return fields[(column - 1) * 2 + 1];
    }
}

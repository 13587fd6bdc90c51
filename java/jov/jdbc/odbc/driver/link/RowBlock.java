package jov.jdbc.odbc.driver.link;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;

import java.nio.ByteBuffer;
import java.nio.ByteOrder;
import java.nio.charset.StandardCharsets;
import jov.jdbc.odbc.driver.text.Utf8;

/**
 * The rows of one result that the last native fetch brought, as the natives
 * laid them out (see {@link jov.jdbc.odbc.driver.odbc.OdbcNatives#bindBlock}),
 * and the current row among them. Belongs to one cursor and is reached only
 * through it, under its link's lock; it holds no native memory, so nothing
 * of it outlives its cursor's statement but Java arrays.
 *
 * <p>Only a value bound in the form a getter asks for is read here: text as
 * text, binary (and UTF-8 text) as bytes, numbers as numbers. Any other
 * form, a column not bound and a value longer than its width are read per
 * value from the driver, positioned on the row first in a block of more than
 * one row.
 */
final class RowBlock {

    private static final int FIXED_BYTES = 8;

    private final int rows;
    /** Per column (from 1): its index among the bound columns, or -1. */
    private final int[] boundIndex;
    private final int[] boundAs;
    private final int[] widths;
    private final int[] offsets;
    private final boolean utf8;
    /** Bound text is the driver's own bytes (not Windows-31J handed out as UTF-8), so getBytes may read it. */
    private final boolean rawText;
    final byte[] data;
    private final ByteBuffer numbers;
    final int[] lengths;
    final int[] fetched = new int[1];
    /** Row of the block the current row is (from 0). */
    private int at;
    /** Row the driver was positioned on for per-value reads (from 0), or -1. */
    private int positioned = -1;

    RowBlock(BlockPlan plan, int[] answer, boolean rawText) {
        this.rawText = rawText;
        rows = answer[BLOCK_ROWS];
        int count = plan.columns();
        boundIndex = new int[count + 1];
        boundAs = new int[count + 1];
        widths = new int[count + 1];
        offsets = new int[count + 1];
        int bound = 0;
        int offset = 0;
        for (int c = 1; c <= count; c++) {
            boundAs[c] = plan.boundAs(c);
            boundIndex[c] = boundAs[c] == BOUND_NONE ? -1 : bound++;
            widths[c] = boundAs[c] == BOUND_INTEGER || boundAs[c] == BOUND_DOUBLE ? FIXED_BYTES : plan.width(c);
            offsets[c] = offset;
            offset += boundAs[c] == BOUND_NONE ? 0 : widths[c] * rows;
        }
        utf8 = answer[BLOCK_UNIT_BYTES] == 1;
        data = new byte[answer[BLOCK_DATA_BYTES]];
        numbers = ByteBuffer.wrap(data).order(ByteOrder.nativeOrder());
        lengths = new int[bound * rows];
    }

    /** For a new result bound alike: no row fetched yet. */
    RowBlock reused() {
        fetched[0] = 0;
        at = 0;
        positioned = -1;
        return this;
    }

    /** After a fetch: on its first row. */
    void arrived() {
        at = 0;
        positioned = -1;
    }

    /** Moves to the next row fetched: false at the block's end. */
    boolean advance() {
        if (at + 1 >= fetched[0]) {
            return false;
        }
        at++;
        return true;
    }

    /**
     * The row (from 1) the driver must be positioned on before a per-value
     * read, or 0 when it already is or the block has one row; notes it as done.
     */
    int positionNeeded() {
        if (rows == 1 || positioned == at) {
            return 0;
        }
        positioned = at;
        return at + 1;
    }

    private int length(int column) {
        return lengths[boundIndex[column] * rows + at];
    }

    private int offset(int column) {
        return offsets[column] + at * widths[column];
    }

    /** Whether the current row's value of the column is here as the given BOUND_* form. */
    private boolean holds(int column, int as) {
        return column < boundAs.length && boundAs[column] == as && length(column) != LENGTH_CUT;
    }

    boolean holdsText(int column) {
        return holds(column, BOUND_TEXT);
    }

    boolean holdsBytes(int column) {
        return holds(column, BOUND_BINARY) || (utf8 && rawText && holds(column, BOUND_TEXT));
    }

    boolean holdsInteger(int column) {
        return holds(column, BOUND_INTEGER);
    }

    boolean holdsDouble(int column) {
        return holds(column, BOUND_DOUBLE);
    }

    boolean isNull(int column) {
        return length(column) == LENGTH_NULL;
    }

    /** Of a column {@link #holdsText}: null for SQL NULL. */
    String text(int column) {
        int length = length(column);
        if (length == LENGTH_NULL) {
            return null;
        }
        return utf8 ? Utf8.decode(data, offset(column), length)
                : new String(data, offset(column), length, StandardCharsets.UTF_16LE);
    }

    /** Of a column {@link #holdsBytes}: null for SQL NULL. */
    byte[] bytes(int column) {
        int length = length(column);
        if (length == LENGTH_NULL) {
            return null;
        }
        byte[] bytes = new byte[length];
        System.arraycopy(data, offset(column), bytes, 0, length);
        return bytes;
    }

    /** Of a column {@link #holdsInteger}, SQL NULL aside. */
    long integer(int column) {
        return numbers.getLong(offset(column));
    }

    /** Of a column {@link #holdsDouble}, SQL NULL aside. */
    double floating(int column) {
        return numbers.getDouble(offset(column));
    }
}

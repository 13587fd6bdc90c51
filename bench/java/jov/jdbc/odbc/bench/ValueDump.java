package jov.jdbc.odbc.bench;

import java.io.BufferedOutputStream;
import java.io.IOException;
import java.io.OutputStream;
import java.nio.file.Files;
import java.nio.file.Path;

/**
 * A variant's dump file: every value as UTF-16LE, a tab after each value but
 * the last of its row, a newline after each row. Values come row by row, each
 * row's columns 1 to columns in order; it counts what it wrote.
 */
final class ValueDump implements AutoCloseable {

    private final OutputStream out;
    private final int columns;
    private long rows;
    private long lengthSum;

    ValueDump(Path file, int columns) throws IOException {
        this.out = new BufferedOutputStream(Files.newOutputStream(file), 1 << 16);
        this.columns = columns;
    }

    /** Writes the value of column (1-based); a null is the empty text. */
    void value(int column, String value) throws IOException {
        String text = value == null ? "" : value;
        lengthSum += text.length();
        Utf16.write(out, text);
        if (column < columns) {
            Utf16.write(out, "\t");
        } else {
            Utf16.write(out, "\n");
            rows++;
        }
    }

    /** What was written, as an untimed pass. */
    PassResult result() {
        return new PassResult(0, 0, rows, rows * columns, lengthSum);
    }

    @Override
    public void close() throws IOException {
        out.close();
    }
}

package jov.jdbc.odbc.driver.statement;

import java.io.ByteArrayOutputStream;
import java.io.IOException;
import java.io.InputStream;
import java.io.Reader;
import java.sql.SQLException;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * Stream parameters read whole into memory when they are set, since JDBC
 * lets the caller reuse the stream afterwards. A length below 0 means "to
 * the end".
 */
final class Streams {

    private static final int BUFFER_CHARS = 8192;
    private static final int BUFFER_BYTES = 8192;

    private Streams() {
    }

    static byte[] bytes(InputStream in, long length) throws SQLException {
        try {
            byte[] all = readUpTo(in, length < 0 ? Long.MAX_VALUE : checkedLength(length));
            if (length >= 0 && all.length < length) {
                throw shortStream(length, all.length);
            }
            return all;
        } catch (IOException e) {
            throw Errors.create("Reading the stream parameter failed", Errors.GENERAL, e);
        }
    }

    /** Up to {@code limit} bytes, fewer only where the stream ends first. */
    private static byte[] readUpTo(InputStream in, long limit) throws IOException {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        byte[] buffer = new byte[BUFFER_BYTES];
        while (out.size() < limit) {
            int read = in.read(buffer, 0, (int) Math.min(buffer.length, limit - out.size()));
            if (read < 0) {
                break;
            }
            out.write(buffer, 0, read);
        }
        return out.toByteArray();
    }

    static String text(Reader in, long length) throws SQLException {
        StringBuilder text = new StringBuilder();
        char[] buffer = new char[BUFFER_CHARS];
        long wanted = length < 0 ? Long.MAX_VALUE : length;
        try {
            while (text.length() < wanted) {
                int read = in.read(buffer, 0, (int) Math.min(buffer.length, wanted - text.length()));
                if (read < 0) {
                    break;
                }
                text.append(buffer, 0, read);
            }
        } catch (IOException e) {
            throw Errors.create("Reading the stream parameter failed", Errors.GENERAL, e);
        }
        if (length >= 0 && text.length() < length) {
            throw shortStream(length, text.length());
        }
        return text.toString();
    }

    private static int checkedLength(long length) throws SQLException {
        if (length > Integer.MAX_VALUE - 8) {
            throw Errors.create("Stream length " + length + " is too long", Errors.INVALID_ARGUMENT);
        }
        return (int) length;
    }

    private static SQLException shortStream(long length, long read) {
        return Errors.create("The stream ended after " + read + " of " + length + " announced",
                "22001");
    }
}

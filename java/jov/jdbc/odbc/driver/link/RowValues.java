package jov.jdbc.odbc.driver.link;

import java.nio.charset.StandardCharsets;
import java.sql.SQLException;

/**
 * A value of the current row in the form another getter asks for than the
 * one it was first read in (ODBC gives each value once): text and numbers
 * as their decimal text, text as its UTF-8 bytes. {@link OdbcCursor#NULL}
 * is SQL NULL in every form.
 */
final class RowValues {

    private RowValues() {
    }

    static String text(Object value) {
        if (value == OdbcCursor.NULL) {
            return null;
        }
        if (value instanceof byte[]) {
            return new String((byte[]) value, StandardCharsets.UTF_8);
        }
        return value.toString();
    }

    static byte[] bytes(Object value) {
        if (value == OdbcCursor.NULL) {
            return null;
        }
        return value instanceof byte[] ? (byte[]) value : value.toString().getBytes(StandardCharsets.UTF_8);
    }

    static boolean integer(Object value, long[] into, int column) throws SQLException {
        if (value == OdbcCursor.NULL) {
            into[0] = 0;
            return false;
        }
        if (value instanceof Number) {
            into[0] = ((Number) value).longValue();
            return true;
        }
        try {
            into[0] = Long.parseLong(text(value).trim());
            return true;
        } catch (NumberFormatException e) {
            throw Errors.create("Value '" + text(value) + "' of column " + column + " is not an integer",
                    Errors.INVALID_VALUE, e);
        }
    }

    static boolean floating(Object value, double[] into, int column) throws SQLException {
        if (value == OdbcCursor.NULL) {
            into[0] = 0;
            return false;
        }
        if (value instanceof Number) {
            into[0] = ((Number) value).doubleValue();
            return true;
        }
        try {
            into[0] = Double.parseDouble(text(value).trim());
            return true;
        } catch (NumberFormatException e) {
            throw Errors.create("Value '" + text(value) + "' of column " + column + " is not a number",
                    Errors.INVALID_VALUE, e);
        }
    }
}

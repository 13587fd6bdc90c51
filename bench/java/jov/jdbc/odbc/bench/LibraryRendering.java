package jov.jdbc.odbc.bench;

import java.math.BigDecimal;
import java.math.RoundingMode;
import java.sql.Types;
import java.util.function.UnaryOperator;

/**
 * The text the library's natives give for a value the JDBC driver's getString
 * gave, for comparing the two value by value. The driver's text and the
 * library's are the same for text, integers and decimals; they differ by
 * design for the rest: the driver gives a double as Double.toString and a
 * timestamp in the database driver's own yyyy-mm-dd form with its fractions,
 * the library a double with six decimals, trailing zeros trimmed to one, and
 * a timestamp in its default date style, yy/mm/dd hh:mm:ss. The empty text
 * (a NULL in the dumps) stays empty.
 */
final class LibraryRendering {

    private static final int DECIMALS = 6;
    /** "yyyy-mm-dd hh:mm:ss", the part of the driver's text the library keeps. */
    private static final int TIMESTAMP_LENGTH = 19;

    private LibraryRendering() {
    }

    /** The rendering for a column of the JDBC type. */
    static UnaryOperator<String> forType(int jdbcType) {
        return switch (jdbcType) {
            case Types.REAL, Types.FLOAT, Types.DOUBLE -> LibraryRendering::floating;
            case Types.TIMESTAMP -> LibraryRendering::timestamp;
            default -> UnaryOperator.identity();
        };
    }

    private static String floating(String text) {
        if (text.isEmpty()) {
            return text;
        }
        double value = Double.parseDouble(text);
        // Exact binary value, rounded as printf rounds it.
        String fixed = new BigDecimal(value).setScale(DECIMALS, RoundingMode.HALF_EVEN)
                .toPlainString();
        if (value == 0 && 1 / value < 0) {
            fixed = "-" + fixed;
        }
        int end = fixed.length();
        while (fixed.charAt(end - 1) == '0' && fixed.charAt(end - 2) != '.') {
            end--;
        }
        return fixed.substring(0, end);
    }

    private static String timestamp(String text) {
        if (text.length() < TIMESTAMP_LENGTH) {
            return text;
        }
        return text.substring(2, 4) + '/' + text.substring(5, 7) + '/' + text.substring(8, 10)
                + text.substring(10, TIMESTAMP_LENGTH);
    }
}

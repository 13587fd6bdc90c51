package jov.jdbc.odbc.driver.text;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.OffsetDateTime;
import java.time.ZonedDateTime;
import java.time.format.DateTimeParseException;
import java.util.Arrays;
import java.util.HashSet;
import java.util.Locale;
import java.util.Set;

/**
 * The conversions of setObject with a target type: a Java value read as the
 * value of one SQL type, checked, never guessed. A text that is no number is
 * 22018, a number outside the target's range 22003, a text that is no date
 * 22007; a class that has no reading as the target 07006, the state ODBC
 * gives a conversion it does not support.
 */
public final class Conversions {

    private static final Set<String> TRUE_TEXTS =
            new HashSet<>(Arrays.asList("true", "t", "yes", "y", "on", "1"));
    private static final Set<String> FALSE_TEXTS =
            new HashSet<>(Arrays.asList("false", "f", "no", "n", "off", "0"));
    private static final int TEXT_DATE_LENGTH = "yyyy-mm-dd".length();

    private Conversions() {
    }

    public static SQLException cannotConvert(Object value, String target) {
        return new SQLException("A " + value.getClass().getName() + " cannot be written as " + target, "07006");
    }

    /** Booleans; the numbers 0 and 1; the texts of TRUE_TEXTS and FALSE_TEXTS, in any case. */
    public static boolean toBoolean(Object value) throws SQLException {
        if (value instanceof Boolean) {
            return (Boolean) value;
        }
        if (value instanceof String || value instanceof Character) {
            String text = value.toString().trim().toLowerCase(Locale.ROOT);
            if (TRUE_TEXTS.contains(text) || FALSE_TEXTS.contains(text)) {
                return TRUE_TEXTS.contains(text);
            }
            throw new SQLDataException("Not a boolean: " + value, "22018");
        }
        if (value instanceof Number) {
            BigDecimal number = toBigDecimal(value);
            if (number.signum() == 0 || number.compareTo(BigDecimal.ONE) == 0) {
                return number.signum() != 0;
            }
            throw new SQLDataException("Only 0 and 1 are booleans, not " + value, "22018");
        }
        throw cannotConvert(value, "a boolean");
    }

    /** A whole number in [min, max]; a fraction is refused, not cut. */
    public static long toIntegral(Object value, long min, long max) throws SQLException {
        if (value instanceof Long || value instanceof Integer || value instanceof Short || value instanceof Byte) {
            return inRange(BigDecimal.valueOf(((Number) value).longValue()), min, max);
        }
        BigDecimal number = toBigDecimal(value);
        if (number.signum() != 0 && number.stripTrailingZeros().scale() > 0) {
            throw new SQLDataException("Not a whole number: " + value, "22018");
        }
        return inRange(number, min, max);
    }

    private static long inRange(BigDecimal number, long min, long max) throws SQLException {
        if (number.compareTo(BigDecimal.valueOf(min)) < 0 || number.compareTo(BigDecimal.valueOf(max)) > 0) {
            // Scientific where the exponent is large: the plain text of 1e999999999 fills the heap.
            throw new SQLDataException(number + " is outside " + min + " to " + max, "22003");
        }
        return number.longValueExact();
    }

    /** Numbers as they are, texts as Double.parseDouble reads them, booleans as 1 and 0. */
    public static double toDouble(Object value) throws SQLException {
        if (value instanceof Number) {
            return ((Number) value).doubleValue();
        }
        if (value instanceof Boolean) {
            return (Boolean) value ? 1 : 0;
        }
        if (value instanceof String) {
            try {
                return Double.parseDouble(((String) value).trim());
            } catch (NumberFormatException e) {
                throw new SQLDataException("Not a number: " + value, "22018", e);
            }
        }
        throw cannotConvert(value, "a floating number");
    }

    /** Exact decimals; a double by its shortest text, so 0.1 stays 0.1. */
    public static BigDecimal toBigDecimal(Object value) throws SQLException {
        if (value instanceof BigDecimal) {
            return (BigDecimal) value;
        }
        if (value instanceof BigInteger) {
            return new BigDecimal((BigInteger) value);
        }
        if (value instanceof Double || value instanceof Float) {
            double d = ((Number) value).doubleValue();
            if (!Double.isFinite(d)) {
                throw new SQLDataException(value + " is no decimal number", "22003");
            }
            return new BigDecimal(value.toString());
        }
        if (value instanceof Long || value instanceof Integer || value instanceof Short || value instanceof Byte) {
            return BigDecimal.valueOf(((Number) value).longValue());
        }
        if (value instanceof Number) {
            return otherNumber((Number) value);
        }
        if (value instanceof Boolean) {
            return (Boolean) value ? BigDecimal.ONE : BigDecimal.ZERO;
        }
        if (value instanceof String) {
            try {
                return new BigDecimal(((String) value).trim());
            } catch (NumberFormatException e) {
                throw new SQLDataException("Not a number: " + value, "22018", e);
            }
        }
        throw cannotConvert(value, "a number");
    }

    /**
     * A Number of another class (AtomicLong, a library's own decimal...) by
     * its text where that is a decimal, else by its double: never by
     * longValue, which drops a fraction.
     */
    private static BigDecimal otherNumber(Number value) throws SQLException {
        try {
            return new BigDecimal(value.toString().trim());
        } catch (NumberFormatException e) {
            double d = value.doubleValue();
            if (!Double.isFinite(d)) {
                throw new SQLDataException(value + " is no decimal number", "22003", e);
            }
            return new BigDecimal(Double.toString(d));
        }
    }

    public static LocalDate toLocalDate(Object value) throws SQLException {
        if (value instanceof java.sql.Date) {
            return ZonedValues.local((java.sql.Date) value).toLocalDate();
        }
        if (value instanceof LocalDate) {
            return (LocalDate) value;
        }
        if (value instanceof String) {
            return parse(() -> LocalDate.parse(((String) value).trim()), value);
        }
        if (value instanceof Time) {
            throw cannotConvert(value, "a date");
        }
        return toLocalDateTime(value).toLocalDate();
    }

    public static LocalTime toLocalTime(Object value) throws SQLException {
        if (value instanceof Time) {
            return ((Time) value).toLocalTime();
        }
        if (value instanceof LocalTime) {
            return (LocalTime) value;
        }
        if (value instanceof String) {
            return parse(() -> LocalTime.parse(((String) value).trim()), value);
        }
        if (value instanceof java.sql.Date || value instanceof LocalDate) {
            throw cannotConvert(value, "a time");
        }
        return toLocalDateTime(value).toLocalTime();
    }

    /** Timestamps, dates at midnight, texts as "yyyy-mm-dd[ hh:mm[:ss[.f]]]" with a blank or a T. */
    public static LocalDateTime toLocalDateTime(Object value) throws SQLException {
        if (value instanceof Timestamp) {
            return ZonedValues.local((Timestamp) value).withNano(((Timestamp) value).getNanos());
        }
        if (value instanceof java.sql.Date) {
            return ZonedValues.local((java.sql.Date) value).toLocalDate().atStartOfDay();
        }
        if (value instanceof Time) {
            throw cannotConvert(value, "a timestamp");
        }
        if (value instanceof java.util.Date) {
            return ZonedValues.local((java.util.Date) value);
        }
        if (value instanceof LocalDateTime) {
            return (LocalDateTime) value;
        }
        if (value instanceof LocalDate) {
            return ((LocalDate) value).atStartOfDay();
        }
        if (value instanceof OffsetDateTime) {
            return ((OffsetDateTime) value).toLocalDateTime();
        }
        if (value instanceof ZonedDateTime) {
            return ((ZonedDateTime) value).toLocalDateTime();
        }
        if (value instanceof String) {
            String text = ((String) value).trim();
            if (text.length() == TEXT_DATE_LENGTH) {
                return parse(() -> LocalDate.parse(text).atStartOfDay(), value);
            }
            return parse(() -> LocalDateTime.parse(text.replace(' ', 'T')), value);
        }
        throw cannotConvert(value, "a timestamp");
    }

    private interface Parser<T> {
        T parse();
    }

    private static <T> T parse(Parser<T> parser, Object text) throws SQLException {
        try {
            return parser.parse();
        } catch (DateTimeParseException e) {
            throw new SQLDataException("Not a date or time: " + text, "22007", e);
        }
    }
}

package jov.jdbc.odbc.driver;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.Time;
import java.sql.Timestamp;
import java.sql.Types;
import java.time.Instant;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.OffsetDateTime;
import java.time.ZoneOffset;
import java.time.ZonedDateTime;
import java.time.format.DateTimeParseException;
import java.util.Locale;

/**
 * SQL literals for the values of a prepared statement, one function per Java
 * type, each answering text that the database reads back as exactly that
 * value. This is the driver's only defence against injection: every text a
 * caller gives ends up between quotes that only it could close.
 *
 * <p>Text crosses to the database in Windows-31J. There U+00A5 (yen sign)
 * becomes the byte 0x5C, a backslash, on Linux (glibc's CP932) and on
 * Windows (the code page's best fit) alike; it is the only character outside
 * ASCII that either conversion turns into a quote or a backslash, and no
 * double-byte character ends in a quote byte. So wherever a backslash is
 * escaped, a yen sign is escaped too. A value with a yen sign is stored as a
 * backslash: the conversion, not this class, decides that.
 *
 * <p>PostgreSQL strings holding a backslash are written as E'...' strings,
 * which read the same whatever {@code standard_conforming_strings} says now
 * or after a later SET; bytes likewise. Dates and times are the ODBC escapes
 * {d ...}, {t ...} and {ts ...}, which both drivers of the rig rewrite for
 * their database.
 *
 * <p>Failures are SQLExceptions of the fitting subclass: a value that cannot
 * be written is an {@link SQLDataException} (class 22), a type this driver
 * cannot write an {@link SQLFeatureNotSupportedException} (0A000).
 */
final class Literals {

    private static final char YEN_SIGN = '\u00A5';
    private static final char[] HEX = "0123456789ABCDEF".toCharArray();
    private static final int MIN_YEAR = 1;
    private static final int MAX_YEAR = 9999;
    private static final long MILLIS_PER_SECOND = 1000;
    private static final int NANOS_PER_MILLI = 1_000_000;
    /** PostgreSQL's numeric, the widest of the databases: digits before and after the point. */
    private static final int MAX_INTEGER_DIGITS = 131072;
    private static final int MAX_FRACTION_DIGITS = 16383;
    /** Digits of a refused number shown in the message, which must stay short whatever its exponent. */
    private static final java.math.MathContext SHOWN_DIGITS = new java.math.MathContext(20);

    private Literals() {
    }

    /** The SQL NULL. */
    static String nul() {
        return "NULL";
    }

    /**
     * A quoted string. U+0000 is refused (22021): the statement crosses as a
     * NUL-terminated text and would be cut there.
     */
    static String string(String value, SqlDialect dialect) throws SQLException {
        if (value == null) {
            return nul();
        }
        boolean escapeBackslash = dialect.backslashEscapes() || dialect.database() == SqlDialect.Database.POSTGRESQL;
        boolean hasBackslash = false;
        boolean plain = true;
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            if (c == '\0') {
                throw new SQLDataException("A text parameter holds the character U+0000 at index " + i
                        + ", which cannot be sent", "22021");
            }
            if (c == '\\' || c == YEN_SIGN) {
                hasBackslash = true;
                plain &= !escapeBackslash;
            } else if (c == '\'') {
                plain = false;
            }
        }
        if (plain) {
            return "'" + value + "'";
        }
        boolean backslashes = escapeBackslash && hasBackslash;
        StringBuilder literal = new StringBuilder(value.length() + 8);
        if (backslashes && dialect.database() == SqlDialect.Database.POSTGRESQL) {
            literal.append('E');
        }
        literal.append('\'');
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            if (c == '\'') {
                literal.append('\'');
            } else if (backslashes && (c == '\\' || c == YEN_SIGN)) {
                // "\¥" is one backslash after the conversion, and one yen sign where a text keeps it.
                literal.append('\\');
            }
            literal.append(c);
        }
        return literal.append('\'').toString();
    }

    /** Bytes as the database's hex literal. */
    static String bytes(byte[] value, SqlDialect dialect) {
        if (value == null) {
            return nul();
        }
        boolean pg = dialect.database() == SqlDialect.Database.POSTGRESQL;
        StringBuilder literal = new StringBuilder(value.length * 2 + 16);
        literal.append(pg ? "E'\\\\x" : "X'");
        for (byte b : value) {
            literal.append(HEX[(b >> 4) & 0xF]).append(HEX[b & 0xF]);
        }
        return literal.append(pg ? "'::bytea" : "'").toString();
    }

    static String bool(boolean value, SqlDialect dialect) {
        if (dialect.database() == SqlDialect.Database.POSTGRESQL) {
            return value ? "TRUE" : "FALSE";
        }
        return value ? "1" : "0";
    }

    static String number(long value) {
        return Long.toString(value);
    }

    /**
     * A decimal in plain digits, refused (22003) beyond the widest numeric a
     * database of the driver holds, PostgreSQL's: 131072 digits before the
     * point, 16383 after. So no exponent a caller gives makes a text longer
     * than that. Zeros past the last digit that matters are dropped when the
     * scale alone passes a bound (0E+999999999 is 0).
     */
    static String number(BigDecimal value) throws SQLException {
        return value == null ? nul() : plain(value);
    }

    private static String plain(BigDecimal value) throws SQLException {
        // Stripping costs a division per zero: only where the scale alone is out of bounds.
        BigDecimal written = value.scale() > MAX_FRACTION_DIGITS || value.scale() < -MAX_INTEGER_DIGITS
                ? value.stripTrailingZeros() : value;
        if ((long) written.precision() - written.scale() > MAX_INTEGER_DIGITS
                || written.scale() > MAX_FRACTION_DIGITS) {
            throw new SQLDataException("The number " + value.round(SHOWN_DIGITS)
                    + " is beyond what an SQL numeric holds (" + MAX_INTEGER_DIGITS + " digits before the point, "
                    + MAX_FRACTION_DIGITS + " after)", "22003");
        }
        return written.toPlainString();
    }

    static String number(BigInteger value) {
        return value == null ? nul() : value.toString();
    }

    /**
     * A double in the shortest decimal text that reads back as the same
     * double. NaN and the infinities only where the database has a literal:
     * PostgreSQL's 'NaN'::float8 and its kin, SQLite's 9e999 for infinity;
     * elsewhere they are refused (22003).
     */
    static String number(double value, SqlDialect dialect) throws SQLException {
        if (Double.isFinite(value)) {
            return Double.toString(value);
        }
        return nonFinite(Double.toString(value), "float8", dialect);
    }

    /** A float as its own shortest text, so 0.1f is written 0.1. */
    static String number(float value, SqlDialect dialect) throws SQLException {
        if (Float.isFinite(value)) {
            return Float.toString(value);
        }
        return nonFinite(Float.toString(value), "float4", dialect);
    }

    private static String nonFinite(String text, String pgType, SqlDialect dialect) throws SQLException {
        switch (dialect.database()) {
            case POSTGRESQL:
                return "'" + text + "'::" + pgType;
            case SQLITE:
                if (!text.equals("NaN")) {
                    return text.startsWith("-") ? "-9e999" : "9e999";
                }
                break;
            default:
                break;
        }
        throw new SQLDataException("The database has no literal for " + text, "22003");
    }

    /** {d 'yyyy-mm-dd'} of the date's fields in the JVM's time zone, as java.sql.Date itself reads (BC kept). */
    static String date(java.sql.Date value) throws SQLException {
        return value == null ? nul() : date(ZonedValues.local(value).toLocalDate());
    }

    static String date(LocalDate value) throws SQLException {
        if (value == null) {
            return nul();
        }
        return "{d '" + dateText(value) + "'}";
    }

    /** {t 'hh:mm:ss[.fff]'}, the milliseconds a java.sql.Time may carry kept (toLocalTime drops them). */
    static String time(Time value) {
        if (value == null) {
            return nul();
        }
        int millis = (int) Math.floorMod(value.getTime(), MILLIS_PER_SECOND);
        return time(value.toLocalTime().withNano(millis * NANOS_PER_MILLI));
    }

    /** {t 'hh:mm:ss[.fffffffff]'}, the fraction only when there is one. */
    static String time(LocalTime value) {
        if (value == null) {
            return nul();
        }
        return "{t '" + timeText(value) + "'}";
    }

    /** {ts 'yyyy-mm-dd hh:mm:ss[.fffffffff]'} with every nanosecond kept. */
    static String timestamp(Timestamp value) throws SQLException {
        return value == null ? nul() : timestamp(ZonedValues.local(value).withNano(value.getNanos()));
    }

    static String timestamp(LocalDateTime value) throws SQLException {
        if (value == null) {
            return nul();
        }
        return "{ts '" + dateText(value.toLocalDate()) + " " + timeText(value.toLocalTime()) + "'}";
    }

    /**
     * A point in time with its offset. ODBC has no escape for it: PostgreSQL
     * gets a timestamptz, the others the ISO text, which SQLite's date
     * functions read.
     */
    static String timestamp(OffsetDateTime value, SqlDialect dialect) throws SQLException {
        if (value == null) {
            return nul();
        }
        String offset = value.getOffset().equals(ZoneOffset.UTC) ? "+00:00" : value.getOffset().getId();
        String literal = "'" + dateText(value.toLocalDate()) + " " + timeText(value.toLocalTime()) + offset + "'";
        return dialect.database() == SqlDialect.Database.POSTGRESQL ? literal + "::timestamptz" : literal;
    }

    private static String dateText(LocalDate date) throws SQLException {
        if (date.getYear() < MIN_YEAR || date.getYear() > MAX_YEAR) {
            throw new SQLDataException("The date " + date + " is outside the years 1 to 9999 that SQL dates hold",
                    "22008");
        }
        return String.format(Locale.ROOT, "%04d-%02d-%02d", date.getYear(), date.getMonthValue(),
                date.getDayOfMonth());
    }

    private static String timeText(LocalTime time) {
        String text = String.format(Locale.ROOT, "%02d:%02d:%02d", time.getHour(), time.getMinute(),
                time.getSecond());
        int nanos = time.getNano();
        if (nanos == 0) {
            return text;
        }
        String fraction = String.format(Locale.ROOT, "%09d", nanos);
        int end = fraction.length();
        while (fraction.charAt(end - 1) == '0') {
            end--;
        }
        return text + "." + fraction.substring(0, end);
    }

    /**
     * A literal for {@code value} chosen by its class, as setObject without a
     * target type. A class this driver does not know is refused (0A000)
     * rather than written through its toString.
     */
    static String object(Object value, SqlDialect dialect) throws SQLException {
        if (value == null) {
            return nul();
        }
        if (value instanceof String || value instanceof Character || value instanceof java.util.UUID) {
            return string(value.toString(), dialect);
        }
        if (value instanceof Boolean) {
            return bool((Boolean) value, dialect);
        }
        if (value instanceof Long || value instanceof Integer || value instanceof Short || value instanceof Byte) {
            return number(((Number) value).longValue());
        }
        if (value instanceof Double) {
            return number((double) (Double) value, dialect);
        }
        if (value instanceof Float) {
            return number((float) (Float) value, dialect);
        }
        if (value instanceof BigDecimal) {
            return number((BigDecimal) value);
        }
        if (value instanceof BigInteger) {
            return number((BigInteger) value);
        }
        if (value instanceof byte[]) {
            return bytes((byte[]) value, dialect);
        }
        return temporal(value, dialect);
    }

    private static String temporal(Object value, SqlDialect dialect) throws SQLException {
        if (value instanceof java.sql.Date) {
            return date((java.sql.Date) value);
        }
        if (value instanceof Time) {
            return time((Time) value);
        }
        if (value instanceof Timestamp) {
            return timestamp((Timestamp) value);
        }
        if (value instanceof java.util.Date) {
            return timestamp(new Timestamp(((java.util.Date) value).getTime()));
        }
        if (value instanceof LocalDate) {
            return date((LocalDate) value);
        }
        if (value instanceof LocalTime) {
            return time((LocalTime) value);
        }
        if (value instanceof LocalDateTime) {
            return timestamp((LocalDateTime) value);
        }
        OffsetDateTime instant = asOffsetDateTime(value);
        if (instant != null) {
            return timestamp(instant, dialect);
        }
        throw new SQLFeatureNotSupportedException("The driver cannot write a parameter of class "
                + value.getClass().getName() + "; give it a java.sql.Types target", "0A000");
    }

    private static OffsetDateTime asOffsetDateTime(Object value) {
        if (value instanceof OffsetDateTime) {
            return (OffsetDateTime) value;
        }
        if (value instanceof ZonedDateTime) {
            return ((ZonedDateTime) value).toOffsetDateTime();
        }
        if (value instanceof Instant) {
            return ((Instant) value).atOffset(ZoneOffset.UTC);
        }
        return null;
    }

    /**
     * A literal of the java.sql.Types {@code targetSqlType} for {@code value}:
     * a text as INTEGER is read as a number and refused (22018) when it is
     * none, a number outside the target's range is refused (22003), a
     * fraction for an integer type too. Types this driver cannot write
     * (arrays, LOBs, structures...) are refused (0A000).
     */
    static String object(Object value, int targetSqlType, SqlDialect dialect) throws SQLException {
        if (value == null || targetSqlType == Types.NULL) {
            return nul();
        }
        switch (targetSqlType) {
            case Types.CHAR:
            case Types.VARCHAR:
            case Types.LONGVARCHAR:
            case Types.NCHAR:
            case Types.NVARCHAR:
            case Types.LONGNVARCHAR:
                return string(text(value), dialect);
            case Types.BIT:
            case Types.BOOLEAN:
                return bool(Conversions.toBoolean(value), dialect);
            case Types.TINYINT:
                return number(Conversions.toIntegral(value, Byte.MIN_VALUE, Byte.MAX_VALUE));
            case Types.SMALLINT:
                return number(Conversions.toIntegral(value, Short.MIN_VALUE, Short.MAX_VALUE));
            case Types.INTEGER:
                return number(Conversions.toIntegral(value, Integer.MIN_VALUE, Integer.MAX_VALUE));
            case Types.BIGINT:
                return number(Conversions.toIntegral(value, Long.MIN_VALUE, Long.MAX_VALUE));
            case Types.REAL:
                return number((float) Conversions.toDouble(value), dialect);
            case Types.FLOAT:
            case Types.DOUBLE:
                return number(Conversions.toDouble(value), dialect);
            case Types.NUMERIC:
            case Types.DECIMAL:
                return number(Conversions.toBigDecimal(value));
            case Types.DATE:
                return date(Conversions.toLocalDate(value));
            case Types.TIME:
                return time(Conversions.toLocalTime(value));
            case Types.TIMESTAMP:
                return timestamp(Conversions.toLocalDateTime(value));
            case Types.TIMESTAMP_WITH_TIMEZONE:
                return timestamp(toOffsetDateTime(value), dialect);
            case Types.BINARY:
            case Types.VARBINARY:
            case Types.LONGVARBINARY:
                if (value instanceof byte[]) {
                    return bytes((byte[]) value, dialect);
                }
                throw Conversions.cannotConvert(value, "binary");
            case Types.OTHER:
            case Types.JAVA_OBJECT:
                return object(value, dialect);
            default:
                throw new SQLFeatureNotSupportedException("The driver cannot write parameters of java.sql.Types "
                        + targetSqlType, "0A000");
        }
    }

    /** The text a value stands for when a character type is its target. */
    private static String text(Object value) throws SQLException {
        if (value instanceof String) {
            return (String) value;
        }
        if (value instanceof BigDecimal) {
            return plain((BigDecimal) value);
        }
        if (value instanceof Number || value instanceof Boolean || value instanceof Character
                || value instanceof java.util.UUID || value instanceof java.util.Date
                || value instanceof java.time.temporal.TemporalAccessor) {
            return value.toString();
        }
        throw Conversions.cannotConvert(value, "text");
    }

    private static OffsetDateTime toOffsetDateTime(Object value) throws SQLException {
        OffsetDateTime instant = asOffsetDateTime(value);
        if (instant != null) {
            return instant;
        }
        if (value instanceof String) {
            try {
                return OffsetDateTime.parse(((String) value).trim());
            } catch (DateTimeParseException e) {
                throw new SQLDataException("Not a timestamp with offset: " + value, "22007", e);
            }
        }
        throw Conversions.cannotConvert(value, "timestamp with time zone");
    }
}

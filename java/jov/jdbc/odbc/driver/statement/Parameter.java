package jov.jdbc.odbc.driver.statement;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.math.MathContext;
import java.nio.charset.StandardCharsets;
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
import java.util.Locale;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
import jov.jdbc.odbc.driver.text.Conversions;
import jov.jdbc.odbc.driver.text.ZonedValues;

/**
 * One value of a prepared statement, bound by the ODBC driver as its own C
 * type just before execution: exact integers, doubles, decimals as their
 * text, dates and times by their fields, text and bytes as they are, long
 * streams in pieces as the driver asks for them. No value ever becomes SQL
 * text, so no encoding, dialect or session mode can turn data into SQL.
 *
 * <p>What a value cannot be is refused when it is set, with the subclass of
 * its class: 22003 a number beyond SQL's numerics, 22008 a date outside the
 * years 1 to 9999, 0A000 a class the driver cannot bind.
 */
public abstract class Parameter {

    /** Kinds of parameter arrays (see {@link #arrayKind}). */
    static final int ARRAY_NONE = 0;
    static final int ARRAY_NULL = 1;
    static final int ARRAY_LONG = 2;
    static final int ARRAY_DOUBLE = 3;
    static final int ARRAY_TEXT = 4;
    static final int ARRAY_BYTES = 5;
    /** Text and bytes longer than this are declared long (LONGVARCHAR, LONGVARBINARY). */
    private static final int LONG_VALUE = 8000;
    /** Characters or bytes of one piece of a stream. */
    private static final int PIECE = 65536;
    private static final int NANOS_PER_MILLI = 1_000_000;
    private static final int MIN_YEAR = 1;
    private static final int MAX_YEAR = 9999;
    /** The fraction digits a timestamp is declared with; every driver of the rig accepts 9 and keeps what it can. */
    private static final int NANO_DIGITS = 9;
    /** PostgreSQL's numeric, the widest of the databases: digits before and after the point. */
    private static final int MAX_INTEGER_DIGITS = 131072;
    private static final int MAX_FRACTION_DIGITS = 16383;
    /** Digits of a refused number shown in the message, which must stay short whatever its exponent. */
    private static final MathContext SHOWN_DIGITS = new MathContext(20);

    /** Binds the value as parameter {@code index}; a status of OdbcNatives. */
    public abstract int bind(long statement, int index);

    /** Sends a value bound for data at execution; only streams are. */
    public int send(long statement) {
        return OdbcNatives.ERROR;
    }

    /** The kind of parameter array the value can be a row of (ARRAY_*), ARRAY_NONE when it is bound only alone. */
    int arrayKind() {
        return ARRAY_NONE;
    }

    /**
     * A value of a kind that parameter arrays carry: NULL, an exact integer,
     * a double, text or bytes, with the SQL type it is declared as. Its
     * value is a Long, Double, String or byte[] as its kind is, null for NULL.
     */
    static final class Plain extends Parameter {
        final int kind;
        final int sqlType;
        final Object value;

        Plain(int kind, int sqlType, Object value) {
            this.kind = kind;
            this.sqlType = sqlType;
            this.value = value;
        }

        @Override
        int arrayKind() {
            return kind;
        }

        @Override
        public int bind(long statement, int index) {
            switch (kind) {
                case ARRAY_LONG:
                    return OdbcNatives.bindLong(statement, index, (Long) value, sqlType);
                case ARRAY_DOUBLE:
                    return OdbcNatives.bindDouble(statement, index, (Double) value, sqlType);
                case ARRAY_TEXT:
                    return OdbcNatives.bindString(statement, index, (String) value, sqlType);
                case ARRAY_BYTES:
                    return OdbcNatives.bindBytes(statement, index, (byte[]) value, sqlType);
                default:
                    return OdbcNatives.bindNull(statement, index, sqlType);
            }
        }
    }

    /** SQL NULL declared as the JDBC type (the common ones are ODBC's numbers too). */
    static Parameter nul(int sqlType) {
        int declared = sqlType == Types.NULL || sqlType == Types.OTHER || sqlType == Types.JAVA_OBJECT
                ? Types.VARCHAR : sqlType == Types.BOOLEAN ? Types.BIT : sqlType;
        return new Plain(ARRAY_NULL, declared, null);
    }

    static Parameter integer(long value, int sqlType) {
        return new Plain(ARRAY_LONG, sqlType, value);
    }

    static Parameter floating(double value, int sqlType) {
        return new Plain(ARRAY_DOUBLE, sqlType, value);
    }

    static Parameter bool(boolean value) {
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindBoolean(statement, index, value);
            }
        };
    }

    /** Text; U+0000 is refused, since drivers and databases disagree on what it does inside a value. */
    static Parameter text(String value) throws SQLException {
        int nul = value.indexOf('\0');
        if (nul >= 0) {
            throw new SQLDataException("A text parameter holds the character U+0000 at index " + nul
                    + ", which cannot be sent", "22021");
        }
        return new Plain(ARRAY_TEXT, value.length() > LONG_VALUE ? Types.LONGVARCHAR : Types.VARCHAR, value);
    }

    static Parameter bytes(byte[] value) {
        return new Plain(ARRAY_BYTES, value.length > LONG_VALUE ? Types.LONGVARBINARY : Types.VARBINARY,
                value.clone());
    }

    /** A number as its plain digits, refused beyond what an SQL numeric holds. */
    static Parameter decimal(BigDecimal value) throws SQLException {
        // Stripping costs a division per zero: only where the scale alone is out of bounds.
        BigDecimal written = value.scale() > MAX_FRACTION_DIGITS || value.scale() < -MAX_INTEGER_DIGITS
                ? value.stripTrailingZeros() : value;
        if ((long) written.precision() - written.scale() > MAX_INTEGER_DIGITS
                || written.scale() > MAX_FRACTION_DIGITS) {
            throw new SQLDataException("The number " + value.round(SHOWN_DIGITS)
                    + " is beyond what an SQL numeric holds (" + MAX_INTEGER_DIGITS + " digits before the point, "
                    + MAX_FRACTION_DIGITS + " after)", "22003");
        }
        BigDecimal shown = written.scale() < 0 ? written.setScale(0) : written;
        String digits = shown.toPlainString();
        int scale = shown.scale();
        int precision = Math.max(shown.precision(), scale + 1);
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindDecimal(statement, index, digits, precision, scale);
            }
        };
    }

    static Parameter date(LocalDate value) throws SQLException {
        checkYear(value);
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindDate(statement, index, value.getYear(), value.getMonthValue(),
                        value.getDayOfMonth());
            }
        };
    }

    /** ODBC's time structure has no fraction: a time with one is bound as its text, every digit kept. */
    static Parameter time(LocalTime value) throws SQLException {
        if (value.getNano() != 0) {
            return text(value.toString());
        }
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindTime(statement, index, value.getHour(), value.getMinute(), value.getSecond());
            }
        };
    }

    /**
     * SQLite keeps timestamps as text and sqliteodbc cuts a bound timestamp
     * to milliseconds, so there it is bound as its text, every digit kept.
     */
    static Parameter timestamp(LocalDateTime value, SqlDialect dialect) throws SQLException {
        checkYear(value.toLocalDate());
        if (dialect.database() == SqlDialect.Database.SQLITE) {
            return text(timestampText(value));
        }
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindTimestamp(statement, index, value.getYear(), value.getMonthValue(),
                        value.getDayOfMonth(), value.getHour(), value.getMinute(), value.getSecond(),
                        value.getNano(), NANO_DIGITS);
            }
        };
    }

    /** "yyyy-mm-dd hh:mm:ss" and the fraction's digits without trailing zeros. */
    private static String timestampText(LocalDateTime value) {
        String text = String.format(Locale.ROOT, "%04d-%02d-%02d %02d:%02d:%02d", value.getYear(),
                value.getMonthValue(), value.getDayOfMonth(), value.getHour(), value.getMinute(), value.getSecond());
        if (value.getNano() == 0) {
            return text;
        }
        String fraction = String.format(Locale.ROOT, "%09d", value.getNano());
        int end = fraction.length();
        while (fraction.charAt(end - 1) == '0') {
            end--;
        }
        return text + "." + fraction.substring(0, end);
    }

    private static void checkYear(LocalDate date) throws SQLException {
        if (date.getYear() < MIN_YEAR || date.getYear() > MAX_YEAR) {
            throw new SQLDataException("The date " + date + " is outside the years 1 to 9999 that SQL dates hold",
                    "22008");
        }
    }

    /** Text sent in pieces at execution; byteLength is its length in the connection's narrow encoding. */
    static Parameter textStream(String value, long byteLength) {
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindStream(statement, index, false, byteLength, value.length());
            }

            @Override
            public int send(long statement) {
                int status = OdbcNatives.SUCCESS;
                for (int at = 0; at < value.length() && status != OdbcNatives.ERROR; ) {
                    int end = Math.min(value.length(), at + PIECE);
                    if (end < value.length() && Character.isHighSurrogate(value.charAt(end - 1))) {
                        end--;
                    }
                    status = OdbcNatives.putString(statement, value.substring(at, end));
                    at = end;
                }
                return status;
            }
        };
    }

    /** Bytes sent in pieces at execution. */
    static Parameter byteStream(byte[] value) {
        return new Parameter() {
            @Override
            public int bind(long statement, int index) {
                return OdbcNatives.bindStream(statement, index, true, value.length, -1);
            }

            @Override
            public int send(long statement) {
                int status = OdbcNatives.SUCCESS;
                byte[] piece = new byte[Math.min(PIECE, value.length)];
                for (int at = 0; at < value.length && status != OdbcNatives.ERROR; at += piece.length) {
                    int length = Math.min(piece.length, value.length - at);
                    System.arraycopy(value, at, piece, 0, length);
                    status = OdbcNatives.putBytes(statement, piece, length);
                }
                return status;
            }
        };
    }

    /** A value of any class the driver binds, by its class. */
    static Parameter object(Object value, SqlDialect dialect) throws SQLException {
        if (value == null) {
            return nul(Types.VARCHAR);
        }
        if (value instanceof String || value instanceof Character || value instanceof java.util.UUID) {
            return text(value.toString());
        }
        if (value instanceof Boolean) {
            return bool((Boolean) value);
        }
        if (value instanceof Long) {
            return integer((Long) value, Types.BIGINT);
        }
        if (value instanceof Integer || value instanceof Short || value instanceof Byte) {
            return integer(((Number) value).longValue(), Types.INTEGER);
        }
        if (value instanceof Double) {
            return floating((Double) value, Types.DOUBLE);
        }
        if (value instanceof Float) {
            return floating((Float) value, Types.REAL);
        }
        if (value instanceof BigDecimal) {
            return decimal((BigDecimal) value);
        }
        if (value instanceof BigInteger) {
            return decimal(new BigDecimal((BigInteger) value));
        }
        if (value instanceof byte[]) {
            return bytes((byte[]) value);
        }
        return temporal(value, dialect);
    }

    private static Parameter temporal(Object value, SqlDialect dialect) throws SQLException {
        if (value instanceof java.sql.Date) {
            return date(ZonedValues.local((java.sql.Date) value).toLocalDate());
        }
        if (value instanceof Time) {
            long millis = Math.floorMod(((Time) value).getTime(), 1000L);
            return time(((Time) value).toLocalTime().withNano((int) millis * NANOS_PER_MILLI));
        }
        if (value instanceof Timestamp) {
            Timestamp stamp = (Timestamp) value;
            return timestamp(ZonedValues.local(stamp).withNano(stamp.getNanos()), dialect);
        }
        if (value instanceof java.util.Date) {
            return timestamp(ZonedValues.local((java.util.Date) value), dialect);
        }
        if (value instanceof LocalDate) {
            return date((LocalDate) value);
        }
        if (value instanceof LocalTime) {
            return time((LocalTime) value);
        }
        if (value instanceof LocalDateTime) {
            return timestamp((LocalDateTime) value, dialect);
        }
        OffsetDateTime instant = asOffsetDateTime(value);
        if (instant != null) {
            return offsetTimestamp(instant);
        }
        throw new SQLFeatureNotSupportedException("The driver cannot bind a parameter of class "
                + value.getClass().getName() + "; give it a java.sql.Types target", "0A000");
    }

    /** An instant with its offset, as the ISO text every database of the rig reads for such columns. */
    private static Parameter offsetTimestamp(OffsetDateTime value) throws SQLException {
        checkYear(value.toLocalDate());
        String offset = value.getOffset().equals(ZoneOffset.UTC) ? "+00:00" : value.getOffset().getId();
        return text(value.toLocalDate() + " " + value.toLocalTime() + offset);
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

    /** A value converted to a java.sql.Types target first. */
    static Parameter object(Object value, int targetSqlType, SqlDialect dialect) throws SQLException {
        if (value == null || targetSqlType == Types.NULL) {
            return nul(targetSqlType);
        }
        switch (targetSqlType) {
            case Types.CHAR:
            case Types.VARCHAR:
            case Types.LONGVARCHAR:
            case Types.NCHAR:
            case Types.NVARCHAR:
            case Types.LONGNVARCHAR:
                return text(asText(value));
            case Types.BIT:
            case Types.BOOLEAN:
                return bool(Conversions.toBoolean(value));
            case Types.TINYINT:
                return integer(Conversions.toIntegral(value, Byte.MIN_VALUE, Byte.MAX_VALUE), Types.SMALLINT);
            case Types.SMALLINT:
                return integer(Conversions.toIntegral(value, Short.MIN_VALUE, Short.MAX_VALUE), Types.SMALLINT);
            case Types.INTEGER:
                return integer(Conversions.toIntegral(value, Integer.MIN_VALUE, Integer.MAX_VALUE), Types.INTEGER);
            case Types.BIGINT:
                return integer(Conversions.toIntegral(value, Long.MIN_VALUE, Long.MAX_VALUE), Types.BIGINT);
            case Types.REAL:
                return floating((float) Conversions.toDouble(value), Types.REAL);
            case Types.FLOAT:
            case Types.DOUBLE:
                return floating(Conversions.toDouble(value), Types.DOUBLE);
            case Types.NUMERIC:
            case Types.DECIMAL:
                return decimal(Conversions.toBigDecimal(value));
            case Types.DATE:
                return date(Conversions.toLocalDate(value));
            case Types.TIME:
                return time(Conversions.toLocalTime(value));
            case Types.TIMESTAMP:
                return timestamp(Conversions.toLocalDateTime(value), dialect);
            case Types.TIMESTAMP_WITH_TIMEZONE:
                return offsetTimestamp(toOffsetDateTime(value));
            case Types.BINARY:
            case Types.VARBINARY:
            case Types.LONGVARBINARY:
                if (value instanceof byte[]) {
                    return bytes((byte[]) value);
                }
                throw Conversions.cannotConvert(value, "binary");
            case Types.OTHER:
            case Types.JAVA_OBJECT:
                return object(value, dialect);
            default:
                throw new SQLFeatureNotSupportedException("The driver cannot bind parameters of java.sql.Types "
                        + targetSqlType, "0A000");
        }
    }

    private static String asText(Object value) throws SQLException {
        if (value instanceof String) {
            return (String) value;
        }
        if (value instanceof BigDecimal) {
            return ((BigDecimal) value).toPlainString();
        }
        if (value instanceof byte[]) {
            throw Conversions.cannotConvert(value, "text");
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
            } catch (java.time.format.DateTimeParseException e) {
                throw new SQLDataException("Not a timestamp with offset: " + value, "22007", e);
            }
        }
        throw Conversions.cannotConvert(value, "timestamp with time zone");
    }

    /** Bytes the text takes in UTF-8, the encoding of a Unicode session. */
    static long utf8Length(String text) {
        return text.getBytes(StandardCharsets.UTF_8).length;
    }
}

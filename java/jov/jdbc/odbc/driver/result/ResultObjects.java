package jov.jdbc.odbc.driver.result;

import java.math.BigDecimal;
import java.sql.Date;
import java.sql.SQLException;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.OffsetDateTime;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.text.DateTimeText;

/** The classes {@code ResultSet.getObject(column, type)} converts to, each by its typed getter. */
final class ResultObjects {

    private ResultObjects() {
    }

    static Object convert(JovResultSet rs, int column, Class<?> type) throws SQLException {
        Object value = read(rs, column, type);
        return rs.wasNull() ? null : value;
    }

    private static Object read(JovResultSet rs, int column, Class<?> type) throws SQLException {
        if (type == String.class) {
            return rs.getString(column);
        } else if (type == Integer.class) {
            return rs.getInt(column);
        } else if (type == Long.class) {
            return rs.getLong(column);
        } else if (type == Short.class) {
            return rs.getShort(column);
        } else if (type == Byte.class) {
            return rs.getByte(column);
        } else if (type == Double.class) {
            return rs.getDouble(column);
        } else if (type == Float.class) {
            return rs.getFloat(column);
        } else if (type == Boolean.class) {
            return rs.getBoolean(column);
        } else if (type == BigDecimal.class) {
            return rs.getBigDecimal(column);
        } else if (type == byte[].class) {
            return rs.getBytes(column);
        } else if (type == Date.class) {
            return rs.getDate(column);
        } else if (type == Time.class) {
            return rs.getTime(column);
        } else if (type == Timestamp.class) {
            return rs.getTimestamp(column);
        } else if (type == LocalDate.class || type == LocalTime.class || type == LocalDateTime.class
                || type == OffsetDateTime.class) {
            return temporal(rs, column, type);
        } else if (type == Object.class) {
            return rs.getObject(column);
        }
        throw Errors.notSupported("getObject as " + type.getName());
    }

    /** java.time values straight from the text's fields, never through a java.util date and its calendar. */
    private static Object temporal(JovResultSet rs, int column, Class<?> type) throws SQLException {
        DateTimeText value = rs.dateTime(column);
        if (value == null) {
            return null;
        } else if (type == LocalDate.class) {
            return value.localDate();
        } else if (type == LocalTime.class) {
            return value.localTime();
        } else if (type == LocalDateTime.class) {
            return value.localDateTime();
        }
        return value.offsetDateTime();
    }
}

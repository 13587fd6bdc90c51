package jov.jdbc.odbc.driver;

import java.sql.Date;
import java.sql.SQLException;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.ZoneId;
import java.util.Calendar;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * A date/time value in the driver's own text (yyyy-mm-dd, hh:mm:ss[.f...] or
 * both), read before the library's date style rewrites it, so fractions of
 * seconds survive. A zone offset after the time is ignored: the fields are
 * read as local time of the JVM, or of the calendar a caller passes.
 */
final class DateTimeText {

    private static final Pattern FORM = Pattern.compile(
            "\\s*(?:(\\d{1,4})[-/](\\d{1,2})[-/](\\d{1,2}))?[ T]?"
                    + "(?:(\\d{1,2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,9}))?)?.*",
            Pattern.DOTALL);
    private static final int NANO_DIGITS = 9;

    private final LocalDate date;
    private final LocalTime time;

    private DateTimeText(LocalDate date, LocalTime time) {
        this.date = date;
        this.time = time;
    }

    /** Reads the text; fails with 22007 when it holds neither a date nor a time. */
    static DateTimeText parse(String text) throws SQLException {
        Matcher m = FORM.matcher(text);
        if (!m.matches() || (m.group(1) == null && m.group(4) == null)) {
            throw Errors.create("Not a date or time: " + text, "22007");
        }
        try {
            LocalDate date = m.group(1) == null ? null
                    : LocalDate.of(number(m, 1), number(m, 2), number(m, 3));
            LocalTime time = m.group(4) == null ? null
                    : LocalTime.of(number(m, 4), number(m, 5), number(m, 6), nanos(m.group(7)));
            return new DateTimeText(date, time);
        } catch (java.time.DateTimeException e) {
            throw Errors.create("Not a date or time: " + text, "22007", e);
        }
    }

    private static int number(Matcher m, int group) {
        return Integer.parseInt(m.group(group));
    }

    private static int nanos(String fraction) {
        if (fraction == null) {
            return 0;
        }
        StringBuilder digits = new StringBuilder(fraction);
        while (digits.length() < NANO_DIGITS) {
            digits.append('0');
        }
        return Integer.parseInt(digits.toString());
    }

    /** The date and time together; a missing part is 1970-01-01 or midnight. */
    private LocalDateTime dateTime() {
        return LocalDateTime.of(date == null ? LocalDate.of(1970, 1, 1) : date,
                time == null ? LocalTime.MIDNIGHT : time);
    }

    private static ZoneId zone(Calendar calendar) {
        return calendar == null ? ZoneId.systemDefault() : calendar.getTimeZone().toZoneId();
    }

    Timestamp timestamp(Calendar calendar) {
        LocalDateTime local = dateTime();
        Timestamp value = new Timestamp(local.atZone(zone(calendar)).toInstant().toEpochMilli());
        value.setNanos(local.getNano());
        return value;
    }

    Date date(Calendar calendar) {
        LocalDateTime midnight = dateTime().toLocalDate().atStartOfDay();
        return new Date(midnight.atZone(zone(calendar)).toInstant().toEpochMilli());
    }

    /** The time of day on 1970-01-01, to the millisecond java.sql.Time holds. */
    Time time(Calendar calendar) {
        LocalDateTime onEpochDay = LocalDateTime.of(LocalDate.of(1970, 1, 1),
                time == null ? LocalTime.MIDNIGHT : time);
        return new Time(onEpochDay.atZone(zone(calendar)).toInstant().toEpochMilli());
    }

    /** The value as getObject answers it: a Date, a Time or a Timestamp by what the text holds. */
    Object object() {
        if (time == null) {
            return date(null);
        }
        return date == null ? time(null) : timestamp(null);
    }
}

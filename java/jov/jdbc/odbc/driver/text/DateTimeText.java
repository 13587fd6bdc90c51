package jov.jdbc.odbc.driver.text;

import java.sql.Date;
import java.sql.SQLException;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.LocalTime;
import java.time.OffsetDateTime;
import java.time.ZoneId;
import java.time.ZoneOffset;
import java.util.Calendar;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * A date/time value in the driver's own text (yyyy-mm-dd, hh:mm:ss[.f...] or
 * both, then perhaps a zone offset and PostgreSQL's " BC"), read before the
 * library's date style rewrites it, so fractions of seconds survive.
 *
 * <p>The fields are kept as the text gives them, with no zone in between:
 * java.time values are made from them directly, and java.sql values name the
 * same fields by the JDK's calendar rules (see {@link ZonedValues}). A zone
 * only comes in where an instant is asked for: the text's own offset when it
 * has one, else the calendar's zone a caller passed, else the JVM's.
 */
public final class DateTimeText {

    private static final Pattern FORM = Pattern.compile(
            "\\s*(?:(\\d{1,4})[-/](\\d{1,2})[-/](\\d{1,2}))?[ T]?"
                    + "(?:(\\d{1,2}):(\\d{2}):(\\d{2})(?:\\.(\\d{1,9}))?\\s*(Z|[+-]\\d{2}(?::?\\d{2}){0,2})?)?"
                    + "\\s*(BC)?.*",
            Pattern.DOTALL);
    private static final int NANO_DIGITS = 9;
    private static final LocalDate EPOCH_DAY = LocalDate.of(1970, 1, 1);

    private final LocalDate date;
    private final LocalTime time;
    private final ZoneOffset offset;

    private DateTimeText(LocalDate date, LocalTime time, ZoneOffset offset) {
        this.date = date;
        this.time = time;
        this.offset = offset;
    }

    /** Reads the text; fails with 22007 when it holds neither a date nor a time. */
    public static DateTimeText parse(String text) throws SQLException {
        Matcher m = FORM.matcher(text);
        if (!m.matches() || (m.group(1) == null && m.group(4) == null)) {
            throw Errors.create("Not a date or time: " + text, "22007");
        }
        try {
            LocalDate date = null;
            if (m.group(1) != null) {
                int year = number(m, 1);
                date = LocalDate.of(m.group(9) == null ? year : 1 - year, number(m, 2), number(m, 3));
            }
            LocalTime time = m.group(4) == null ? null
                    : LocalTime.of(number(m, 4), number(m, 5), number(m, 6), nanos(m.group(7)));
            ZoneOffset offset = m.group(8) == null ? null : ZoneOffset.of(m.group(8));
            return new DateTimeText(date, time, offset);
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

    /** The date; 1970-01-01 for a time alone. */
    public LocalDate localDate() {
        return date == null ? EPOCH_DAY : date;
    }

    /** The time of day; midnight for a date alone. */
    public LocalTime localTime() {
        return time == null ? LocalTime.MIDNIGHT : time;
    }

    public LocalDateTime localDateTime() {
        return LocalDateTime.of(localDate(), localTime());
    }

    /** The text's offset, or the offset the JVM's zone has at that local time. */
    public OffsetDateTime offsetDateTime() {
        return offset == null ? localDateTime().atZone(ZoneId.systemDefault()).toOffsetDateTime()
                : localDateTime().atOffset(offset);
    }

    /** The instant of the fields in the text's offset, else in the calendar's zone, else the JVM's. */
    private long epochMillis(LocalDateTime local, Calendar calendar) {
        if (offset != null) {
            return local.toInstant(offset).toEpochMilli();
        }
        return ZonedValues.epochMillis(local, ZonedValues.zone(calendar));
    }

    public Timestamp timestamp(Calendar calendar) {
        LocalDateTime local = localDateTime();
        Timestamp value = new Timestamp(epochMillis(local, calendar));
        value.setNanos(local.getNano());
        return value;
    }

    /** Midnight of the text's date in the calendar's zone, else the JVM's. */
    public Date date(Calendar calendar) {
        return new Date(ZonedValues.epochMillis(localDate().atStartOfDay(), ZonedValues.zone(calendar)));
    }

    /** The time of day on 1970-01-01, to the millisecond java.sql.Time holds. */
    public Time time(Calendar calendar) {
        return new Time(epochMillis(LocalDateTime.of(EPOCH_DAY, localTime()), calendar));
    }

    /** The value as getObject answers it: a Date, a Time or a Timestamp by what the text holds. */
    public Object object() {
        if (time == null) {
            return date(null);
        }
        return date == null ? time(null) : timestamp(null);
    }
}

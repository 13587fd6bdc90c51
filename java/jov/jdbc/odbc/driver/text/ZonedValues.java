package jov.jdbc.odbc.driver.text;

import java.time.Instant;
import java.time.LocalDateTime;
import java.time.ZoneId;
import java.time.ZoneOffset;
import java.util.Calendar;
import java.util.GregorianCalendar;
import java.util.TimeZone;
import java.util.regex.Pattern;

/**
 * The fields of java.util dates on a zone's wall clock, by the JDK's own
 * calendar rules: Julian before 1582-10-15, Gregorian after, the zone's
 * offsets as java.util.TimeZone knows them. java.sql.Date, Time and Timestamp
 * name their fields by these rules, so a value read or written through them
 * keeps its fields (1500-01-01 stays 1500-01-01, a date of 1867 in Tokyo does
 * not move), where java.time's proleptic calendar and tz offsets would not.
 * A year before 1 AD is the proleptic year of java.time (1 BC is 0).
 */
public final class ZonedValues {

    private static final int NANOS_PER_MILLI = 1_000_000;
    /** The characters of the tz database's region names, none of which can end a quoted text. */
    private static final Pattern REGION_NAME = Pattern.compile("[A-Za-z0-9/_+-]+");

    private ZonedValues() {
    }

    /** The local date and time that the instant shows in the zone, to the millisecond. */
    public static LocalDateTime local(long epochMillis, TimeZone zone) {
        Calendar calendar = new GregorianCalendar(zone);
        calendar.setTimeInMillis(epochMillis);
        int year = calendar.get(Calendar.YEAR);
        return LocalDateTime.of(calendar.get(Calendar.ERA) == GregorianCalendar.BC ? 1 - year : year,
                calendar.get(Calendar.MONTH) + 1, calendar.get(Calendar.DAY_OF_MONTH),
                calendar.get(Calendar.HOUR_OF_DAY), calendar.get(Calendar.MINUTE), calendar.get(Calendar.SECOND),
                calendar.get(Calendar.MILLISECOND) * NANOS_PER_MILLI);
    }

    /** The fields of a java.util date in the JVM's zone, as java.sql's toLocal... would give them, BC kept. */
    public static LocalDateTime local(java.util.Date value) {
        return local(value.getTime(), TimeZone.getDefault());
    }

    /** The instant at which the zone's wall clock shows the local date and time, to the millisecond. */
    static long epochMillis(LocalDateTime local, TimeZone zone) {
        Calendar calendar = new GregorianCalendar(zone);
        calendar.clear();
        int year = local.getYear();
        calendar.set(Calendar.ERA, year < 1 ? GregorianCalendar.BC : GregorianCalendar.AD);
        calendar.set(year < 1 ? 1 - year : year, local.getMonthValue() - 1, local.getDayOfMonth(),
                local.getHour(), local.getMinute(), local.getSecond());
        calendar.set(Calendar.MILLISECOND, local.getNano() / NANOS_PER_MILLI);
        return calendar.getTimeInMillis();
    }

    /** The zone of a calendar a caller passed, or the JVM's when none was. */
    static TimeZone zone(Calendar calendar) {
        return calendar == null ? TimeZone.getDefault() : calendar.getTimeZone();
    }

    /**
     * PostgreSQL's SET for a session zone equal to the JVM's. psqlODBC hands a
     * timestamptz as the session's wall clock without its offset, so only in
     * the JVM's own zone does that text name the right instant (pgjdbc sets
     * the session's zone likewise). An offset is set as an interval, whose
     * sign, unlike the POSIX names PostgreSQL also reads, counts east.
     */
    public static String postgresSessionZone(ZoneId zone) {
        ZoneId normalized = zone.normalized();
        if (normalized instanceof ZoneOffset) {
            return "SET TIME ZONE INTERVAL '" + (normalized.equals(ZoneOffset.UTC) ? "+00:00" : normalized.getId())
                    + "' HOUR TO MINUTE";
        }
        if (!REGION_NAME.matcher(zone.getId()).matches()) {
            return postgresSessionZone(zone.getRules().getOffset(Instant.now()));
        }
        return "SET TimeZone TO '" + zone.getId() + "'";
    }
}

package jov.jdbc.odbc.driver;

import java.time.Instant;
import java.time.LocalDateTime;
import java.util.Calendar;

/** Instants seen on a calendar's wall clock, for parameters given with a Calendar. */
final class ZonedValues {

    private ZonedValues() {
    }

    /** The local date and time that the instant shows in the calendar's zone. */
    static LocalDateTime local(long epochMillis, Calendar calendar) {
        return LocalDateTime.ofInstant(Instant.ofEpochMilli(epochMillis),
                calendar.getTimeZone().toZoneId());
    }
}

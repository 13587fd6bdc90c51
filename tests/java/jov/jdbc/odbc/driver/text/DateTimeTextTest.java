package jov.jdbc.odbc.driver.text;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.sql.Date;
import java.sql.SQLException;
import java.sql.Time;
import java.sql.Timestamp;
import java.time.Instant;
import java.util.Calendar;
import java.util.TimeZone;
import org.junit.jupiter.api.Test;

/** The driver's date/time texts, read with their fractions of seconds. */
class DateTimeTextTest {

    @Test
    void formsAndFractions() throws SQLException {
        assertEquals(Timestamp.valueOf("2004-04-30 21:50:08.123456789"),
                DateTimeText.parse("2004-04-30 21:50:08.123456789").timestamp(null));
        assertEquals(Instant.parse("2004-04-30T12:50:08.5Z"),
                DateTimeText.parse("2004-04-30T21:50:08.5+09").timestamp(null).toInstant(), "zone offset kept");
        assertInstanceOf(Date.class, DateTimeText.parse("2004-04-30").object());
        assertInstanceOf(Time.class, DateTimeText.parse("21:50:08.25").object());
        assertEquals(Time.valueOf("21:50:08").getTime() + 250, DateTimeText.parse("21:50:08.25").time(null).getTime());
        assertThrows(SQLException.class, () -> DateTimeText.parse("yesterday"));
        assertThrows(SQLException.class, () -> DateTimeText.parse("2004-02-30"));
    }

    @Test
    void aCalendarNamesTheZoneOfTheFields() throws SQLException {
        Calendar utc = Calendar.getInstance(TimeZone.getTimeZone("UTC"));
        assertEquals(1083361808123L, DateTimeText.parse("2004-04-30 21:50:08.123").timestamp(utc).getTime());
    }
}

package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.math.BigDecimal;
import java.math.BigInteger;
import java.sql.Date;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Time;
import java.sql.Timestamp;
import java.sql.Types;
import java.time.Instant;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.OffsetDateTime;
import java.util.Calendar;
import java.util.GregorianCalendar;
import java.util.TimeZone;
import java.util.concurrent.atomic.DoubleAdder;
import org.junit.jupiter.api.function.Executable;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Values that must cross unchanged whatever the JVM's zone, calendar or number class, or be refused at once. */
class JdbcValuesTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    /** Runs with the JVM's default zone set, restored after: zones whose old offsets are not whole hours. */
    private static void inZone(String zone, Executable body) throws Throwable {
        TimeZone saved = TimeZone.getDefault();
        TimeZone.setDefault(TimeZone.getTimeZone(zone));
        try {
            body.execute();
        } finally {
            TimeZone.setDefault(saved);
        }
    }

    /**
     * Tokyo's local mean time before 1888 and the Julian calendar before 1582
     * must not move a date: java.sql values go by their fields, java.time
     * values too, with no zone in between.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void datesKeepTheirFieldsInEveryZone(Rig rig) throws Throwable {
        for (String zone : new String[] {"Asia/Tokyo", "Europe/Berlin"}) {
            inZone(zone, () -> {
                try (Jdbc db = Jdbc.open(rig)) {
                    String table = db.createTable("k integer, d date, ts " + rig.timestampType);
                    try (PreparedStatement insert = db.connection.prepareStatement(
                            "INSERT INTO " + table + " VALUES (?, ?, ?)")) {
                        insert.setInt(1, 1);
                        insert.setDate(2, Date.valueOf("1867-02-09"));
                        insert.setTimestamp(3, Timestamp.valueOf("1867-02-09 10:00:00"));
                        insert.executeUpdate();
                        insert.setInt(1, 2);
                        insert.setObject(2, LocalDate.of(1500, 1, 1));
                        insert.setObject(3, LocalDateTime.of(1500, 1, 1, 10, 0));
                        insert.executeUpdate();
                    }
                    try (Statement statement = db.connection.createStatement();
                            ResultSet rs = statement.executeQuery("SELECT d, ts FROM " + table + " ORDER BY k")) {
                        for (String day : new String[] {"1867-02-09", "1500-01-01"}) {
                            assertTrue(rs.next());
                            assertEquals(day, rs.getString(1).substring(0, 10), zone + ": stored");
                            assertEquals(day, rs.getDate(1).toString(), zone);
                            assertEquals(LocalDate.parse(day), rs.getObject(1, LocalDate.class), zone);
                            assertEquals(day + " 10:00:00.0", rs.getTimestamp(2).toString(), zone);
                            assertEquals(LocalDate.parse(day).atTime(10, 0), rs.getObject(2, LocalDateTime.class));
                        }
                    }
                }
            });
        }
    }

    /** A Calendar gives its zone and nothing else: setTime kept its milliseconds. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aCalendarGivesItsZoneOnly(Rig rig) throws SQLException {
        Calendar utc = new GregorianCalendar(TimeZone.getTimeZone("UTC"));
        Time time = new Time(Instant.parse("1970-01-01T10:00:00.125Z").toEpochMilli());
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("t " + (rig == Rig.MARIA ? "time(3)" : "time"));
            try (PreparedStatement insert = db.connection.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                insert.setTime(1, time, utc);
                insert.executeUpdate();
            }
            try (Statement statement = db.connection.createStatement();
                    ResultSet rs = statement.executeQuery("SELECT t FROM " + table)) {
                assertTrue(rs.next());
                assertEquals("10:00:00.125", rs.getString(1));
                assertEquals(time.getTime(), rs.getTime(1, utc).getTime());
            }
        }
    }

    /**
     * psqlODBC hands a timestamptz on the session's wall clock without its
     * offset, and keeps " BC" after a timestamp (a DATE's era it drops).
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void postgresOffsetsAndErasSurvive(Rig rig) throws Throwable {
        assumeTrue(rig == Rig.POSTGRES, "only PostgreSQL has timestamptz and BC");
        inZone("Asia/Tokyo", () -> {
            try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement();
                    ResultSet rs = statement.executeQuery("SELECT TIMESTAMPTZ '2004-04-30 21:50:08.5+05:30', "
                            + "TIMESTAMP '0044-03-15 10:00:00 BC'")) {
                assertTrue(rs.next());
                OffsetDateTime instant = OffsetDateTime.parse("2004-04-30T21:50:08.5+05:30");
                assertTrue(instant.isEqual(rs.getObject(1, OffsetDateTime.class)), rs.getString(1));
                assertEquals(instant.toInstant(), rs.getTimestamp(1).toInstant());
                assertEquals(LocalDateTime.of(-43, 3, 15, 10, 0), rs.getObject(2, LocalDateTime.class));
                Calendar fields = new GregorianCalendar();
                fields.setTime(rs.getDate(2));
                assertEquals(GregorianCalendar.BC, fields.get(Calendar.ERA));
                assertEquals(44, fields.get(Calendar.YEAR));
            }
        });
    }

    /** SQLite keeps 64-bit values in INTEGER columns; MariaDB has unsigned INT and BIGINT. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void integersWiderThanTheirTypeAreWhole(Rig rig) throws SQLException {
        boolean maria = rig == Rig.MARIA;
        String wide = rig == Rig.SQLITE ? "10000000000" : maria ? "4294967295" : "2147483647";
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable(maria ? "i int unsigned, u bigint unsigned" : "i integer, u bigint");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (" + wide + ", "
                    + (maria ? "18446744073709551615" : "-1") + ")");
            try (ResultSet rs = statement.executeQuery("SELECT i, u FROM " + table)) {
                assertTrue(rs.next());
                assertEquals(rig == Rig.POSTGRES ? (Object) Integer.parseInt(wide) : Long.parseLong(wide),
                        rs.getObject(1));
                if (maria) {
                    assertEquals("18446744073709551615", rs.getString(2));
                    assertEquals(new BigDecimal("18446744073709551615"), rs.getBigDecimal(2));
                    assertEquals(new BigInteger("18446744073709551615"), rs.getObject(2));
                    SQLException tooWide = assertThrows(SQLDataException.class, () -> rs.getLong(2));
                    assertEquals("22003", tooWide.getSQLState());
                    assertFalse(rs.getMetaData().isSigned(2));
                    assertEquals(BigInteger.class.getName(), rs.getMetaData().getColumnClassName(2));
                } else {
                    assertEquals(-1L, rs.getObject(2));
                    assertTrue(rs.getMetaData().isSigned(2));
                }
            }
        }
    }

    /** A Number of any class is written by its exact value; one beyond every SQL numeric is refused at once. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void numberParametersAreExactOrRefused(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("n numeric(10,2)");
            try (PreparedStatement insert = db.connection.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                DoubleAdder half = new DoubleAdder();
                half.add(0.5);
                insert.setObject(1, half, Types.NUMERIC);
                insert.executeUpdate();
                Executable[] beyond = {
                    () -> insert.setBigDecimal(1, new BigDecimal("1E+999999999")),
                    () -> insert.setObject(1, "1e-999999999", Types.NUMERIC),
                    () -> insert.setObject(1, "1e999999999", Types.INTEGER),
                };
                for (Executable set : beyond) {
                    assertEquals("22003", assertThrows(SQLDataException.class, set).getSQLState());
                }
            }
            try (Statement statement = db.connection.createStatement();
                    ResultSet rs = statement.executeQuery("SELECT n FROM " + table)) {
                assertTrue(rs.next());
                assertEquals(0, new BigDecimal("0.5").compareTo(rs.getBigDecimal(1)), rs.getString(1));
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aLongMoveLandsAfterTheLastRow(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer");
            db.update("INSERT INTO " + table + " VALUES (1), (2), (3)");
            try (Statement statement = db.connection.createStatement(
                    ResultSet.TYPE_SCROLL_INSENSITIVE, ResultSet.CONCUR_READ_ONLY);
                    ResultSet rs = statement.executeQuery("SELECT id FROM " + table + " ORDER BY id")) {
                assertTrue(rs.next());
                assertFalse(rs.relative(Integer.MAX_VALUE));
                assertTrue(rs.isAfterLast());
                assertTrue(rs.previous());
                assertEquals(3, rs.getInt(1));
            }
        }
    }
}

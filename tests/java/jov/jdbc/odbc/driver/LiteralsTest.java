package jov.jdbc.odbc.driver;

import static jov.jdbc.odbc.driver.Dialects.MYSQL;
import static jov.jdbc.odbc.driver.Dialects.OTHER;
import static jov.jdbc.odbc.driver.Dialects.PG;
import static jov.jdbc.odbc.driver.Dialects.PG_ESCAPES;
import static jov.jdbc.odbc.driver.Dialects.SQLITE;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.math.BigDecimal;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.Time;
import java.sql.Timestamp;
import java.sql.Types;
import java.time.LocalDate;
import java.time.LocalTime;
import java.time.OffsetDateTime;
import java.time.ZoneOffset;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** The literal of each type for each dialect, and the values no literal may carry. */
class LiteralsTest {

    private static final String INJECTION = "'); DROP TABLE t;--";
    /** A quote, a backslash and a yen sign, which Windows-31J turns into a second backslash. */
    private static final String OBRIEN = "O'Brien\\\u00A5";

    static List<Arguments> strings() {
        return List.of(
                Arguments.of(OTHER, INJECTION, "'''); DROP TABLE t;--'"),
                Arguments.of(PG, INJECTION, "'''); DROP TABLE t;--'"),
                Arguments.of(SQLITE, OBRIEN, "'O''Brien\\\u00A5'"),
                Arguments.of(PG, OBRIEN, "E'O''Brien\\\\\\\u00A5'"),
                Arguments.of(PG_ESCAPES, OBRIEN, "E'O''Brien\\\\\\\u00A5'"),
                Arguments.of(MYSQL, OBRIEN, "'O''Brien\\\\\\\u00A5'"),
                Arguments.of(PG, "\u30BD\u8868\u80FD", "'\u30BD\u8868\u80FD'"),
                Arguments.of(PG, null, "NULL"));
    }

    @ParameterizedTest
    @MethodSource("strings")
    void quotesTextSoOnlyItsOwnQuoteClosesIt(SqlDialect dialect, String value, String literal) throws SQLException {
        assertEquals(literal, Literals.string(value, dialect));
    }

    @Test
    void refusesNulInsteadOfCuttingTheStatement() {
        SQLDataException e = assertThrows(SQLDataException.class, () -> Literals.string("a\0b", SQLITE));
        assertEquals("22021", e.getSQLState());
        assertThrows(SQLDataException.class, () -> Literals.object("\0", Types.VARCHAR, PG));
    }

    static List<Arguments> literals() throws SQLException {
        byte[] bytes = {0x00, 0x5C, (byte) 0xFF};
        Timestamp nanos = Timestamp.valueOf("2024-02-29 23:59:58.123456789");
        OffsetDateTime tokyo = OffsetDateTime.of(2024, 1, 2, 3, 4, 5, 600_000_000, ZoneOffset.ofHours(9));
        return List.of(
                Arguments.of(Literals.bytes(bytes, PG), "E'\\\\x005CFF'::bytea"),
                Arguments.of(Literals.bytes(bytes, SQLITE), "X'005CFF'"),
                Arguments.of(Literals.bytes(new byte[0], OTHER), "X''"),
                Arguments.of(Literals.timestamp(nanos), "{ts '2024-02-29 23:59:58.123456789'}"),
                Arguments.of(Literals.timestamp(Timestamp.valueOf("2024-01-02 03:04:05.1")), "{ts '2024-01-02 03:04:05.1'}"),
                Arguments.of(Literals.date(java.sql.Date.valueOf("0999-01-02")), "{d '0999-01-02'}"),
                Arguments.of(Literals.time(Time.valueOf("03:04:05")), "{t '03:04:05'}"),
                Arguments.of(Literals.time(new Time(Time.valueOf("03:04:05").getTime() + 250)), "{t '03:04:05.25'}"),
                Arguments.of(Literals.time(LocalTime.of(3, 4, 5, 500_000_000)), "{t '03:04:05.5'}"),
                Arguments.of(Literals.timestamp(tokyo, PG), "'2024-01-02 03:04:05.6+09:00'::timestamptz"),
                Arguments.of(Literals.object(tokyo.withOffsetSameInstant(ZoneOffset.UTC), SQLITE),
                        "'2024-01-01 18:04:05.6+00:00'"),
                Arguments.of(Literals.bool(true, PG) + Literals.bool(false, SQLITE), "TRUE0"),
                Arguments.of(Literals.number(1e-7, SQLITE), "1.0E-7"),
                Arguments.of(Literals.number(Double.NaN, PG), "'NaN'::float8"),
                Arguments.of(Literals.number(Float.NEGATIVE_INFINITY, SQLITE), "-9e999"),
                Arguments.of(Literals.object(new BigDecimal("1E+3"), OTHER), "1000"),
                Arguments.of(Literals.object(0.1f, OTHER), "0.1"),
                Arguments.of(Literals.object(" 42 ", Types.INTEGER, PG), "42"),
                Arguments.of(Literals.object(12, Types.VARCHAR, PG), "'12'"),
                Arguments.of(Literals.object("Yes", Types.BOOLEAN, PG), "TRUE"),
                Arguments.of(Literals.object("2024-01-02", Types.TIMESTAMP, SQLITE), "{ts '2024-01-02 00:00:00'}"),
                Arguments.of(Literals.object(LocalDate.of(2024, 1, 2), Types.DATE, SQLITE), "{d '2024-01-02'}"),
                Arguments.of(Literals.object(2.5, Types.NUMERIC, OTHER), "2.5"));
    }

    @ParameterizedTest
    @MethodSource("literals")
    void writesEachTypeAsItsLiteral(String written, String literal) {
        assertEquals(literal, written);
    }

    static List<Arguments> refusals() {
        return List.of(
                Arguments.of(Double.NaN, Types.DOUBLE, SQLITE, SQLDataException.class, "22003"),
                Arguments.of(Double.POSITIVE_INFINITY, Types.DOUBLE, MYSQL, SQLDataException.class, "22003"),
                Arguments.of("4x", Types.INTEGER, PG, SQLDataException.class, "22018"),
                Arguments.of("1.5", Types.BIGINT, PG, SQLDataException.class, "22018"),
                Arguments.of(300, Types.TINYINT, PG, SQLDataException.class, "22003"),
                Arguments.of("2024-13-01", Types.DATE, PG, SQLDataException.class, "22007"),
                Arguments.of(LocalDate.of(10000, 1, 1), Types.DATE, PG, SQLDataException.class, "22008"),
                Arguments.of(new byte[1], Types.INTEGER, PG, SQLException.class, "07006"),
                Arguments.of("x", Types.ARRAY, PG, SQLFeatureNotSupportedException.class, "0A000"),
                Arguments.of(new Object(), Types.OTHER, PG, SQLFeatureNotSupportedException.class, "0A000"));
    }

    @ParameterizedTest
    @MethodSource("refusals")
    void refusesWhatNoLiteralCanHold(Object value, int type, SqlDialect dialect, Class<? extends SQLException> kind,
            String state) {
        assertEquals(state, assertThrows(kind, () -> Literals.object(value, type, dialect)).getSQLState());
    }
}

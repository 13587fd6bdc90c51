package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertInstanceOf;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.math.BigDecimal;
import java.sql.Connection;
import java.sql.DataTruncation;
import java.sql.Date;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.ResultSetMetaData;
import java.sql.SQLException;
import java.sql.Statement;
import java.sql.Time;
import java.sql.Timestamp;
import java.sql.Types;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.util.UUID;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Reading results: typed values, metadata, scrolling, values cut at the library's limit. */
class JdbcResultSetTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    /** The text rendering keeps six decimals; the typed getters must not. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void numbersAreExact(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("d " + rig.doubleType + ", i integer, b bigint, n numeric(10,3)");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (0.0000001, -7, 9007199254740993, 12.500)");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (1.0/3, NULL, NULL, NULL)");
            try (ResultSet rs = statement.executeQuery("SELECT d, i, b, n FROM " + table + " ORDER BY d")) {
                assertTrue(rs.next());
                assertEquals(1e-7, rs.getDouble("D"));
                assertEquals(Double.toString(1e-7), rs.getString(1));
                assertEquals(-7, rs.getInt("i"));
                assertEquals(9007199254740993L, rs.getLong(3));
                assertEquals("9007199254740993", rs.getString(3));
                if (rig != Rig.SQLITE) {
                    assertEquals(new BigDecimal("12.500"), rs.getBigDecimal(4), "scale kept");
                    assertEquals(3, rs.getMetaData().getScale(4));
                }
                assertTrue(rs.next());
                // The SQLite ODBC driver hands out doubles with 15 significant
                // digits; MariaDB divides 1.0/3 as a DECIMAL of nine decimals.
                double third = rig == Rig.SQLITE ? 0.333333333333333 : rig == Rig.MARIA ? 0.333333333 : 1.0 / 3;
                assertEquals(third, rs.getDouble(1));
                assertEquals(Double.toString(third), rs.getObject(1).toString());
                assertEquals(0, rs.getInt(2));
                assertTrue(rs.wasNull());
                assertNull(rs.getObject(3));
                assertNull(rs.getObject(2, Integer.class));
                assertNull(rs.getBigDecimal(4));
                assertThrows(SQLException.class, () -> rs.getInt("nope"));
                ResultSetMetaData meta = rs.getMetaData();
                assertEquals(Types.DOUBLE, meta.getColumnType(1) == Types.FLOAT ? Types.DOUBLE : meta.getColumnType(1));
                assertEquals(Types.INTEGER, meta.getColumnType(2));
                assertEquals(Types.BIGINT, meta.getColumnType(3));
                assertEquals("i", meta.getColumnLabel(2).toLowerCase());
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void datesAndTimesKeepTheirFractions(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("d date, t time, ts " + rig.timestampType);
            statement.executeUpdate("INSERT INTO " + table
                    + " VALUES ('2004-04-30', '21:50:08', '2004-04-30 21:50:08.123456')");
            try (ResultSet rs = statement.executeQuery("SELECT d, t, ts FROM " + table)) {
                assertTrue(rs.next());
                assertEquals(Date.valueOf("2004-04-30"), rs.getDate(1));
                assertEquals(Time.valueOf("21:50:08"), rs.getTime(2));
                Timestamp ts = rs.getTimestamp(3);
                assertEquals(Timestamp.valueOf("2004-04-30 21:50:08.123456"), ts);
                assertEquals(123456000, ts.getNanos());
                assertInstanceOf(Date.class, rs.getObject(1));
                assertInstanceOf(Time.class, rs.getObject(2));
                assertInstanceOf(Timestamp.class, rs.getObject(3));
                assertEquals(LocalDateTime.of(2004, 4, 30, 21, 50, 8, 123456000),
                        rs.getObject("TS", LocalDateTime.class));
                assertEquals(LocalDate.of(2004, 4, 30), rs.getObject(1, LocalDate.class));
                ResultSetMetaData meta = rs.getMetaData();
                assertEquals(Types.DATE, meta.getColumnType(1));
                assertEquals(Types.TIME, meta.getColumnType(2));
                assertEquals(Types.TIMESTAMP, meta.getColumnType(3));
            }
        }
    }

    /** psqlODBC hands a uuid as an ODBC GUID, a structure the library has no text for. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aGuidReadsAsAUuid(Rig rig) throws SQLException {
        assumeTrue(rig == Rig.POSTGRES, "only psqlODBC hands out a GUID");
        UUID uuid = UUID.fromString("0123e567-89ab-4cde-8f01-23456789abcd");
        try (Connection connection = Jdbc.connect(rig); Statement statement = connection.createStatement();
                ResultSet rs = statement.executeQuery("SELECT '" + uuid + "'::uuid")) {
            assertTrue(rs.next());
            assertEquals(uuid, rs.getObject(1));
            assertEquals(uuid.toString(), rs.getString(1));
            assertEquals(UUID.class.getName(), rs.getMetaData().getColumnClassName(1));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void scrollingMovesByRowNumbers(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer");
            db.update("INSERT INTO " + table + " VALUES (1), (2), (3), (4), (5)");
            try (Statement statement = db.connection.createStatement(
                    ResultSet.TYPE_SCROLL_INSENSITIVE, ResultSet.CONCUR_READ_ONLY);
                    ResultSet rs = statement.executeQuery("SELECT id FROM " + table + " ORDER BY id")) {
                assertTrue(rs.absolute(3));
                assertEquals(3, rs.getInt(1));
                assertTrue(rs.previous());
                assertEquals(2, rs.getRow());
                assertTrue(rs.last());
                assertEquals(5, rs.getRow());
                assertEquals(5, rs.getInt(1));
                rs.afterLast();
                assertTrue(rs.isAfterLast());
                assertTrue(rs.previous());
                assertEquals(5, rs.getInt(1));
                assertTrue(rs.relative(-2));
                assertEquals(3, rs.getInt(1));
                assertTrue(rs.first());
                assertTrue(rs.isFirst());
                rs.beforeFirst();
                assertTrue(rs.isBeforeFirst());
                assertTrue(rs.next());
                assertEquals(1, rs.getInt(1));
                assertTrue(rs.absolute(-1));
                assertEquals(5, rs.getInt(1));
                assertFalse(rs.absolute(6));
                assertEquals(0, rs.getRow());
                assertThrows(SQLException.class, () -> rs.getInt(1), "not on a row");
                assertFalse(rs.relative(-6));
                assertTrue(rs.isBeforeFirst());
            }
            try (Statement statement = db.connection.createStatement();
                    ResultSet rs = statement.executeQuery("SELECT id FROM " + table)) {
                assertTrue(rs.next());
                assertThrows(SQLException.class, rs::previous, "forward-only");
            }
        }
    }

    /** The library gives NULL as the empty value; the driver must still tell them apart. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void emptyValuesAreNotNull(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer, b " + rig.binaryType + ", s varchar(10)");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (1, " + rig.binaryLiteral("") + ", '')");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (2, NULL, NULL)");
            try (ResultSet rs = statement.executeQuery("SELECT b, s FROM " + table + " ORDER BY id")) {
                assertTrue(rs.next());
                assertEquals(0, rs.getBytes(1).length);
                assertFalse(rs.wasNull());
                assertEquals("", rs.getString(2));
                assertTrue(rs.next());
                assertNull(rs.getBytes(1));
                assertTrue(rs.wasNull());
                assertNull(rs.getString(2));
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aValuePastTheNativesLimitIsWhole(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("short_text varchar(10), long_text " + rig.longTextType);
            statement.executeUpdate("INSERT INTO " + table + " VALUES ('ok', '" + "x".repeat(70_000) + "')");
            try (ResultSet rs = statement.executeQuery("SELECT short_text, long_text FROM " + table)) {
                assertTrue(rs.next());
                assertEquals("ok", rs.getString(1));
                assertEquals(70_000, rs.getString(2).length());
                assertNull(rs.getWarnings());
            }
        }
    }

    private static final int BLOCK = 3;
    private static final int ROWS = 7;

    /**
     * Row id's values of (i, d, s, n, ts, b, t): NULL wherever a block of
     * three has one first, last and in every row (column i in rows 4-6), all
     * NULL in rows 4 and 6; LOBs and long text beside bound columns; on
     * SQLite, text longer than its column's declared size.
     */
    private static Object[] blockRow(Rig rig, int id) {
        String s = rig == Rig.SQLITE && id == ROWS ? "é😀".repeat(10) : "é😀" + id;
        Object[] row = {id * 1000 - 7, id + 0.25, s, new BigDecimal(id + ".50"),
            Timestamp.valueOf("2026-12-0" + id + " 10:11:12"), new byte[3000 * id], "x".repeat(600 * id) + "😀"};
        ((byte[]) row[5])[id] = (byte) id;
        for (int c = 0; c < row.length; c++) {
            if (id == 4 || id == 6 || (c == 0 && id == 5) || c == id % row.length) {
                row[c] = null;
            }
        }
        return row;
    }

    private static String blockTable(Jdbc db, Rig rig) throws SQLException {
        String table = db.createTable("id integer, i integer, d " + rig.doubleType + ", s varchar(8), n numeric(8,2), ts "
                + rig.timestampType + ", b " + rig.binaryType + ", t " + rig.longTextType);
        try (PreparedStatement insert = db.connection.prepareStatement(
                "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?, ?, ?, ?)")) {
            for (int id = 1; id <= ROWS; id++) {
                insert.setInt(1, id);
                Object[] row = blockRow(rig, id);
                for (int c = 0; c < row.length; c++) {
                    insert.setObject(c + 2, row[c]);
                }
                insert.executeUpdate();
            }
        }
        return table;
    }

    private static void assertBlockRow(Rig rig, ResultSet rs, int id) throws SQLException {
        Object[] row = blockRow(rig, id);
        assertEquals(id, rs.getInt(1));
        assertEquals(row[0] == null ? null : row[0].toString(), rs.getString(2), "i of " + id);
        assertEquals(row[0] == null, rs.wasNull());
        assertEquals(row[0] == null ? 0 : ((Integer) row[0]).longValue(), rs.getLong(2));
        assertEquals(row[1] == null ? 0 : (Double) row[1], rs.getDouble(3));
        assertEquals(row[1] == null, rs.wasNull(), "d of " + id);
        assertEquals(row[2], rs.getString(4), "s of " + id);
        assertEquals(row[3] == null ? 0 : ((BigDecimal) row[3]).doubleValue(), rs.getDouble(5));
        assertEquals(row[3] == null, rs.wasNull(), "n of " + id);
        assertEquals(row[4], rs.getTimestamp(6), "ts of " + id);
        assertArrayEquals((byte[]) row[5], rs.getBytes(7), "b of " + id);
        assertEquals(row[6], rs.getString(8), "t of " + id);
        assertEquals(row[6] == null, rs.wasNull());
    }

    /** Blocks of three rows, read twice through one prepared statement: a result ending inside a block, then at its end. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void rowsInBlocksKeepEveryValue(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = blockTable(db, rig);
            try (PreparedStatement select = db.connection.prepareStatement(
                    "SELECT * FROM " + table + " WHERE id <= ? ORDER BY id")) {
                select.setFetchSize(BLOCK);
                for (int last : new int[] {ROWS, 2 * BLOCK}) {
                    select.setInt(1, last);
                    try (ResultSet rs = select.executeQuery()) {
                        for (int id = 1; id <= last; id++) {
                            assertTrue(rs.next());
                            assertEquals(id, rs.getRow());
                            assertBlockRow(rig, rs, id);
                        }
                        assertFalse(rs.next());
                        assertTrue(rs.isAfterLast());
                        assertThrows(SQLException.class, () -> rs.getString(1), "no row after the last");
                    }
                }
                select.setMaxRows(BLOCK + 1);
                try (ResultSet rs = select.executeQuery()) {
                    for (int id = 1; id <= BLOCK + 1; id++) {
                        assertTrue(rs.next());
                    }
                    assertFalse(rs.next(), "maxRows cuts inside a block");
                }
            }
        }
    }

    /** A scrollable result over blocks of three: every move lands on the right row, wherever its block. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void scrollingCrossesBlocks(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig);
                Statement statement = db.connection.createStatement(
                        ResultSet.TYPE_SCROLL_INSENSITIVE, ResultSet.CONCUR_READ_ONLY)) {
            String table = blockTable(db, rig);
            statement.setFetchSize(BLOCK);
            try (ResultSet rs = statement.executeQuery("SELECT * FROM " + table + " ORDER BY id")) {
                assertTrue(rs.absolute(5));
                assertBlockRow(rig, rs, 5);
                assertTrue(rs.previous());
                assertBlockRow(rig, rs, 4);
                assertTrue(rs.relative(-3));
                assertBlockRow(rig, rs, 1);
                assertTrue(rs.last());
                assertTrue(rs.isLast());
                assertEquals(ROWS, rs.getRow());
                assertBlockRow(rig, rs, ROWS);
                rs.afterLast();
                assertTrue(rs.previous());
                assertBlockRow(rig, rs, ROWS);
                assertTrue(rs.absolute(-4));
                assertBlockRow(rig, rs, 4);
                assertTrue(rs.next());
                assertBlockRow(rig, rs, 5);
            }
        }
    }

    /**
     * Bytes that are not UTF-8 read alike from a block and per value (a
     * value too long for its slot): one U+FFFD per byte.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void textNotInUtf8ReadsAsPerValue(Rig rig) throws SQLException {
        assumeTrue(rig == Rig.SQLITE, "only SQLite stores bytes that are not UTF-8 as text");
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer, s varchar(10)");
            String bad = "CAST(X'41E38142F09F98' AS TEXT)";
            statement.executeUpdate("INSERT INTO " + table + " VALUES (1, " + bad + ")");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (2, " + bad + " || hex(zeroblob(600)))");
            try (ResultSet rs = statement.executeQuery("SELECT id, s FROM " + table + " ORDER BY id")) {
                String decoded = "A\uFFFD\uFFFDB\uFFFD\uFFFD\uFFFD";
                assertTrue(rs.next());
                assertEquals(decoded, rs.getString(2));
                assertTrue(rs.next());
                assertEquals(decoded + "0".repeat(1200), rs.getString(2));
            }
        }
    }
}

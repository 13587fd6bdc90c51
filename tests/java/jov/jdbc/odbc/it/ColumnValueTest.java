package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.Charset;
import java.time.LocalDate;
import java.time.LocalDateTime;
import java.time.ZoneId;
import java.util.ArrayList;
import java.util.List;
import org.junit.jupiter.api.function.Executable;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Column metadata and values of every common type, read back as text, bytes and times. */
class ColumnValueTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final Charset WINDOWS_31J = Charset.forName("windows-31j");

    private static final String[] NAMES = {"k", "i", "s", "b", "d", "r", "n", "dt", "ts", "t", "bl"};

    /** One table holding every type the tests read, with a row of NULLs. */
    private static String createTypesTable(Db db) {
        Rig rig = db.rig;
        String table = db.createTable("k integer, i integer, s smallint, b bigint, d " + rig.doubleType
                + ", r real, n decimal(10,2), dt date, ts timestamp, t varchar(40), bl " + rig.binaryType);
        db.exec("INSERT INTO " + table + " VALUES (1, 42, -7, 9000000000, 1.5, 0.25, 123.45,"
                + " '2004-04-30', '2004-04-30 21:50:08', 'abc', " + rig.binaryLiteral("000aff") + ")");
        db.exec("INSERT INTO " + table + " (k) VALUES (2)");
        db.exec("INSERT INTO " + table + " VALUES (3, -2147483648, 32767, -1, 100.0, 0.1, 0.01,"
                + " '1999-12-31', '2000-01-01 00:00:00', '', " + rig.binaryLiteral("ff") + ")");
        return table;
    }

    private static String selectAll(String table) {
        return "SELECT " + String.join(", ", NAMES) + " FROM " + table + " ORDER BY k";
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void everyTypeRendersAsText(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = createTypesTable(db);
            List<String> nulls = List.of("2", "", "", "", "", "", "", "", "", "", "");
            assertEquals(List.of(
                    List.of("1", "42", "-7", "9000000000", "1.5", "0.25", "123.45",
                            "04/04/30 00:00:00", "04/04/30 21:50:08", "abc", "000aff"),
                    nulls,
                    List.of("3", "-2147483648", "32767", "-1", "100.0", "0.1", "0.01",
                            "99/12/31 00:00:00", "00/01/01 00:00:00", "", "ff")),
                    db.rows(selectAll(table)));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void integersWiderThanTheirColumnComeWhole(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, i integer, s smallint");
            String wide = "INSERT INTO " + table + " VALUES (1, 1099511627776, 100000)";
            if (rig != Rig.SQLITE) {
                // PostgreSQL's and MariaDB's integer and smallint hold nothing wider.
                assertEquals(-1, JNIODBCexecSQLUpdate(db.id, wide));
                return;
            }
            // SQLite keeps any 64-bit value in them, and its driver still
            // reports SQL_INTEGER and SQL_SMALLINT.
            db.exec(wide);
            db.exec("INSERT INTO " + table + " VALUES (2, -4294967297, -32768)");
            assertEquals(List.of(List.of("1099511627776", "100000"), List.of("-4294967297", "-32768")),
                    db.rows("SELECT i, s FROM " + table + " ORDER BY k"));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void textOf65536BytesComesWholeAndLongerIsCut(Rig rig) {
        String ascii = "0123456789abcdef".repeat(4096);
        String japanese = "日本語テキスト表".repeat(4096);  // 65536 bytes in Windows-31J
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, s " + rig.longTextType);
            db.exec("INSERT INTO " + table + " VALUES (1, '" + ascii + "')");
            db.exec("INSERT INTO " + table + " VALUES (2, '" + ascii + "xyz')");
            db.exec("INSERT INTO " + table + " VALUES (3, '" + japanese + "')");
            List<String> values = db.column("SELECT s FROM " + table + " ORDER BY k");
            assertAll(
                    () -> assertTrue(ascii.equals(values.get(0)), "65536 bytes whole: " + values.get(0).length()),
                    () -> assertTrue(ascii.equals(values.get(1)), "cut at 65536: " + values.get(1).length()),
                    () -> assertTrue(japanese.equals(values.get(2)), "32768 kanji whole: " + values.get(2).length()));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void columnMetadataIsTheDriversCatalogue(Rig rig) {
        // SQL_DESC_TYPE as each driver reports it. sqliteodbc: a declared real
        // is SQL_DOUBLE, a decimal is SQL_VARCHAR, dates are the concise types
        // 91 and 93, a blob SQL_BINARY. psqlODBC: double precision is
        // SQL_FLOAT, dates give the verbose SQL_DATETIME (9), bytea is
        // SQL_LONGVARBINARY. MariaDB: double and real are SQL_DOUBLE, decimal
        // SQL_DECIMAL, dates the verbose SQL_DATETIME, longblob
        // SQL_LONGVARBINARY.
        short[] types = rig == Rig.SQLITE
                ? new short[] {4, 4, 5, -5, 8, 8, 12, 91, 93, 12, -2}
                : rig == Rig.POSTGRES
                ? new short[] {4, 4, 5, -5, 6, 7, 2, 9, 9, 12, -4}
                : new short[] {4, 4, 5, -5, 8, 8, 3, 9, 9, 12, -4};
        try (Db db = Db.open(rig)) {
            int cursor = db.query(selectAll(createTypesTable(db)));
            assertEquals(NAMES.length, JNIODBCgetColumnNum(db.id, cursor));
            assertTrue(db.next(cursor));
            List<Executable> checks = new ArrayList<>();
            for (int c = 1; c <= NAMES.length; c++) {
                int column = c;
                checks.add(() -> assertEquals(NAMES[column - 1], JNIODBCgetColumnName(db.id, cursor, column)));
                checks.add(() -> assertEquals(types[column - 1], JNIODBCgetColumnType(db.id, cursor, column),
                        "type of " + NAMES[column - 1]));
            }
            assertAll(checks);
            int n = 7;
            // sqliteodbc alone reports the decimal without its precision and scale.
            assertEquals(rig == Rig.SQLITE ? 0 : 10, JNIODBCgetColumnNumericPrecision(db.id, cursor, n));
            assertEquals(rig == Rig.SQLITE ? 0 : 2, JNIODBCgetColumnNumericScale(db.id, cursor, n));
            // psqlODBC reports no total length (-4) for bytea: it comes back
            // with its sign, not as a large positive number. MariaDB's 2^32 - 1
            // for a longblob is kept as the longest length the library holds.
            long blobLength = rig == Rig.SQLITE ? 255 : rig == Rig.POSTGRES ? -4 : Integer.MAX_VALUE;
            assertEquals(blobLength, JNIODBCgetColumnOctetLength(db.id, cursor, 11));
            assertEquals(40, JNIODBCgetColumnOctetLength(db.id, cursor, 10));
            assertEquals("", JNIODBCgetColumnName(db.id, cursor, 12), "one past the last column");
            assertEquals(0, JNIODBCgetColumnType(db.id, cursor, 0));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void nullAndEmptyValues(Rig rig) {
        try (Db db = Db.open(rig)) {
            int cursor = db.query(selectAll(createTypesTable(db)));
            assertTrue(db.next(cursor));
            assertTrue(db.next(cursor));
            List<Executable> checks = new ArrayList<>();
            for (int c = 2; c <= NAMES.length; c++) {
                int column = c;
                String name = NAMES[c - 1];
                checks.add(() -> assertEquals(1, JNIODBCisColumnDataNull(db.id, cursor, column), name));
                checks.add(() -> assertEquals("", db.string(cursor, column), name));
                checks.add(() -> assertEquals(0, JNIODBCgetColumnDataBinary(db.id, cursor, column).length, name));
                checks.add(() -> assertEquals(0, JNIODBCgetColumnFetchDataLength(db.id, cursor, column), name));
                checks.add(() -> assertEquals(0, JNIODBCgetColumnDataTimet(db.id, cursor, column), name));
                checks.add(() -> assertEquals(0, JNIODBCgetColumnNumericPrecision(db.id, cursor, column), name));
            }
            assertAll(checks);

            assertTrue(db.next(cursor));
            int t = 10;
            assertEquals(0, JNIODBCisColumnDataNull(db.id, cursor, t), "'' is not NULL");
            assertEquals("", db.string(cursor, t));
            assertEquals(0, JNIODBCgetColumnDataBinary(db.id, cursor, t).length);
            assertEquals(0, JNIODBCgetColumnFetchDataLength(db.id, cursor, t));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void valuesAsBytesAndTimes(Rig rig) {
        try (Db db = Db.open(rig)) {
            int cursor = db.query(selectAll(createTypesTable(db)));
            assertTrue(db.next(cursor));
            assertArrayEquals(new byte[] {0x00, 0x0a, (byte) 0xff}, JNIODBCgetColumnDataBinary(db.id, cursor, 11));
            assertEquals(3, JNIODBCgetColumnFetchDataLength(db.id, cursor, 11));
            assertArrayEquals("abc".getBytes(WINDOWS_31J), JNIODBCgetColumnDataBinary(db.id, cursor, 10));
            // Decimals, dates and times are held as the driver's text.
            assertArrayEquals("2004-04-30".getBytes(WINDOWS_31J), JNIODBCgetColumnDataBinary(db.id, cursor, 8));

            ZoneId zone = ZoneId.systemDefault();
            long midnight = LocalDate.of(2004, 4, 30).atStartOfDay(zone).toEpochSecond();
            long evening = LocalDateTime.of(2004, 4, 30, 21, 50, 8).atZone(zone).toEpochSecond();
            assertEquals(midnight, JNIODBCgetColumnDataTimet(db.id, cursor, 8));
            assertEquals(evening, JNIODBCgetColumnDataTimet(db.id, cursor, 9));
            assertEquals(0, JNIODBCgetColumnDataTimet(db.id, cursor, 2), "not a date");
            assertEquals(0, JNIODBCgetColumnDataTimet(db.id, cursor, 99), "no such column");
            assertEquals(0, JNIODBCisColumnDataNull(db.id, cursor, 99), "no such column");
            assertEquals(0, JNIODBCisColumnDataNull(db.id, 7, 1), "no such cursor");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void identifier999OnTheColumnNatives(Rig rig) {
        try (Db db = Db.open(rig)) {
            int cursor = db.query("SELECT 1");
            assertTrue(db.next(cursor));
            assertEquals(1, JNIODBCisColumnDataNull(999, cursor, 1));
            assertEquals(1, JNIODBCgetColumnDataTimet(999, cursor, 1));
            assertEquals(0, JNIODBCgetColumnNoFromName(999, cursor, "N"));
            assertEquals(0, JNIODBCgetColumnType(999, cursor, 1));
            assertEquals("JovJdbcOdbc-02", JNIODBCgetErrorCode());
            assertEquals("1", db.string(cursor, 1), "the real connection is untouched");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void columnNumberFromName(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("id integer, empno integer, 名前 varchar(10)");
            int cursor = db.query("SELECT id, empno, 名前 FROM " + table);
            // Blanks (also the full-width one) and the case of a to z are ignored.
            Object[][] cases = {
                {"empno", 2}, {"EMPNO", 2}, {"emp no", 2}, {" E m P n O ", 2}, {"ID", 1},
                {"名前", 3}, {"名　前", 3}, {"empn", -1}, {"", -1}, {null, -1},
            };
            for (Object[] c : cases) {
                assertEquals(c[1], JNIODBCgetColumnNoFromName(db.id, cursor, (String) c[0]), "name " + c[0]);
            }
            assertEquals("名前", JNIODBCgetColumnName(db.id, cursor, 3));

            // Both drivers cut this 29-byte name to 28 bytes, inside its last
            // 日: only whole characters are kept, and they find the column.
            String longName = "a" + "日".repeat(14);
            int named = db.query("SELECT 1 AS \"" + longName + "\"");
            String returned = JNIODBCgetColumnName(db.id, named, 1);
            assertEquals(longName.substring(0, 14), returned);
            assertEquals(1, JNIODBCgetColumnNoFromName(db.id, named, returned));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void dateStyleBelongsToOneConnection(Rig rig) {
        try (Db db = Db.open(rig); Db other = Db.open(rig)) {
            String table = createTypesTable(db);
            String select = "SELECT ts FROM " + table + " WHERE k = 1";
            JNIODBCsetDateStyle(db.id, (short) 0);
            assertEquals(List.of("2004-04-30 21:50:08"), db.column(select));
            assertEquals(List.of("04/04/30 21:50:08"), other.column(select));
            // {style, rendering}; every code without a form of its own gets yyyy/mm/dd.
            Object[][] styles = {
                {1, "04-04-30 21:50:08"}, {10, "30/04/2004 21:50:08"}, {11, "30/04/04 21:50:08"},
                {21, "04/04/30 21:50:08"}, {2, "2004/04/30 21:50:08"}, {-1, "2004/04/30 21:50:08"},
            };
            for (Object[] s : styles) {
                JNIODBCsetDateStyle(db.id, ((Integer) s[0]).shortValue());
                assertEquals(List.of(s[1]), db.column(select), "style " + s[0]);
            }
        }
    }
}

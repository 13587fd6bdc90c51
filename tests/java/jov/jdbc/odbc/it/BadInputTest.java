package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static jov.jdbc.odbc.it.Db.assertRecord;
import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.IntFunction;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.function.Executable;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * What a careless Java program sends: null, empty and 100,000-character
 * strings, characters that Windows-31J lacks, lone surrogates, identifiers,
 * cursor handles, column numbers and fetch orientations at and beyond every
 * bound, and calls on a connection closed in the middle of a fetch loop. Each
 * call gets its failure value and record, and the JVM lives on.
 *
 * <p>A null string is taken as the empty text; a character without a
 * Windows-31J mapping (U+00E9, a surrogate pair, a lone surrogate) becomes one
 * '?'. A data source, user or password that does not fit its buffer or holds
 * U+0000, and SQL holding U+0000, are refused with a record of the library's
 * own; a requested column name too long for its buffer is the empty name.
 */
class BadInputTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final String HUGE = "x".repeat(100_000);
    /** U+00E9, U+1F600 as a surrogate pair, and a lone high surrogate: three '?'. */
    private static final String OUTSIDE = "\u00e9\ud83d\ude00\ud800";
    private static final String OUT_OF_RANGE = "(JovJdbcOdbc)データベース識別子(%d)は範囲外です";
    private static final String NOT_OPEN = "(JovJdbcOdbc)データベース識別子(%d)はオープンされていません";
    private static final String INVALID_CURSOR = "(ODBCACCS)Invalid Open Cursol Handle=";
    private static final String NUL_IN_SQL = "(JNIODBCexecSQLQuery)NUL Character in SQL(Position=";

    /** The record of the open just made, to compare another open's with. */
    private static List<String> record() {
        return List.of(JNIODBCgetErrorCode(), JNIODBCgetErrorString());
    }

    /** Opens with the strings and closes again; the outcome is -1 with its record, or "open". */
    private static List<String> openOutcome(String dataSource, String user, String password) {
        int id = JNIODBCopen(dataSource, user, password);
        if (id >= 1) {
            JNIODBCclose(id);
            return List.of("open");
        }
        assertEquals(-1, id);
        return record();
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void openTakesNullAsTheEmptyTextAndRefusesWhatWouldNotArriveWhole(Rig rig) {
        List<String> empty = openOutcome("", "", "");
        assertEquals("IM002", empty.get(0), "no data source of the empty name");
        for (String dataSource : new String[] {null, "A:B:"}) {
            assertEquals(empty, openOutcome(dataSource, rig.user, rig.password),
                    "data source " + describe(dataSource));
        }
        assertEquals(-1, JNIODBCopen(rig.dataSource + OUTSIDE, rig.user, rig.password));
        assertEquals("IM002", JNIODBCgetErrorCode(), "data source " + rig.dataSource + "???");

        // A null user and password are empty texts; SQLite ignores both, and
        // psqlODBC then takes the user and password of the data source's
        // definition. A text that would reach the driver cut, emptied or ended
        // at a NUL is refused instead: psqlODBC would connect as that user.
        assertEquals(List.of("open"), openOutcome(rig.dataSource, null, null));
        String[][] refused = {
            {HUGE, rig.user, rig.password, "Data Source Too Long(Max=127 Bytes)"},
            {rig.dataSource + "\u0000x", rig.user, rig.password,
                "NUL Character in Data Source(Position=" + rig.dataSource.length() + ")"},
            {rig.dataSource, "u".repeat(70), rig.password, "User Too Long(Max=63 Bytes)"},
            {rig.dataSource, "\u0000" + rig.user, rig.password, "NUL Character in User(Position=0)"},
            {rig.dataSource, rig.user, HUGE, "Password Too Long(Max=63 Bytes)"},
        };
        for (String[] r : refused) {
            assertEquals(List.of("", "(JNIODBCopen)" + r[3]), openOutcome(r[0], r[1], r[2]),
                    describe(r[0]) + ", " + describe(r[1]) + ", " + describe(r[2]));
        }
    }

    /** The driver reads SQL up to its first NUL: "DELETE FROM t" would empty the table. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void sqlHoldingNulIsRefusedBeforeTheDriverSeesIt(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("id integer");
            db.exec("INSERT INTO " + table + " VALUES (1), (2), (3)");
            String delete = "DELETE FROM " + table;
            assertEquals(-1, JNIODBCexecSQLUpdate(db.id, delete + "\u0000 WHERE id = 3"));
            assertRecord("", NUL_IN_SQL + delete.length() + ")");
            String select = "SELECT id FROM " + table;
            assertEquals(-1, JNIODBCexecSQLQuery(db.id, select + "\u0000 WHERE id = 3"));
            assertRecord("", NUL_IN_SQL + select.length() + ")");
            assertEquals(List.of("1", "2", "3"), db.column(select + " ORDER BY id"));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aFailedOpenGivesItsSlotBack(Rig rig) {
        int lowest = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        assertTrue(lowest >= 1, Db::lastError);
        JNIODBCclose(lowest);
        for (int attempt = 0; attempt < 3; attempt++) {
            assertEquals(-1, JNIODBCopen(null, null, null));
        }
        int again = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        JNIODBCclose(again);
        assertEquals(lowest, again, "the failed opens left the lowest slot free");
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void nullSqlAndNamesAreTheEmptyText(Rig rig) {
        try (Db db = Db.open(rig)) {
            // Only the codes are compared: psqlODBC's message for an empty
            // statement depends on what the connection did before.
            assertEquals(-1, JNIODBCexecSQLQuery(db.id, ""));
            String emptyQuery = JNIODBCgetErrorCode();
            assertEquals(-1, JNIODBCexecSQLQuery(db.id, null));
            assertEquals(emptyQuery, JNIODBCgetErrorCode(), "query null as \"\"");

            int emptyUpdate = JNIODBCexecSQLUpdate(db.id, "");
            String emptyUpdateCode = JNIODBCgetErrorCode();
            assertEquals(emptyUpdate, JNIODBCexecSQLUpdate(db.id, null), "update null as \"\"");
            assertEquals(emptyUpdateCode, JNIODBCgetErrorCode());

            // An empty requested name matches the first column whose name is blank.
            int cursor = db.query("SELECT 1 AS a, 2 AS \" \"");
            assertEquals(2, JNIODBCgetColumnNoFromName(db.id, cursor, ""));
            assertEquals(2, JNIODBCgetColumnNoFromName(db.id, cursor, null));
            assertEquals(2, JNIODBCgetColumnNoFromName(db.id, cursor, HUGE), "a name that does not fit is empty");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void sqlOfAHundredThousandCharactersPassesWhole(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("s " + rig.longTextType);
            assertEquals(1, JNIODBCexecSQLUpdate(db.id, "INSERT INTO " + table + " VALUES ('" + HUGE + "')"),
                    Db::lastError);
            assertEquals(List.of("100000"), db.column("SELECT LENGTH(s) FROM " + table));

            // The value comes back cut to what one fetch keeps of a value.
            int cursor = db.query("SELECT '" + HUGE + "' AS s");
            assertTrue(db.next(cursor));
            long length = JNIODBCgetColumnFetchDataLength(db.id, cursor, 1);
            assertTrue(length > 60_000 && length <= 65_536, "kept " + length + " bytes");
            assertEquals(HUGE.substring(0, (int) length), db.string(cursor, 1));
            assertEquals(length, JNIODBCgetColumnDataBinary(db.id, cursor, 1).length);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void charactersWithoutAWindows31JMappingBecomeQuestionMarks(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, s varchar(20)");
            db.exec("INSERT INTO " + table + " VALUES (1, 'a" + OUTSIDE + "b')");
            assertEquals(List.of("a???b"), db.column("SELECT s FROM " + table));
            assertEquals(List.of("a???b"), db.column("SELECT 'a" + OUTSIDE + "b'"));

            int cursor = db.query("SELECT 1 AS \"x?\"");
            for (String name : new String[] {"x\u00e9", "x\ud83d\ude00", "x\ud800", "x\udc00", "X?"}) {
                assertEquals(1, JNIODBCgetColumnNoFromName(db.id, cursor, name), describe(name));
            }
        }
    }

    /** Each native that takes an identifier, given the worst of everything else too. */
    private static Map<String, IntFunction<Object>> nativesWithBadArguments() {
        int min = Integer.MIN_VALUE;
        int max = Integer.MAX_VALUE;
        return Map.ofEntries(
                Map.entry("close", id -> { JNIODBCclose(id); return null; }),
                Map.entry("isOpenOk 0", id -> JNIODBCisOpenOk(id) == 0),
                Map.entry("getOpenDataSource \"\"", id -> JNIODBCgetOpenDataSource(id).isEmpty()),
                Map.entry("setAutoCommit", id -> { JNIODBCsetAutoCommit(id, min); return null; }),
                Map.entry("getAutoCommit 0", id -> JNIODBCgetAutoCommit(id) == 0),
                Map.entry("commitTran -1", id -> JNIODBCcommitTran(id) == -1),
                Map.entry("rollbackTran -1", id -> JNIODBCrollbackTran(id) == -1),
                Map.entry("execSQLQuery null -1", id -> JNIODBCexecSQLQuery(id, null) == -1),
                Map.entry("execSQLQuery huge -1", id -> JNIODBCexecSQLQuery(id, HUGE + OUTSIDE) == -1),
                Map.entry("execSQLUpdate null -1", id -> JNIODBCexecSQLUpdate(id, null) == -1),
                Map.entry("execSQLUpdate huge -1", id -> JNIODBCexecSQLUpdate(id, OUTSIDE + HUGE) == -1),
                Map.entry("getCursorHandle -1", id -> JNIODBCgetCursorHandle(id) == -1),
                Map.entry("closeCursor", id -> { JNIODBCcloseCursor(id, max); return null; }),
                Map.entry("getColumnNum -1", id -> JNIODBCgetColumnNum(id, min) == -1),
                Map.entry("fetch -1", id -> JNIODBCfetch(id, max) == -1),
                Map.entry("fetchScroll -1", id -> JNIODBCfetchScroll(id, min, 99, max) == -1),
                Map.entry("getColumnName \"\"", id -> JNIODBCgetColumnName(id, max, min).isEmpty()),
                Map.entry("getColumnType 0", id -> JNIODBCgetColumnType(id, min, max) == 0),
                Map.entry("getColumnOctetLength 0", id -> JNIODBCgetColumnOctetLength(id, 0, 0) == 0),
                Map.entry("getColumnFetchDataLength 0", id -> JNIODBCgetColumnFetchDataLength(id, 33, -1) == 0),
                Map.entry("getColumnNumericPrecision 0", id -> JNIODBCgetColumnNumericPrecision(id, -1, 0) == 0),
                Map.entry("getColumnNumericScale 0", id -> JNIODBCgetColumnNumericScale(id, max, max) == 0),
                Map.entry("getColumnNoFromName null 0", id -> JNIODBCgetColumnNoFromName(id, 1, null) == 0),
                Map.entry("getColumnNoFromName huge 0", id -> JNIODBCgetColumnNoFromName(id, min, HUGE) == 0),
                Map.entry("isColumnDataNull 1", id -> JNIODBCisColumnDataNull(id, min, min) == 1),
                Map.entry("getColumnDataBinary []", id -> JNIODBCgetColumnDataBinary(id, max, 0).length == 0),
                Map.entry("getColumnDataString \"\"", id -> JNIODBCgetColumnDataString(id, 0, max).isEmpty()),
                Map.entry("getColumnDataTimet 1", id -> JNIODBCgetColumnDataTimet(id, -1, -1) == 1),
                Map.entry("setDateStyle", id -> { JNIODBCsetDateStyle(id, Short.MIN_VALUE); return null; }));
    }

    @Test
    void everyNativeRejectsABadIdentifierWhateverElseItIsGiven() {
        // Out of range, and the last slot, which no test opens. The open
        // natives and the two record readers are the other three of the 29.
        Map<Integer, List<String>> expected = Map.of(
                -1, List.of("JovJdbcOdbc-02", String.format(OUT_OF_RANGE, -1)),
                512, List.of("JovJdbcOdbc-03", String.format(NOT_OPEN, 512)));
        List<Executable> checks = new ArrayList<>();
        expected.forEach((id, record) -> nativesWithBadArguments().forEach((name, call) -> checks.add(() -> {
            JNIODBCisOpenOk(-77);
            Object result = call.apply(id);
            if (result != null) {
                assertEquals(Boolean.TRUE, result, name + " with identifier " + id);
            }
            assertEquals(record, record(), name + " with identifier " + id);
            // The readers hand the record over as often as asked.
            assertEquals(record, record(), "read again after " + name);
        })));
        assertAll(checks);
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void cursorHandlesAndColumnNumbersOutOfRange(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, v varchar(10)");
            db.exec("INSERT INTO " + table + " VALUES (1, 'a')");
            int cursor = db.query("SELECT k, v FROM " + table);
            assertTrue(db.next(cursor));
            int free = cursor + 1;

            List<Executable> checks = new ArrayList<>();
            for (int bad : new int[] {Integer.MIN_VALUE, -1, 0, free, 33, Integer.MAX_VALUE}) {
                // A handle in range without a statement goes to the driver
                // manager as a null statement, which refuses it without a
                // diagnostic: the failure comes with an empty record.
                String message = bad == free ? "" : INVALID_CURSOR + bad;
                checks.add(() -> {
                    assertEquals(-1, JNIODBCfetch(db.id, bad));
                    assertRecord("", message);
                    assertEquals(-1, JNIODBCfetchScroll(db.id, bad, SQL_FETCH_NEXT, 0));
                    assertRecord("", message);
                    assertEquals(0, JNIODBCgetColumnNum(db.id, bad));
                    JNIODBCcloseCursor(db.id, bad);
                    assertEquals(-1, JNIODBCgetColumnNoFromName(db.id, bad, "K"));
                    assertColumnAbsent(db.id, bad, 1, message);
                });
            }
            // The object's own record now holds the last bad handle's failure.
            String objectRecord = INVALID_CURSOR + Integer.MAX_VALUE;
            for (int bad : new int[] {Integer.MIN_VALUE, -1, 0, 3, Integer.MAX_VALUE}) {
                checks.add(() -> assertColumnAbsent(db.id, cursor, bad, objectRecord));
            }
            assertAll(checks);
            assertEquals(List.of("1", "a"), List.of(db.string(cursor, 1), db.string(cursor, 2)),
                    "the cursor's row is untouched");
        }
    }

    /**
     * Every column native on a column that does not exist: its empty result,
     * the record left alone, except by getColumnName, which copies the
     * object's record (objectMessage, empty code) into the table's.
     */
    private static void assertColumnAbsent(int id, int cursor, int column, String objectMessage) {
        String where = "cursor " + cursor + " column " + column;
        JNIODBCisOpenOk(-77);
        List<String> sentinel = record();
        assertEquals(0, JNIODBCgetColumnType(id, cursor, column), where);
        assertEquals(0, JNIODBCgetColumnOctetLength(id, cursor, column), where);
        assertEquals(0, JNIODBCgetColumnFetchDataLength(id, cursor, column), where);
        assertEquals(0, JNIODBCgetColumnNumericPrecision(id, cursor, column), where);
        assertEquals(0, JNIODBCgetColumnNumericScale(id, cursor, column), where);
        assertEquals(0, JNIODBCisColumnDataNull(id, cursor, column), where);
        assertArrayEquals(new byte[0], JNIODBCgetColumnDataBinary(id, cursor, column), where);
        assertEquals("", JNIODBCgetColumnDataString(id, cursor, column), where);
        assertEquals(0, JNIODBCgetColumnDataTimet(id, cursor, column), where);
        assertEquals(sentinel, record(), "record untouched, " + where);
        assertEquals("", JNIODBCgetColumnName(id, cursor, column), where);
        assertRecord("", objectMessage);
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void fetchScrollWithUnknownOrientationsAndHugeOffsets(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("n integer");
            db.exec("INSERT INTO " + table + " VALUES (1), (2), (3)");
            int cursor = db.query("SELECT n FROM " + table + " ORDER BY n");
            // The driver manager refuses an orientation it does not know
            // (HY106, fetch type out of range) before any driver sees it; the
            // library refuses one beyond ODBC's 16 bits, which narrowed would
            // be another (65538 SQL_FETCH_FIRST, -65531 SQL_FETCH_ABSOLUTE).
            assertEquals(1, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_ABSOLUTE, 2), Db::lastError);
            for (int orientation : new int[] {-1, 0, 7, 99}) {
                assertEquals(-1, JNIODBCfetchScroll(db.id, cursor, orientation, 1), "orientation " + orientation);
                assertEquals("HY106", JNIODBCgetErrorCode(), "orientation " + orientation);
            }
            for (int orientation : new int[] {Integer.MIN_VALUE, -65531, 65538, Integer.MAX_VALUE}) {
                assertEquals(-1, JNIODBCfetchScroll(db.id, cursor, orientation, 1), "orientation " + orientation);
                assertRecord("", "(ODBCACCS)Invalid Fetch Orientation=" + orientation);
            }
            assertEquals("2", db.string(cursor, 1), "no refused orientation moved the cursor");
            // Offsets beyond either end leave the cursor before the first or
            // after the last row: no row, no failure. Each move starts at row
            // 1; {orientation, offset, result, row}. psqlODBC answers an
            // absolute move to Integer.MIN_VALUE with the first row.
            int min = Integer.MIN_VALUE;
            int max = Integer.MAX_VALUE;
            int[] absoluteMin = rig == Rig.POSTGRES ? new int[] {1, 1} : new int[] {0, 0};
            int[][] moves = {
                {SQL_FETCH_ABSOLUTE, min, absoluteMin[0], absoluteMin[1]},
                {SQL_FETCH_ABSOLUTE, -1, 1, 3},
                {SQL_FETCH_ABSOLUTE, 0, 0, 0},
                {SQL_FETCH_ABSOLUTE, max, 0, 0},
                {SQL_FETCH_RELATIVE, min, 0, 0},
                {SQL_FETCH_RELATIVE, max, 0, 0},
            };
            for (int[] m : moves) {
                String move = "orientation " + m[0] + " offset " + m[1];
                assertEquals(1, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_FIRST, 0), Db::lastError);
                assertEquals(m[2], JNIODBCfetchScroll(db.id, cursor, m[0], m[1]), () -> move + ": " + Db.lastError());
                if (m[2] == 1) {
                    assertEquals(String.valueOf(m[3]), db.string(cursor, 1), move);
                }
            }
            assertEquals(1, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_LAST, 0), Db::lastError);
            assertEquals("3", db.string(cursor, 1), "the cursor still scrolls");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void unknownDateStylesRenderTheSlashedForm(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("ts timestamp");
            db.exec("INSERT INTO " + table + " VALUES ('2004-04-30 21:50:08')");
            int cursor = db.query("SELECT ts FROM " + table);
            assertTrue(db.next(cursor));
            for (short style : new short[] {Short.MIN_VALUE, -1, 3, 99, Short.MAX_VALUE}) {
                JNIODBCsetDateStyle(db.id, style);
                assertEquals("2004/04/30 21:50:08", db.string(cursor, 1), "style " + style);
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void closeInTheMiddleOfAFetchLoop(Rig rig) {
        try (Db setup = Db.open(rig)) {
            String table = setup.createTable("n integer");
            setup.exec("INSERT INTO " + table + " VALUES (1), (2), (3)");
            int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
            assertTrue(id >= 1, Db::lastError);
            int cursor = JNIODBCexecSQLQuery(id, "SELECT n FROM " + table + " ORDER BY n");
            assertEquals(1, JNIODBCfetch(id, cursor), Db::lastError);
            JNIODBCclose(id);

            List<String> notOpen = List.of("JovJdbcOdbc-03", String.format(NOT_OPEN, id));
            assertEquals(-1, JNIODBCfetch(id, cursor));
            assertEquals(notOpen, record());
            assertEquals(-1, JNIODBCfetchScroll(id, cursor, SQL_FETCH_FIRST, 0));
            assertEquals(1, JNIODBCisColumnDataNull(id, cursor, 1));
            assertEquals("", JNIODBCgetColumnDataString(id, cursor, 1));
            assertEquals(1, JNIODBCgetColumnDataTimet(id, cursor, 1));
            assertEquals(-1, JNIODBCgetColumnNum(id, cursor));
            JNIODBCcloseCursor(id, cursor);
            assertEquals(notOpen, record());

            // The identifier comes back with a new connection that knows
            // nothing of the old cursor.
            assertEquals(id, JNIODBCopen(rig.dataSource, rig.user, rig.password));
            try {
                assertEquals(-1, JNIODBCgetCursorHandle(id));
                assertEquals(0, JNIODBCgetColumnNum(id, cursor));
                assertEquals(-1, JNIODBCfetch(id, cursor));
                assertRecord("", "");
            } finally {
                JNIODBCclose(id);
            }
        }
    }

    private static String describe(String text) {
        return text == null ? "null" : text.length() > 20 ? text.length() + " characters" : "\"" + text + "\"";
    }
}

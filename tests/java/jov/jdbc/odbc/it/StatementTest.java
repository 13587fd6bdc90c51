package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static jov.jdbc.odbc.it.Db.assertRecord;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Queries, updates, cursor handles and fetching, per data source. */
class StatementTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    @ParameterizedTest
    @MethodSource(RIGS)
    void cursorHandlesAreTheLowestFree(Rig rig) {
        try (Db db = Db.open(rig)) {
            assertEquals(-1, JNIODBCgetCursorHandle(db.id), "before any query");
            int first = db.query("SELECT 1");
            int second = db.query("SELECT 2");
            assertEquals(List.of(1, 2), List.of(first, second));
            assertEquals(2, JNIODBCgetCursorHandle(db.id));
            db.closeCursor(first);
            assertEquals(1, db.query("SELECT 3"));
            assertEquals(1, JNIODBCgetCursorHandle(db.id));
            assertEquals(1, JNIODBCgetColumnNum(db.id, 1));
            assertEquals(0, JNIODBCgetColumnNum(db.id, 3), "a handle without a cursor");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void fetchGivesEachRowThenZeroForGood(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("n integer");
            for (int n = 1; n <= 3; n++) {
                db.exec("INSERT INTO " + table + " VALUES (" + n + ")");
            }
            int cursor = db.query("SELECT n FROM " + table + " ORDER BY n");
            for (int n = 1; n <= 3; n++) {
                assertEquals(1, JNIODBCfetch(db.id, cursor), Db::lastError);
                assertEquals(String.valueOf(n), db.string(cursor, 1));
            }
            for (int again = 0; again < 3; again++) {
                assertEquals(0, JNIODBCfetch(db.id, cursor), "past the end, call " + again);
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void fetchOnAHandleOutOfRangeFails(Rig rig) {
        try (Db db = Db.open(rig)) {
            for (int cursor : new int[] {0, 33, -1}) {
                assertEquals(-1, JNIODBCfetch(db.id, cursor));
                assertRecord("", "(ODBCACCS)Invalid Open Cursol Handle=" + cursor);
                assertEquals(-1, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_FIRST, 0));
                assertRecord("", "(ODBCACCS)Invalid Open Cursol Handle=" + cursor);
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void badSqlFailsWithTheDriversDiagnostic(Rig rig) {
        // For an empty text psqlODBC answers HY000, MariaDB's driver 42000
        // ("Query was empty").
        String syntaxState = rig.syntaxErrorState();
        try (Db db = Db.open(rig)) {
            assertEquals(-1, JNIODBCexecSQLQuery(db.id, ""));
            assertEquals(rig == Rig.MARIA ? "42000" : "HY000", JNIODBCgetErrorCode());

            assertEquals(-1, JNIODBCexecSQLQuery(db.id, "SELEC 1"));
            assertEquals(syntaxState, JNIODBCgetErrorCode());
            assertTrue(JNIODBCgetErrorString().matches("(?s).*(syntax error|error in your SQL syntax).*"),
                    JNIODBCgetErrorString());
            assertEquals(1, JNIODBCgetCursorHandle(db.id), "the failed query's handle");

            assertEquals(-1, JNIODBCexecSQLUpdate(db.id, "UPDAT x SET y = 1"));
            assertEquals(syntaxState, JNIODBCgetErrorCode());

            assertEquals(List.of("1"), db.column("SELECT 1"), "the connection is still sane");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void updateCountsOneOrNoData(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("n integer");
            assertEquals(1, JNIODBCexecSQLUpdate(db.id, "INSERT INTO " + table + " VALUES (1)"));
            assertEquals(1, JNIODBCexecSQLUpdate(db.id, "UPDATE " + table + " SET n = 2 WHERE n = 1"));
            int noRow = rig.noRowMatchedAnswer();
            assertEquals(noRow, JNIODBCexecSQLUpdate(db.id, "UPDATE " + table + " SET n = 3 WHERE n = 99"));
            assertEquals(noRow, JNIODBCexecSQLUpdate(db.id, "DELETE FROM " + table + " WHERE n = 99"));
            assertEquals(List.of("2"), db.column("SELECT n FROM " + table));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void fetchScrollMovesTheCursorBothWays(Rig rig) {
        // The library asks for dynamic cursors; sqliteodbc gives a static
        // cursor and psqlODBC a keyset-driven one, and both scroll.
        try (Db db = Db.open(rig)) {
            String table = db.createTable("n integer");
            for (int n = 1; n <= 5; n++) {
                db.exec("INSERT INTO " + table + " VALUES (" + n + ")");
            }
            int cursor = db.query("SELECT n FROM " + table + " ORDER BY n");
            int[][] moves = {
                {SQL_FETCH_FIRST, 0, 1},
                {SQL_FETCH_LAST, 0, 5},
                {SQL_FETCH_PRIOR, 0, 4},
                {SQL_FETCH_ABSOLUTE, 2, 2},
                {SQL_FETCH_RELATIVE, 2, 4},
                {SQL_FETCH_NEXT, 0, 5},
            };
            for (int[] m : moves) {
                String move = "orientation " + m[0] + " offset " + m[1];
                assertEquals(1, JNIODBCfetchScroll(db.id, cursor, m[0], m[1]), () -> move + ": " + Db.lastError());
                assertEquals(String.valueOf(m[2]), db.string(cursor, 1), move);
            }
            assertEquals(0, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_NEXT, 0), "past the last row");
            assertEquals(0, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_ABSOLUTE, 9), "beyond the end");
            assertEquals(1, JNIODBCfetchScroll(db.id, cursor, SQL_FETCH_FIRST, 0), Db::lastError);
            assertEquals("1", db.string(cursor, 1));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void sqlOfThreeThousandJapaneseCharactersPassesWhole(Rig rig) {
        StringBuilder text = new StringBuilder();
        String pattern = "日本語テキストソ表能";
        while (text.length() < 3000) {
            text.append(pattern.charAt(text.length() % pattern.length()));
        }
        try (Db db = Db.open(rig)) {
            String table = db.createTable("s " + rig.longTextType);
            String insert = "INSERT INTO " + table + " VALUES ('" + text + "')";
            assertEquals(1, JNIODBCexecSQLUpdate(db.id, insert), Db::lastError);
            // The 6000 bytes of the value come back in several chunks.
            int cursor = db.query("SELECT s FROM " + table);
            assertTrue(db.next(cursor));
            assertEquals(6000, JNIODBCgetColumnFetchDataLength(db.id, cursor, 1));
            assertEquals(text.toString(), db.string(cursor, 1));
            assertFalse(db.next(cursor));
        }
    }
}

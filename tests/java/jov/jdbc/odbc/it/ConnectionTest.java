package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static jov.jdbc.odbc.it.Db.assertRecord;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.HashSet;
import java.util.List;
import java.util.Set;
import java.util.concurrent.Callable;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Opening and closing data sources, auto-commit and transactions, per data source. */
class ConnectionTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    @ParameterizedTest
    @MethodSource(RIGS)
    void openGivesAnOpenIdentifierNamingTheDataSource(Rig rig) {
        try (Db db = Db.open(rig)) {
            assertTrue(db.id >= 1 && db.id <= 512, "identifier " + db.id);
            assertEquals(1, JNIODBCisOpenOk(db.id));
            assertEquals(rig.dataSource, JNIODBCgetOpenDataSource(db.id));
            assertEquals(1, JNIODBCgetAutoCommit(db.id), "auto-commit is on after open");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void textBeforeTheLastColonIsIgnored(Rig rig) {
        int id = JNIODBCopen("A:B:" + rig.dataSource, rig.user, rig.password);
        assertTrue(id >= 1, Db::lastError);
        try {
            assertEquals(rig.dataSource, JNIODBCgetOpenDataSource(id));
            // Both names reach the same database: a table made through one is
            // seen through the other.
            try (Db plain = Db.open(rig)) {
                String table = plain.createTable("n integer");
                plain.exec("INSERT INTO " + table + " VALUES (7)");
                int cursor = JNIODBCexecSQLQuery(id, "SELECT n FROM " + table);
                assertTrue(cursor >= 1, Db::lastError);
                assertEquals(1, JNIODBCfetch(id, cursor), Db::lastError);
                assertEquals("7", JNIODBCgetColumnDataString(id, cursor, 1));
                JNIODBCcloseCursor(id, cursor);
            }
        } finally {
            JNIODBCclose(id);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void closedIdentifierIsNotOpenAndTheLowestIsReused(Rig rig) {
        int first = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        int second = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        assertTrue(first >= 1 && second >= 1, Db::lastError);
        assertNotEquals(first, second, "the same data source opened twice gives two connections");
        JNIODBCclose(first);

        assertEquals(0, JNIODBCisOpenOk(first));
        assertRecord("JovJdbcOdbc-03",
                "(JovJdbcOdbc)データベース識別子(" + first + ")はオープンされていません");
        assertEquals("", JNIODBCgetOpenDataSource(first));

        int again = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        assertEquals(Math.min(first, second), again, "the lowest free identifier");
        JNIODBCclose(again);
        JNIODBCclose(second);
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void autoCommitFollowsEveryBitOfTheFlag(Rig rig) {
        // {value passed, state read back}; the order matters, each row
        // starting from the state of the row before.
        int[][] cases = {{0, 0}, {256, 1}, {0, 0}, {1, 1}, {0, 0}, {-1, 1}, {0, 0}, {0x10000, 1}};
        try (Db db = Db.open(rig)) {
            for (int[] c : cases) {
                JNIODBCsetAutoCommit(db.id, c[0]);
                assertEquals(c[1], JNIODBCgetAutoCommit(db.id), "after setAutoCommit(" + c[0] + ")");
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void rollbackUndoesAndCommitKeeps(Rig rig) {
        try (Db db = Db.open(rig); Db other = Db.open(rig)) {
            String table = db.createTable("n integer");
            JNIODBCsetAutoCommit(db.id, AUTO_COMMIT_OFF);

            db.exec("INSERT INTO " + table + " VALUES (1)");
            assertEquals(List.of("1"), db.column("SELECT n FROM " + table), "own insert seen");
            assertEquals(0, JNIODBCrollbackTran(db.id), Db::lastError);
            assertEquals(List.of(), db.column("SELECT n FROM " + table));

            db.exec("INSERT INTO " + table + " VALUES (2)");
            assertEquals(0, JNIODBCcommitTran(db.id), Db::lastError);
            assertEquals(List.of("2"), other.column("SELECT n FROM " + table),
                    "committed row seen by another connection");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void closeRollsBackWhatWasNotCommittedAndFreesTheDatabase(Rig rig) {
        try (Db other = Db.open(rig)) {
            String table = other.createTable("n integer");
            int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
            assertTrue(id >= 1, Db::lastError);
            JNIODBCsetAutoCommit(id, AUTO_COMMIT_OFF);
            assertEquals(1, JNIODBCexecSQLUpdate(id, "INSERT INTO " + table + " VALUES (1)"),
                    Db::lastError);
            JNIODBCclose(id);
            // psqlODBC rolls back at disconnect by itself; SQLite's driver
            // refuses to disconnect in a transaction, which used to keep the
            // file write-locked ("database is locked") until the process ended.
            other.exec("INSERT INTO " + table + " VALUES (2)");
            assertEquals(List.of("2"), other.column("SELECT n FROM " + table));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void japaneseTextPassesBothWays(Rig rig) {
        List<String> texts = new ArrayList<>(List.of(
                "日本語のテキスト",
                "ソ表能十",            // second bytes 0x5C, the backslash
                "ｶﾀｶﾅ ﾊﾝｶｸ",          // single-byte katakana
                "全角　スペース",       // a full-width space inside a value stays
                "ＡＢＣ１２３ａｂｃ"));
        if (rig == Rig.SQLITE) {
            // Characters whose Unicode mapping differs between Shift-JIS tables
            // (wave dash, NEC and IBM extensions). SQLite keeps the bytes as
            // they are; PostgreSQL's SJIS conversion is left out of this.
            texts.add("～∥－￢①Ⅹ㈱");
        }
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, s varchar(100)");
            for (int k = 0; k < texts.size(); k++) {
                db.exec("INSERT INTO " + table + " VALUES (" + k + ", '" + texts.get(k) + "')");
            }
            assertEquals(texts, db.column("SELECT s FROM " + table + " ORDER BY k"));
            assertEquals(List.of("0"),
                    db.column("SELECT k FROM " + table + " WHERE s = '" + texts.get(0) + "'"),
                    "a Japanese literal in a WHERE clause matches");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void eightThreadsOpeningAtOnceGetDistinctIdentifiers(Rig rig) throws Exception {
        int threads = 8;
        CyclicBarrier start = new CyclicBarrier(threads);
        ExecutorService pool = Executors.newFixedThreadPool(threads);
        List<Future<Integer>> opened = new ArrayList<>();
        Callable<Integer> open = () -> {
            start.await();
            return JNIODBCopen(rig.dataSource, rig.user, rig.password);
        };
        for (int i = 0; i < threads; i++) {
            opened.add(pool.submit(open));
        }
        Set<Integer> ids = new HashSet<>();
        try {
            for (Future<Integer> f : opened) {
                int id = f.get(120, TimeUnit.SECONDS);
                assertTrue(id >= 1, Db::lastError);
                ids.add(id);
            }
            assertEquals(threads, ids.size(), "distinct identifiers " + ids);
            for (int id : ids) {
                assertEquals(1, JNIODBCisOpenOk(id));
            }
        } finally {
            pool.shutdownNow();
            for (int id : ids) {
                JNIODBCclose(id);
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void thousandFailedOpensLeaveTheTableUsable(Rig rig) {
        for (int i = 0; i < 1000; i++) {
            assertEquals(-1, JNIODBCopen("JovNoSuchSource", "", ""), "failed open " + i);
        }
        assertEquals("IM002", JNIODBCgetErrorCode());
        try (Db db = Db.open(rig)) {
            assertEquals(1, JNIODBCisOpenOk(db.id));
        }
    }
}

package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.List;
import java.util.Set;
import java.util.concurrent.ConcurrentHashMap;
import java.util.concurrent.atomic.AtomicInteger;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Many Java threads calling at once: each on a connection of its own, several
 * on one connection doing what may overlap there, opens racing opens, and a
 * close racing the calls of another thread on the same identifier. Every test
 * runs a fixed number of iterations and waits for its threads a bounded time.
 */
class ConcurrencyTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final int ROWS = 200;
    private static final String NOT_OPEN = "(JovJdbcOdbc)データベース識別子(%d)はオープンされていません";

    /** A table of ROWS rows (id 1..ROWS, v "行" + id), filled by one statement per 50 rows. */
    static String numberedTable(Db db) {
        String table = db.createTable("id integer, v varchar(20)");
        for (int first = 1; first <= ROWS; first += 50) {
            StringBuilder insert = new StringBuilder("INSERT INTO " + table + " VALUES ");
            for (int id = first; id < first + 50; id++) {
                insert.append(id == first ? "" : ", ").append("(").append(id).append(", '行").append(id).append("')");
            }
            db.exec(insert.toString());
        }
        return table;
    }

    static String selectNumbered(String table) {
        return "SELECT id, v FROM " + table + " ORDER BY id";
    }

    /** Checks the current row of a cursor over a numbered table. */
    static void assertNumberedRow(int id, int cursor, int row) {
        assertEquals(String.valueOf(row), JNIODBCgetColumnDataString(id, cursor, 1), "id of row " + row);
        assertEquals("行" + row, JNIODBCgetColumnDataString(id, cursor, 2), "v of row " + row);
    }

    /**
     * Fetches the rest of a cursor over a numbered table whose current row is
     * {@code done} (0 before the first), checking each row; returns the count.
     */
    static int readRest(int id, int cursor, int done) {
        int row = done;
        int result;
        while ((result = JNIODBCfetch(id, cursor)) == 1) {
            assertNumberedRow(id, cursor, ++row);
        }
        assertEquals(0, result, Db::lastError);
        assertEquals(ROWS, row, "rows of the cursor");
        return row - done;
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void sixteenConnectionsEachReadEveryRowOnce(Rig rig) throws Exception {
        int threads = 16;
        int passes = 5;
        Together together = new Together(threads);
        try (Db setup = Db.open(rig)) {
            String table = numberedTable(setup);
            List<Integer> ids = new ArrayList<>();
            AtomicInteger rowsRead = new AtomicInteger();
            try {
                for (int i = 0; i < threads; i++) {
                    int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
                    assertTrue(id >= 1, Db::lastError);
                    ids.add(id);
                }
                together.runOnEach(index -> {
                    int id = ids.get(index);
                    for (int pass = 0; pass < passes; pass++) {
                        int cursor = JNIODBCexecSQLQuery(id, selectNumbered(table));
                        // Cursor tables belong to their connection: each
                        // thread gets the lowest handle of its own.
                        assertEquals(1, cursor, Db::lastError);
                        rowsRead.addAndGet(readRest(id, cursor, 0));
                        JNIODBCcloseCursor(id, cursor);
                    }
                });
            } finally {
                ids.forEach(id -> JNIODBCclose(id));
                together.shutdown();
            }
            assertEquals(threads * passes * ROWS, rowsRead.get());
            for (int id : ids) {
                assertEquals(0, JNIODBCisOpenOk(id), "closed " + id);
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void queriesOnOneThreadWhileAnotherCursorFetches(Rig rig) throws Exception {
        Together together = new Together(2);
        try (Db db = Db.open(rig)) {
            String table = numberedTable(db);
            int fetched = db.query(selectNumbered(table));
            int passes = 5;
            int queries = 100;
            together.run(List.of(
                    fetcher -> {
                        // Every pass after the first starts again at the first row.
                        assertEquals(ROWS, readRest(db.id, fetched, 0));
                        for (int pass = 1; pass < passes; pass++) {
                            assertEquals(1, JNIODBCfetchScroll(db.id, fetched, SQL_FETCH_FIRST, 0), Db::lastError);
                            assertNumberedRow(db.id, fetched, 1);
                            assertEquals(ROWS - 1, readRest(db.id, fetched, 1));
                        }
                    },
                    querier -> {
                        // Only queries and their catalogues: fetching or
                        // rendering here would share the connection's row
                        // buffer with the fetching thread.
                        for (int q = 0; q < queries; q++) {
                            int cursor = JNIODBCexecSQLQuery(db.id, "SELECT id, v FROM " + table + " WHERE id = " + q);
                            assertTrue(cursor >= 1, Db::lastError);
                            assertNotEquals(fetched, cursor, "the fetching cursor's handle");
                            assertEquals(2, JNIODBCgetColumnNum(db.id, cursor));
                            assertEquals(2, JNIODBCgetColumnNoFromName(db.id, cursor, "V"));
                            JNIODBCcloseCursor(db.id, cursor);
                        }
                    }));
            assertEquals(fetched + 1, db.query("SELECT 1"), "every other cursor was closed");
        } finally {
            together.shutdown();
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void updatesOnOneThreadWhileAnotherFetches(Rig rig) throws Exception {
        // Both drivers take a write to another table on the same connection
        // while a result is being fetched: psqlODBC has read the whole result
        // at execution, and SQLite lets a connection write while its own read
        // statements are pending.
        int inserts = 50;
        int passes = 3;
        Together together = new Together(2);
        try (Db db = Db.open(rig)) {
            String table = numberedTable(db);
            String written = db.createTable("n integer");
            int fetched = db.query(selectNumbered(table));
            together.run(List.of(
                    fetcher -> {
                        assertEquals(ROWS, readRest(db.id, fetched, 0));
                        for (int pass = 1; pass < passes; pass++) {
                            assertEquals(1, JNIODBCfetchScroll(db.id, fetched, SQL_FETCH_FIRST, 0), Db::lastError);
                            assertEquals(ROWS - 1, readRest(db.id, fetched, 1));
                        }
                    },
                    updater -> {
                        for (int n = 1; n <= inserts; n++) {
                            String insert = "INSERT INTO " + written + " VALUES (" + n + ")";
                            assertEquals(1, JNIODBCexecSQLUpdate(db.id, insert), Db::lastError);
                        }
                    }));
            assertEquals(List.of(String.valueOf(inserts), String.valueOf(inserts * (inserts + 1) / 2)),
                    db.rows("SELECT COUNT(*), SUM(n) FROM " + written).get(0));
        } finally {
            together.shutdown();
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void racingOpensGetDistinctIdentifiersAndAllClose(Rig rig) throws Exception {
        int threads = 8;
        int cycles = 20;
        Set<Integer> openNow = ConcurrentHashMap.newKeySet();
        Set<Integer> everOpened = ConcurrentHashMap.newKeySet();
        Together together = new Together(threads);
        try {
            together.runOnEach(index -> {
                for (int cycle = 0; cycle < cycles; cycle++) {
                    int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
                    assertTrue(id >= 1 && id <= 512, () -> "open: " + Db.lastError());
                    assertTrue(openNow.add(id), "identifier " + id + " handed out twice at once");
                    everOpened.add(id);
                    assertEquals(1, JNIODBCisOpenOk(id));
                    assertEquals(rig.dataSource, JNIODBCgetOpenDataSource(id));
                    // Leave the set first: once closed, the identifier may be
                    // handed to another thread at once.
                    openNow.remove(id);
                    JNIODBCclose(id);
                }
            });
        } finally {
            together.shutdown();
        }
        assertTrue(openNow.isEmpty());
        for (int id : everOpened) {
            assertEquals(0, JNIODBCisOpenOk(id), "identifier " + id + " after every close");
            assertEquals("JovJdbcOdbc-03", JNIODBCgetErrorCode());
        }
    }

    /** What the racing thread does on the identifier that the other thread closes. */
    private enum Racer {
        /** Fetches the rest of the open cursor, reading each row. */
        FETCH {
            @Override
            void race(int id, int cursor, String table) {
                int row = 0;
                int result;
                while ((result = JNIODBCfetch(id, cursor)) == 1) {
                    row++;
                    // The close may take effect between the fetch and the read.
                    String value = JNIODBCgetColumnDataString(id, cursor, 1);
                    if (value.isEmpty()) {
                        assertNotOpen(id);
                        return;
                    }
                    assertEquals(String.valueOf(row), value);
                }
                if (result == 0) {
                    assertEquals(ROWS, row, "the whole cursor before the close took effect");
                } else {
                    assertEquals(-1, result);
                    assertNotOpen(id);
                }
            }
        },
        /** Runs queries until one sees the identifier closed. */
        QUERY {
            @Override
            void race(int id, int cursor, String table) {
                for (int q = 0; q < 20; q++) {
                    int handle = JNIODBCexecSQLQuery(id, "SELECT v FROM " + table + " WHERE id = " + q);
                    if (handle < 0) {
                        assertEquals(-1, handle);
                        assertNotOpen(id);
                        return;
                    }
                    assertEquals(cursor + 1, handle, "a new cursor of the still open connection");
                    JNIODBCcloseCursor(id, handle);
                }
            }
        },
        /** Runs updates that match no row until one sees the identifier closed. */
        UPDATE {
            @Override
            void race(int id, int cursor, String table) {
                for (int u = 0; u < 20; u++) {
                    int result = JNIODBCexecSQLUpdate(id, "UPDATE " + table + " SET v = 'x' WHERE id < 0");
                    if (result < 0) {
                        assertEquals(-1, result);
                        assertNotOpen(id);
                        return;
                    }
                    // SQL_NO_DATA (0), or success (1) from MariaDB's driver.
                    assertTrue(result == 0 || result == 1, "no row matched: " + result);
                }
            }
        },
        /** Reads the current row's columns until a read sees the identifier closed. */
        COLUMNS {
            @Override
            void race(int id, int cursor, String table) {
                for (int r = 0; r < 50; r++) {
                    int isNull = JNIODBCisColumnDataNull(id, cursor, 2);
                    if (isNull == 1) {
                        assertNotOpen(id);
                        return;
                    }
                    String value = JNIODBCgetColumnDataString(id, cursor, 2);
                    if (value.isEmpty()) {
                        assertNotOpen(id);
                        return;
                    }
                    assertEquals("行1", value);
                }
            }
        };

        abstract void race(int id, int cursor, String table);

        /** The call that failed saw the identifier closed. */
        static void assertNotOpen(int id) {
            assertEquals("JovJdbcOdbc-03", JNIODBCgetErrorCode());
            assertEquals(String.format(NOT_OPEN, id), JNIODBCgetErrorString());
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void closeRacingCallsOnTheSameIdentifier(Rig rig) throws Exception {
        int iterations = 200;
        Racer[] racers = Racer.values();
        Together together = new Together(2);
        try (Db setup = Db.open(rig)) {
            String table = numberedTable(setup);
            for (int i = 0; i < iterations; i++) {
                Racer racer = racers[i % racers.length];
                int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
                assertTrue(id >= 1, Db::lastError);
                int cursor = JNIODBCexecSQLQuery(id, selectNumbered(table));
                assertEquals(1, cursor, Db::lastError);
                if (racer == Racer.COLUMNS) {
                    assertEquals(1, JNIODBCfetch(id, cursor), Db::lastError);
                }
                together.run(List.of(
                        racing -> racer.race(id, cursor, table),
                        closing -> JNIODBCclose(id)));
                assertEquals(0, JNIODBCisOpenOk(id), racer + " iteration " + i);
            }
        } finally {
            together.shutdown();
        }
    }
}

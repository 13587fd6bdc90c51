package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static jov.jdbc.odbc.JovOdbcExtras.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.TimeUnit;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** The natives of JovOdbcExtras: each thread's own failure, update counts, numbers without text. */
class ExtrasTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final int ROUNDS = 20;

    /**
     * Two threads on two connections fail, one in the driver (a missing
     * table), one in the library (a number read from a text column, which has
     * no code); only once both have failed does each read its failure, so a
     * record shared by the two would show one of them the other's. Repeated.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void twoThreadsFailingAtOnceEachReadTheirOwnFailure(Rig rig) throws Exception {
        String missingTableCode = rig.missingTableState();
        Together together = new Together(2);
        CyclicBarrier bothFailed = new CyclicBarrier(2);
        CyclicBarrier bothRead = new CyclicBarrier(2);
        try (Db driverSide = Db.open(rig); Db librarySide = Db.open(rig)) {
            String table = librarySide.createTable("t varchar(10)");
            librarySide.exec("INSERT INTO " + table + " VALUES ('abc')");
            int cursor = librarySide.query("SELECT t FROM " + table);
            assertTrue(librarySide.next(cursor));
            long[] value = new long[1];
            // Nothing is asserted between the barriers, so a wrong read cannot
            // leave the other thread waiting: each thread notes what it read.
            List<List<String>> reads = List.of(new ArrayList<>(), new ArrayList<>());
            together.run(List.of(index -> {
                for (int i = 0; i < ROUNDS; i++) {
                    int answer = JNIODBCexecSQLQuery(driverSide.id, "SELECT * FROM jov_missing_table");
                    readOwnFailure(answer, bothFailed, bothRead, reads.get(0));
                }
            }, index -> {
                for (int i = 0; i < ROUNDS; i++) {
                    int answer = getColumnLong(librarySide.id, cursor, 1, value);
                    readOwnFailure(answer, bothFailed, bothRead, reads.get(1));
                }
            }));
            for (String read : reads.get(0)) {
                assertTrue(read.startsWith("-1 [" + missingTableCode + "] ") && read.contains("jov_missing_table"), read);
            }
            assertEquals(Collections.nCopies(ROUNDS, "-1 [] (ODBCACCS)Column=1 SQL Type=12 Is Not An Integer"),
                    reads.get(1));
        } finally {
            together.shutdown();
        }
    }

    /** Notes "answer [code] message" of this thread once both threads have failed. */
    private static void readOwnFailure(int answer, CyclicBarrier bothFailed, CyclicBarrier bothRead,
            List<String> reads) throws Exception {
        bothFailed.await(Together.DEADLINE_SECONDS, TimeUnit.SECONDS);
        reads.add(answer + " [" + threadErrorCode() + "] " + threadErrorString());
        bothRead.await(Together.DEADLINE_SECONDS, TimeUnit.SECONDS);
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void updatesCountTheirRows(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("n integer");
            db.exec("INSERT INTO " + table + " VALUES (1), (2), (3)");
            long[] count = {-2};
            assertEquals(1, execSQLUpdateRowCount(db.id, "UPDATE " + table + " SET n = n + 10", count), Db::lastError);
            assertEquals(3, count[0]);
            assertEquals(rig.noRowMatchedAnswer(), execSQLUpdateRowCount(db.id, "UPDATE " + table + " SET n = 0 WHERE n = 99", count));
            assertEquals(0, count[0]);
            assertEquals(-1, execSQLUpdateRowCount(db.id, "DELETE FROM " + table + "\0 WHERE n = 11", count));
            assertEquals(List.of("11", "12", "13"), db.column("SELECT n FROM " + table + " ORDER BY n"));
        }
    }

    /** The doubles the driver hands over, bit for bit; the text rendering keeps six decimals. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void doublesAndIntegersWithoutText(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("k integer, b bigint, d " + rig.doubleType);
            db.exec("INSERT INTO " + table + " VALUES (1, 9000000000, 1e-7)");
            db.exec("INSERT INTO " + table + " VALUES (2, NULL, CAST(1 AS " + rig.doubleType + ") / 3)");
            int cursor = db.query("SELECT k, b, d FROM " + table + " ORDER BY k");
            long[] integer = new long[1];
            double[] number = new double[1];
            assertTrue(db.next(cursor));
            assertEquals(1, getColumnLong(db.id, cursor, 2, integer), Db::lastError);
            assertEquals(9000000000L, integer[0]);
            assertEquals(1, getColumnDouble(db.id, cursor, 3, number), Db::lastError);
            assertEquals(1e-7, number[0]);
            assertTrue(db.next(cursor));
            assertEquals(0, getColumnLong(db.id, cursor, 2, integer));
            assertEquals(1, getColumnDouble(db.id, cursor, 3, number));
            // sqliteodbc reads every value through SQLite's text, which keeps 15
            // significant digits; psqlODBC hands over the server's exact text.
            assertEquals(rig == Rig.SQLITE ? 0.333333333333333 : 1.0 / 3, number[0]);
            assertEquals(1, getColumnDouble(db.id, cursor, 1, number));
            assertEquals(2.0, number[0]);
        }
    }
}

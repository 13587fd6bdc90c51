package jov.jdbc.odbc.driver.odbc;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;
import static jov.jdbc.odbc.driver.odbc.Session.getString;
import static jov.jdbc.odbc.driver.odbc.Session.ok;
import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.sql.Types;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Random;
import java.util.concurrent.atomic.AtomicBoolean;
import jov.jdbc.odbc.it.Rig;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** OdbcNatives called directly, on every data source of the rig, as the JDBC driver will call them. */
class OdbcNativesTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final String LONG_CYCLE = "aé中ソ😀〜～b";
    private static final int LONG_LENGTH = 70_000;
    private static final int MIB = 1 << 20;

    /** Texts that a lossy path merges, mangles or cuts; the last is 70,000 characters. */
    static List<String> samples() {
        StringBuilder longText = new StringBuilder();
        while (longText.length() < LONG_LENGTH) {
            longText.append(LONG_CYCLE);
        }
        longText.setLength(LONG_LENGTH);
        return Arrays.asList("café", "Müller", "中文简体", "😀", "𠮷", "ソ表能", "〜", "～", "¥", "\\",
                longText.toString());
    }

    /**
     * Every sample stored once as a bound parameter and once as an SQL
     * literal, then read back: both exact, so 〜 and ～, ¥ and \ stay apart.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void unicodeTextCrossesExactlyAsParameterAndAsSqlText(Rig rig) {
        List<String> samples = samples();
        try (Session db = Session.open(rig, UNICODE)) {
            String table = db.table("k integer, v " + db.textType());
            long insert = db.statement();
            ok(prepare(insert, "INSERT INTO " + table + " (k, v) VALUES (?, ?)"));
            for (int i = 0; i < samples.size(); i++) {
                ok(bindLong(insert, 1, 2 * i, Types.INTEGER));
                ok(bindString(insert, 2, samples.get(i), Types.VARCHAR));
                ok(execute(insert));
                db.exec("INSERT INTO " + table + " (k, v) VALUES (" + (2 * i + 1) + ", " + db.literal(samples.get(i)) + ")");
            }
            ok(freeStatement(insert));
            List<String> expected = new ArrayList<>();
            for (String s : samples) {
                expected.add(s);
                expected.add(s);
            }
            assertEquals(expected, db.strings("SELECT v FROM " + table + " ORDER BY k"));
        }
    }

    /** A column alias and a missing table's name come back exact: in the column's name and in the driver's message. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void namesAndMessagesAreExact(Rig rig) {
        String alias = "列é中ソ表〜";
        try (Session db = Session.open(rig, UNICODE)) {
            long s = db.statement();
            ok(execDirect(s, "SELECT 1 AS " + db.quoted(alias)));
            Object[] columns = new Object[COLUMN_FIELDS];
            ok(describeColumns(s, columns));
            assertEquals(alias, ((String[]) columns[COLUMN_NAME])[0]);
            assertEquals(alias, ((String[]) columns[COLUMN_LABEL])[0]);
            ok(closeCursor(s));

            assertEquals(ERROR, execDirect(s, "SELECT * FROM jov_nosuch_表é"));
            String[] records = takeDiagnostics();
            assertTrue(records.length >= 3 && records[2].contains("jov_nosuch_表é"), Arrays.toString(records));
            assertEquals(rig == Rig.SQLITE ? "HY000" : rig == Rig.POSTGRES ? "42P01" : "42S02", records[0]);
            ok(freeStatement(s));
        }
    }

    /** Values far beyond any fixed buffer are read whole: 1 MiB of text (multi-byte) and of bytes. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void oneMebibyteValuesAreReadWhole(Rig rig) {
        StringBuilder text = new StringBuilder();
        while (text.length() < MIB) {
            text.append(LONG_CYCLE);
        }
        byte[] bytes = new byte[MIB];
        new Random(18).nextBytes(bytes);
        try (Session db = Session.open(rig, UNICODE)) {
            String table = db.table("t " + db.textType() + ", b " + db.binaryType());
            long s = db.statement();
            ok(prepare(s, "INSERT INTO " + table + " (t, b) VALUES (?, ?)"));
            ok(bindString(s, 1, text.toString(), Types.LONGVARCHAR));
            ok(bindBytes(s, 2, bytes, Types.LONGVARBINARY));
            ok(execute(s));
            ok(execDirect(s, "SELECT t, b FROM " + table));
            ok(fetch(s));
            String[] t = new String[1];
            byte[][] b = new byte[1][];
            ok(getString(s, 1, t));
            ok(getBytes(s, 2, b));
            assertEquals(text.toString(), t[0]);
            assertArrayEquals(bytes, b[0]);
            ok(freeStatement(s));
        }
    }

    /**
     * Each parameter kind binds its own C type and reads back unchanged:
     * integers beyond 2^53, doubles, decimals beyond a double's digits,
     * dates, times and timestamps by their fields (microseconds), NULL, and
     * text and bytes sent at execution in pieces (with an unknown length
     * where the driver takes one; sqliteodbc, which does not, is refused it
     * rather than left to crash).
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void everyParameterKindCrossesUnchanged(Rig rig) {
        // SQLite's NUMERIC would keep a double; its text column shows the digits as sent.
        String decimal = rig == Rig.SQLITE ? "varchar(40)" : "decimal(30,10)";
        String timestamp = rig == Rig.MARIA ? "datetime(6)" : "timestamp";
        try (Session db = Session.open(rig, UNICODE)) {
            String table = db.table("i bigint, d double precision, n " + decimal + ", dt date, tm time, ts " + timestamp
                    + ", z varchar(10), st " + db.textType() + ", sb " + db.binaryType());
            long s = db.statement();
            ok(prepare(s, "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
            ok(bindLong(s, 1, 9_007_199_254_740_993L, Types.BIGINT));
            ok(bindDouble(s, 2, 0.1, Types.DOUBLE));
            ok(bindDecimal(s, 3, "12345678901234567.0123456789", 30, 10));
            ok(bindDate(s, 4, 2024, 2, 29));
            ok(bindTime(s, 5, 23, 59, 58));
            ok(bindTimestamp(s, 6, 2024, 2, 29, 23, 59, 58, 123_456_000, 6));
            ok(bindNull(s, 7, Types.VARCHAR));
            // The text's length in UTF-8 bytes and UTF-16 units; sqliteodbc also needs the binary's.
            ok(bindStream(s, 8, false, 12, 5));
            if (rig == Rig.SQLITE) {
                assertEquals(ERROR, bindStream(s, 9, true, -1, -1));
                assertEquals("HYC00", takeDiagnostics()[0]);
            }
            ok(bindStream(s, 9, true, rig == Rig.SQLITE ? 6 : -1, -1));
            assertEquals(NEED_DATA, execute(s));
            int[] wanted = new int[1];
            List<Integer> asked = new ArrayList<>();
            while (paramData(s, wanted) == NEED_DATA) {
                asked.add(wanted[0]);
                if (wanted[0] == 8) {
                    ok(putString(s, "ソ表😀"));
                    ok(putString(s, "é"));
                } else {
                    ok(putBytes(s, new byte[] {0, 1, 2}, 3));
                    ok(putBytes(s, new byte[] {(byte) 0xFF, 0x5C, 0, 9}, 3));
                }
            }
            assertEquals(Arrays.asList(8, 9), asked);
            ok(execDirect(s, "SELECT i, d, n, dt, tm, ts, z, st, sb FROM " + table));
            ok(fetch(s));
            long[] l = new long[1];
            double[] d = new double[1];
            String[] text = new String[1];
            byte[][] b = new byte[1][];
            ok(getLong(s, 1, l));
            assertEquals(9_007_199_254_740_993L, l[0]);
            ok(getDouble(s, 2, d));
            assertEquals(0.1, d[0]);
            ok(getString(s, 3, text));
            assertEquals("12345678901234567.0123456789", text[0]);
            ok(getString(s, 4, text));
            assertEquals("2024-02-29", text[0]);
            ok(getString(s, 5, text));
            assertEquals("23:59:58", text[0]);
            ok(getString(s, 6, text));
            // sqliteodbc writes a timestamp's text with milliseconds.
            assertEquals(rig == Rig.SQLITE ? "2024-02-29 23:59:58.123" : "2024-02-29 23:59:58.123456", text[0]);
            assertEquals(NULL_DATA, getString(s, 7, text));
            assertNull(text[0]);
            ok(getString(s, 8, text));
            assertEquals("ソ表😀é", text[0]);
            ok(getBytes(s, 9, b));
            assertArrayEquals(new byte[] {0, 1, 2, (byte) 0xFF, 0x5C, 0}, b[0]);
            ok(freeStatement(s));
        }
    }

    /**
     * Parameter arrays carry every row whole (text of any length and
     * repertoire, bytes with zeros, NULLs) on every driver, which then runs
     * one row at a time again; an execution of more rows than an array
     * holds, and arrays of mismatched lengths, are refused before the driver
     * could read past them.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void parameterArraysCarryEveryRowAndNoRowPastThem(Rig rig) {
        try (Session db = Session.open(rig, UNICODE)) {
            String table = db.table("i bigint, t varchar(40), b " + db.binaryType());
            long s = db.statement();
            ok(prepare(s, "INSERT INTO " + table + " VALUES (?, ?, ?)"));
            ok(bindLongArray(s, 1, new long[] {1, 2, 3}, new boolean[] {false, true, false}, Types.BIGINT));
            ok(bindStringArray(s, 2, new String[] {"ソ表😀é", null, ""}, Types.VARCHAR));
            ok(bindBytesArray(s, 3, new byte[][] {{0, 1, 0}, {}, null}, Types.VARBINARY));
            assertEquals(ERROR, executeArray(s, 4, new long[4], new int[4]));
            assertEquals("HY009", takeDiagnostics()[0]);
            assertEquals(ERROR, bindLongArray(s, 1, new long[2], new boolean[1], Types.BIGINT));
            assertEquals("HY009", takeDiagnostics()[0]);
            int[] statuses = new int[3];
            ok(executeArray(s, 3, new long[3], statuses));
            // sqliteodbc, which the JDBC driver gives no arrays, reads an empty binary of one as its slot's width.
            assertEquals(Arrays.asList("1|ソ表😀é|000100", "null|null|" + (rig == Rig.SQLITE ? "000000" : ""), "3||null"),
                    db.strings("SELECT " + rowText(rig) + " FROM " + table + " ORDER BY coalesce(i, 2)"));
            ok(bindLong(s, 1, 4, Types.BIGINT));
            ok(bindNull(s, 2, Types.VARCHAR));
            ok(bindNull(s, 3, Types.VARBINARY));
            ok(execute(s));
            assertEquals(Arrays.asList("4"), db.strings("SELECT count(*) FROM " + table));
            ok(freeStatement(s));
        }
    }

    /** Columns i, t and b of a row as "i|t|hex of b", "null" for each NULL. */
    private static String rowText(Rig rig) {
        String hex = rig == Rig.POSTGRES ? "encode(b, 'hex')" : "hex(b)";
        String[] parts = {"CAST(i AS CHAR(20))", "t", hex};
        List<String> shown = new ArrayList<>();
        for (String part : parts) {
            shown.add("CASE WHEN " + (part.equals(hex) ? "b" : part) + " IS NULL THEN 'null' ELSE "
                    + (rig == Rig.POSTGRES ? part.replace("CHAR(20)", "TEXT") : part) + " END");
        }
        return rig == Rig.SQLITE ? String.join(" || '|' || ", shown) : "concat(" + String.join(", '|', ", shown) + ")";
    }

    /**
     * Tokens that name nothing fail cleanly with their own SQLSTATE: a made-up
     * one, a statement's as a connection's, and a statement's after its
     * connection closed (the statement was freed with it).
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void staleAndForeignTokensFailCleanly(Rig rig) {
        Session db = Session.open(rig, UNICODE);
        long statement = db.statement();
        assertEquals(ERROR, execDirect(12345L, "SELECT 1"));
        assertEquals("HY000", takeDiagnostics()[0]);
        assertEquals(ERROR, endTransaction(statement, true));
        assertEquals("08003", takeDiagnostics()[0]);
        ok(disconnect(db.connection));
        assertEquals(ERROR, execDirect(statement, "SELECT 1"));
        assertEquals("HY000", takeDiagnostics()[0]);
        assertEquals(ERROR, disconnect(db.connection));
        assertEquals("08003", takeDiagnostics()[0]);
        assertEquals(ERROR, freeStatement(statement));
    }

    /**
     * The library's own refusals: a lone surrogate and U+0000 in SQL text;
     * with Windows-31J a character it cannot carry is refused (22021, named
     * with its index) where the older path sent '?', and one it can carries.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void unsendableTextIsRefusedWithItsReason(Rig rig) {
        try (Session db = Session.open(rig, UNICODE)) {
            long s = db.statement();
            assertEquals(ERROR, execDirect(s, "SELECT '\uD83D'"));
            String[] lone = takeDiagnostics();
            assertEquals(Arrays.asList("22021", "0"), Arrays.asList(lone[0], lone[1]));
            assertTrue(lone[2].contains("U+D83D at index 8"), lone[2]);
            assertEquals(ERROR, execDirect(s, "SELECT 1\u0000"));
            assertEquals("HY009", takeDiagnostics()[0]);
            // A catalogue function gets exactly its arguments, or nothing runs.
            assertEquals(ERROR, catalog(s, CATALOG_TABLES, new String[3], new int[0]));
            assertEquals("HY009", takeDiagnostics()[0]);
            assertEquals(ERROR, catalog(s, CATALOG_SPECIAL_COLUMNS + 1, new String[0], new int[0]));
            assertEquals("HY009", takeDiagnostics()[0]);
            assertEquals(ERROR, catalog(s, CATALOG_TYPE_INFO, new String[0], null));
            assertEquals("HY009", takeDiagnostics()[0]);
        }
        try (Session db = Session.open(rig, WINDOWS_31J)) {
            long s = db.statement();
            assertEquals(ERROR, bindString(s, 1, "ソ表cafés", Types.VARCHAR));
            String[] refused = takeDiagnostics();
            assertEquals("22021", refused[0]);
            assertTrue(refused[2].contains("U+00E9 'é' at index 5"), refused[2]);
            assertEquals(ERROR, catalog(s, CATALOG_TABLES, new String[] {null, null, "café", null}, new int[0]));
            assertEquals("22021", takeDiagnostics()[0]);
            assertEquals(Arrays.asList("ソ表～"), db.strings("SELECT " + db.literal("ソ表～")));
        }
    }

    /**
     * A cancel from another thread stops a statement that is executing (a
     * query that would run a minute), which then runs again: the other
     * thread cancels until the execution has returned, so no timing decides
     * the outcome.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void cancelFromAnotherThreadStopsAnExecution(Rig rig) throws Exception {
        String endless = rig == Rig.POSTGRES ? "SELECT pg_sleep(60)"
                : rig == Rig.MARIA ? "SELECT SLEEP(60)"
                : "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 3000000000) SELECT max(i) FROM n";
        try (Session db = Session.open(rig, UNICODE)) {
            long s = db.statement();
            AtomicBoolean returned = new AtomicBoolean();
            Thread canceller = new Thread(() -> {
                while (!returned.get()) {
                    cancel(s);
                    Thread.yield();
                }
            });
            canceller.start();
            int status = execDirect(s, endless);
            returned.set(true);
            canceller.join();
            String[] records = takeDiagnostics();
            // Each driver says it its own way: sqliteodbc HY000 "interrupted",
            // psqlODBC the server's 57014, MariaDB's driver HY018 with error 1317.
            assertEquals(ERROR, status);
            assertEquals(rig == Rig.SQLITE ? "HY000" : rig == Rig.POSTGRES ? "57014" : "HY018", records[0]);
            assertTrue(records[2].contains(rig == Rig.SQLITE ? "interrupted" : rig == Rig.POSTGRES ? "canceling" : "interrupted"),
                    records[2]);
            ok(execDirect(s, "SELECT 7"));
            assertEquals(Arrays.asList("7"), Session.column(s));
        }
    }

    /**
     * A transaction rolled back and one committed with auto-commit off; an
     * update's count and a query's columns decided by the driver; the
     * driver's information in text and integer forms.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void transactionsCountsAndInformation(Rig rig) {
        try (Session db = Session.open(rig, UNICODE)) {
            String table = db.table("k integer");
            ok(setConnectionAttribute(db.connection, ATTR_AUTOCOMMIT, 0));
            db.exec("INSERT INTO " + table + " VALUES (1)");
            ok(endTransaction(db.connection, false));
            long s = db.statement();
            ok(execDirect(s, "INSERT INTO " + table + " VALUES (2), (3)"));
            int[] columns = new int[1];
            long[] count = new long[1];
            ok(numResultCols(s, columns));
            ok(rowCount(s, count));
            assertEquals(Arrays.asList(0, 2L), Arrays.asList(columns[0], count[0]));
            ok(endTransaction(db.connection, true));
            ok(setConnectionAttribute(db.connection, ATTR_AUTOCOMMIT, 1));
            ok(getConnectionAttribute(db.connection, ATTR_AUTOCOMMIT, count));
            assertEquals(1, count[0]);
            assertEquals(Arrays.asList("2", "3"), db.strings("SELECT k FROM " + table + " ORDER BY k"));

            String[] name = new String[1];
            ok(getInfoString(db.connection, 17, name)); // SQL_DBMS_NAME
            assertEquals(rig == Rig.SQLITE ? "SQLite" : rig == Rig.POSTGRES ? "PostgreSQL" : "MariaDB", name[0]);
            ok(getInfoInteger(db.connection, 46, 2, count)); // SQL_TXN_CAPABLE
            assertTrue(count[0] > 0, "transactions: " + count[0]);
        }
    }

    /**
     * SQLite holds UTF-8: a row the sqlite3 shell wrote reads exactly, and
     * a row written here shows the shell the UTF-8 bytes of its text.
     */
    @Test
    void sqliteFilesAreSharedExactlyWithTheSqliteShell() throws Exception {
        String file = dataSourceSetting(Rig.SQLITE.dataSource, "Database");
        String table = "jov_native_shell_" + Long.toHexString(System.nanoTime());
        shell(file, "CREATE TABLE " + table + " (k integer, v text); INSERT INTO " + table + " VALUES (1, '東京café😀');");
        try (Session db = Session.open(Rig.SQLITE, UNICODE)) {
            assertEquals(Arrays.asList("東京café😀"), db.strings("SELECT v FROM " + table));
            long s = db.statement();
            ok(prepare(s, "INSERT INTO " + table + " VALUES (2, ?)"));
            ok(bindString(s, 1, "ソ〜～¥\\𠮷", Types.VARCHAR));
            ok(execute(s));
            ok(freeStatement(s));
        }
        try {
            assertEquals("E382BDE3809CEFBD9EC2A55CF0A0AEB7",
                    shell(file, "SELECT hex(v) FROM " + table + " WHERE k = 2;").trim());
        } finally {
            shell(file, "DROP TABLE " + table + ";");
        }
    }

    private static String shell(String file, String sql) throws Exception {
        Process p = new ProcessBuilder("sqlite3", file, sql).redirectErrorStream(true).start();
        String out = new String(p.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertEquals(0, p.waitFor(), out);
        return out;
    }

    /** Arguments Java gets wrong are refused before anything runs. */
    @Test
    void nullArgumentsAreRefused() {
        assertEquals(ERROR, connect(null, UNICODE, 0, new long[1]));
        assertEquals("HY009", takeDiagnostics()[0]);
        assertEquals(ERROR, connect("DSN=JovSqlite", UNICODE, 0, new long[0]));
        assertEquals("HY009", takeDiagnostics()[0]);
        assertEquals(ERROR, connect("DSN=JovSqlite", 7, 0, new long[1]));
        assertEquals("HY000", takeDiagnostics()[0]);
        assertEquals(0, takeDiagnostics().length);
    }
}

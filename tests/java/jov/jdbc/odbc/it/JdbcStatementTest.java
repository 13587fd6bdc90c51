package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.math.BigDecimal;
import java.sql.BatchUpdateException;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.SQLWarning;
import java.sql.Statement;
import java.sql.Timestamp;
import java.sql.Types;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;
import java.util.stream.IntStream;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** Statements and prepared statements: exact counts, execute's two kinds, batches, bound values. */
class JdbcStatementTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    @ParameterizedTest
    @MethodSource(RIGS)
    void updateCountsAreExact(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer, v varchar(10)");
            assertEquals(3, statement.executeUpdate("INSERT INTO " + table + " VALUES (1, 'a'), (2, 'b'), (3, 'c')"));
            assertEquals(2, statement.executeUpdate("UPDATE " + table + " SET v = 'x' WHERE id >= 2"));
            assertEquals(0, statement.executeUpdate("UPDATE " + table + " SET v = 'y' WHERE id = 99"));
            assertFalse(statement.execute("DELETE FROM " + table + " WHERE id = 1"));
            assertEquals(1, statement.getUpdateCount());
            assertEquals(1L, statement.getLargeUpdateCount());
            assertNull(statement.getResultSet());
            assertTrue(statement.execute("  /* a comment */ SELECT id FROM " + table + " ORDER BY id"));
            assertEquals(-1, statement.getUpdateCount());
            ResultSet rs = statement.getResultSet();
            assertTrue(rs.next());
            assertEquals(2, rs.getInt(1));
            assertFalse(statement.getMoreResults());
            assertTrue(rs.isClosed());
            assertEquals(-1, statement.getUpdateCount());
            statement.setMaxRows(1);
            try (ResultSet limited = statement.executeQuery("SELECT id FROM " + table)) {
                assertTrue(limited.next());
                assertFalse(limited.next());
            }
        }
    }

    /**
     * A statement runs its SQL texts on the native statement it keeps while
     * its last result is closed: results of other columns are read by their
     * own, and one kept open by KEEP_CURRENT_RESULT still reads after the
     * next execution.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aStatementRunsEachTextAfreshBesideAResultKeptOpen(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer, v varchar(10)");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (1, 'a'), (2, 'b')");
            for (String columns : new String[] {"id, v", "v", "v, id, v"}) {
                ResultSet rs = statement.executeQuery("SELECT " + columns + " FROM " + table + " ORDER BY id");
                assertTrue(rs.next());
                String[] names = columns.split(", ");
                assertEquals(names.length, rs.getMetaData().getColumnCount());
                for (int c = 1; c <= names.length; c++) {
                    assertEquals(names[c - 1].equals("id") ? (Object) 1L : "a",
                            rs.getObject(c) instanceof Number ? (Object) rs.getLong(c) : rs.getObject(c));
                }
            }
            ResultSet kept = statement.executeQuery("SELECT id FROM " + table + " ORDER BY id");
            assertTrue(kept.next());
            assertFalse(statement.getMoreResults(Statement.KEEP_CURRENT_RESULT));
            assertEquals(2, statement.executeUpdate("UPDATE " + table + " SET v = 'c'"));
            assertTrue(kept.next());
            assertEquals(2, kept.getInt(1));
        }
    }

    /** psqlODBC runs statements separated by semicolons as one execution; the others refuse or run only the first. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void getMoreResultsReachesEveryResultOfOneExecution(Rig rig) throws SQLException {
        assumeTrue(rig == Rig.POSTGRES, "only psqlODBC gives several results here");
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer");
            assertTrue(statement.execute("SELECT 1; SELECT 2; INSERT INTO " + table + " VALUES (1), (2)"));
            ResultSet first = statement.getResultSet();
            assertTrue(first.next());
            assertEquals(1, first.getInt(1));
            assertTrue(statement.getMoreResults());
            assertTrue(first.isClosed());
            ResultSet second = statement.getResultSet();
            assertTrue(second.next());
            assertEquals(2, second.getInt(1));
            assertFalse(statement.getMoreResults());
            assertEquals(2, statement.getUpdateCount());
            assertFalse(statement.getMoreResults());
            assertEquals(-1, statement.getUpdateCount());
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void closeOnCompletionAndSqlOfTheWrongKind(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer");
            Statement statement = db.connection.createStatement();
            statement.closeOnCompletion();
            ResultSet rs = statement.executeQuery("SELECT id FROM " + table);
            assertFalse(rs.next());
            rs.close();
            assertTrue(statement.isClosed(), "closed with its last result");
            try (PreparedStatement insert = db.connection.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                assertNull(insert.getMetaData(), "no result yet");
                insert.setInt(1, 1);
                assertThrows(SQLException.class, insert::executeQuery, "an INSERT gives no result set");
                assertThrows(SQLException.class, () -> insert.executeUpdate("DELETE FROM " + table));
            }
        }
    }

    /**
     * execute is a query exactly when the driver reports result columns: a
     * WITH that deletes counts its rows (MariaDB has no WITH before DELETE),
     * an INSERT with RETURNING gives them, except through sqliteodbc, which
     * inserts and drops the rows.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void executeRunsWhatTheDriverReports(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer PRIMARY KEY");
            statement.executeUpdate("INSERT INTO " + table + " VALUES (1), (2), (3)");
            String with = rig == Rig.MARIA ? "" : "WITH x AS (SELECT 2 AS v) ";
            assertFalse(statement.execute(with + "DELETE FROM " + table + " WHERE id >= 2"));
            assertEquals(2, statement.getUpdateCount());
            assertEquals(1, statement.executeUpdate(with + "DELETE FROM " + table + " WHERE id = 1"));

            boolean rows = rig != Rig.SQLITE;
            assertEquals(rows, statement.execute("INSERT INTO " + table + " VALUES (7) RETURNING id"));
            assertEquals(rows ? -1 : 1, statement.getUpdateCount());
            if (rows) {
                ResultSet returned = statement.getResultSet();
                assertTrue(returned.next());
                assertEquals(7, returned.getInt(1));
            }
            assertThrows(SQLException.class, () -> statement.executeQuery("DELETE FROM " + table));
            ResultSet left = statement.executeQuery("SELECT count(*) FROM " + table);
            assertTrue(left.next());
            assertEquals(0, left.getInt(1), "the DELETE ran all the same");
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aBatchStopsAtItsFirstFailureWithTheCountsSoFar(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig); Statement statement = db.connection.createStatement()) {
            String table = db.createTable("id integer PRIMARY KEY");
            statement.addBatch("INSERT INTO " + table + " VALUES (1)");
            statement.addBatch("INSERT INTO " + table + " VALUES (2), (3)");
            statement.addBatch("INSERT INTO " + table + " VALUES (1)");
            statement.addBatch("INSERT INTO " + table + " VALUES (4)");
            BatchUpdateException e = assertThrows(BatchUpdateException.class, statement::executeBatch);
            assertArrayEquals(new int[] {1, 2}, e.getUpdateCounts());
            try (PreparedStatement insert = db.connection.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                for (int id = 10; id < 13; id++) {
                    insert.setInt(1, id);
                    insert.addBatch();
                }
                assertArrayEquals(new int[] {1, 1, 1}, insert.executeBatch());
            }
        }
    }

    /**
     * pgjdbc's ?? (jsonb's key-exists operator) cannot pass psqlODBC, which
     * takes every ? for a marker: refused up front, naming the function that
     * does pass, which works beside a real parameter.
     */
    @Test
    void postgresQuestionOperatorIsRefusedForItsFunction() throws SQLException {
        try (Jdbc db = Jdbc.open(Rig.POSTGRES)) {
            String table = db.createTable("id integer, doc jsonb");
            db.update("INSERT INTO " + table + " VALUES (1, '{\"a\": 1}')");
            SQLException refused = assertThrows(SQLException.class, () -> db.connection.prepareStatement(
                    "SELECT doc ?? 'a' FROM " + table + " WHERE id = ?"));
            assertEquals("0A000", refused.getSQLState(), refused.getMessage());
            assertTrue(refused.getMessage().contains("jsonb_exists"), refused.getMessage());
            try (PreparedStatement query = db.connection.prepareStatement(
                    "SELECT jsonb_exists(doc, 'a') FROM " + table + " WHERE id = ?")) {
                query.setInt(1, 1);
                ResultSet rows = query.executeQuery();
                assertTrue(rows.next());
                assertTrue(rows.getBoolean(1));
            }
        }
    }

    /**
     * A prepared batch larger than one parameter array (1,000 rows), with
     * NULLs and a column set as int in some rows and long in others: each
     * row's count is exact, and so is each row of an update that changes
     * a different number of rows per parameter row.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aPreparedBatchCountsEachRowExactly(Rig rig) throws SQLException {
        int rows = 2_500;
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer PRIMARY KEY, n bigint, x double precision, v varchar(20)");
            try (PreparedStatement insert = db.connection.prepareStatement(
                    "INSERT INTO " + table + " VALUES (?, ?, ?, ?)")) {
                for (int id = 0; id < rows; id++) {
                    insert.setInt(1, id);
                    if (id % 7 == 0) {
                        insert.setNull(2, Types.BIGINT);
                    } else if (id % 2 == 0) {
                        insert.setInt(2, id % 3);
                    } else {
                        insert.setLong(2, id % 3 + (1L << 40));
                    }
                    insert.setDouble(3, id / 4.0);
                    insert.setString(4, id % 5 == 0 ? null : "v" + id);
                    insert.addBatch();
                }
                db.connection.setAutoCommit(false);
                int[] counts = insert.executeBatch();
                db.connection.commit();
                db.connection.setAutoCommit(true);
                assertEquals(rows, counts.length);
                assertTrue(IntStream.of(counts).allMatch(c -> c == 1), Arrays.toString(counts));
            }
            try (PreparedStatement update = db.connection.prepareStatement(
                    "UPDATE " + table + " SET v = ? WHERE id < ?")) {
                int[] below = {0, 3, 1, 2_500};
                for (int i = 0; i < below.length; i++) {
                    update.setString(1, "u" + i);
                    update.setInt(2, below[i]);
                    update.addBatch();
                }
                assertArrayEquals(new int[] {0, 3, 1, 2_500}, update.executeBatch());
            }
            try (Statement check = db.connection.createStatement();
                    ResultSet sums = check.executeQuery("SELECT count(n), sum(n), sum(x) FROM " + table)) {
                assertTrue(sums.next());
                long big = IntStream.range(0, rows).filter(id -> id % 7 != 0 && id % 2 != 0).count();
                assertEquals(rows - (rows + 6) / 7, sums.getLong(1));
                assertEquals(IntStream.range(0, rows).filter(id -> id % 7 != 0).mapToLong(id -> id % 3).sum()
                        + (big << 40), sums.getLong(2));
                assertEquals(IntStream.range(0, rows).mapToDouble(id -> id / 4.0).sum(), sums.getDouble(3));
            }
        }
    }

    /**
     * A row that breaks a constraint in the middle of a prepared batch stops
     * it, with or without auto-commit: the counts of the rows before it,
     * which took effect (until a rollback), and none after. MariaDB's rows
     * go as one parameter array, counted only in total, which fails whole:
     * no count, and the statement's rows undone on a transactional table.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void aFailingRowStopsAPreparedBatchAfterTheRowsBeforeIt(Rig rig) throws SQLException {
        boolean whole = rig == Rig.MARIA;
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer PRIMARY KEY, v varchar(20)");
            for (boolean autoCommit : new boolean[] {true, false}) {
                db.connection.setAutoCommit(autoCommit);
                int base = autoCommit ? 0 : 100;
                try (PreparedStatement insert = db.connection.prepareStatement(
                        "INSERT INTO " + table + " VALUES (?, ?)")) {
                    for (int id : new int[] {1, 2, 3, 2, 4, 5}) {
                        insert.setInt(1, base + id);
                        insert.setString(2, "r" + id);
                        insert.addBatch();
                    }
                    BatchUpdateException e = assertThrows(BatchUpdateException.class, insert::executeBatch);
                    assertArrayEquals(whole ? new int[0] : new int[] {1, 1, 1}, e.getUpdateCounts());
                }
                if (!autoCommit) {
                    db.connection.rollback();
                    db.connection.setAutoCommit(true);
                }
                assertEquals(autoCommit && !whole ? List.of(1, 2, 3) : List.of(), ids(db, table, base));
            }
        }
    }

    /** A table without transactions keeps the rows before a failing one of an array, once: it is not run again. */
    @Test
    void aFailedArrayIsNotRunAgainOnATableWithoutTransactions() throws SQLException {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.MARIA), "JovMaria not selected");
        try (Jdbc db = Jdbc.open(Rig.MARIA)) {
            String table = db.createTable("id integer, v varchar(20) NOT NULL");
            db.connection.createStatement().execute("ALTER TABLE " + table + " ENGINE=MyISAM");
            try (PreparedStatement insert = db.connection.prepareStatement("INSERT INTO " + table + " VALUES (?, ?)")) {
                for (int id = 1; id <= 5; id++) {
                    insert.setInt(1, id);
                    insert.setString(2, id == 4 ? null : "r" + id);
                    insert.addBatch();
                }
                assertThrows(BatchUpdateException.class, insert::executeBatch);
            }
            assertEquals(List.of(1, 2, 3), ids(db, table, 0));
        }
    }

    private static List<Integer> ids(Jdbc db, String table, int base) throws SQLException {
        try (Statement check = db.connection.createStatement();
                ResultSet ids = check.executeQuery("SELECT id FROM " + table + " WHERE id > " + base
                        + " AND id < " + (base + 100) + " ORDER BY id")) {
            List<Integer> kept = new ArrayList<>();
            while (ids.next()) {
                kept.add(ids.getInt(1) - base);
            }
            return kept;
        }
    }

    /** Values that would break or change the SQL if they were pasted in: stored exactly. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void boundTextIsStoredExactly(Rig rig) throws SQLException {
        List<String> texts = List.of("'); DROP TABLE t;--", "O'Brien\\¥", "\\' OR '1'='1", "ソ表能 -- ? /* ? */",
                "$$ $tag$ ?", "");
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("id integer, v varchar(100)");
            try (PreparedStatement insert = db.connection.prepareStatement(
                    "INSERT INTO " + table + " VALUES (?, ?) -- '?'")) {
                assertEquals(2, insert.getParameterMetaData().getParameterCount());
                for (int i = 0; i < texts.size(); i++) {
                    insert.setInt(1, i);
                    insert.setString(2, texts.get(i));
                    assertEquals(1, insert.executeUpdate());
                }
                insert.setInt(1, texts.size());
                insert.setNull(2, Types.VARCHAR);
                assertEquals(1, insert.executeUpdate());
                insert.clearParameters();
                assertThrows(SQLException.class, insert::executeUpdate, "parameters unset");
                insert.setInt(1, 0);
                assertThrows(SQLException.class, () -> insert.setString(2, "cut\0here"));
            }
            List<String> stored = new ArrayList<>();
            try (PreparedStatement select = db.connection.prepareStatement(
                    "SELECT v FROM " + table + " WHERE id >= ? ORDER BY id")) {
                select.setLong(1, 0);
                try (ResultSet rs = select.executeQuery()) {
                    while (rs.next()) {
                        stored.add(rs.getString(1));
                    }
                }
            }
            // The ODBC driver binds each value, '¥' and '\\' kept apart.
            List<String> expected = new ArrayList<>(texts);
            expected.add(null);
            assertEquals(expected, stored);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void boundValuesOfEachKindComeBack(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("b " + rig.binaryType + ", d " + rig.doubleType
                    + ", n numeric(12,4), ts " + rig.timestampType + ", f integer");
            Timestamp ts = Timestamp.valueOf("2004-04-30 21:50:08.123456");
            byte[] bytes = {0, 0x5c, (byte) 0xff, 0x27};
            try (PreparedStatement insert = db.connection.prepareStatement(
                    "INSERT INTO " + table + " VALUES (?, ?, ?, ?, ?)")) {
                insert.setBytes(1, bytes);
                insert.setDouble(2, 1e-7);
                insert.setBigDecimal(3, new BigDecimal("12.5000"));
                insert.setTimestamp(4, ts);
                insert.setObject(5, "7", Types.INTEGER);
                assertEquals(1, insert.executeUpdate());
            }
            try (Statement statement = db.connection.createStatement();
                    ResultSet rs = statement.executeQuery("SELECT * FROM " + table)) {
                assertTrue(rs.next());
                assertArrayEquals(bytes, rs.getBytes(1));
                assertEquals(1e-7, rs.getDouble(2));
                assertEquals(0, new BigDecimal("12.5").compareTo(rs.getBigDecimal(3)));
                assertEquals(ts, rs.getTimestamp(4));
                assertEquals(7, rs.getInt(5));
            }
        }
    }

    /**
     * An execution the ODBC driver answers SQL_SUCCESS_WITH_INFO leaves its
     * records as the statement's warnings, with state and native code, until
     * the next execution; PostgreSQL's RAISE WARNING is one on demand.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void successWithInfoBecomesTheStatementsWarnings(Rig rig) throws SQLException {
        assumeTrue(rig == Rig.POSTGRES, "only PostgreSQL warns on demand");
        // Measured: through iODBC, psqlODBC answers the same execution SQL_SUCCESS with no record.
        assumeTrue(!Rig.underIodbc(), "iODBC passes no notice of psqlODBC");
        try (Jdbc db = Jdbc.open(rig); Statement st = db.connection.createStatement()) {
            st.execute("DO $$BEGIN RAISE WARNING 'careful ソ'; END$$");
            SQLWarning warning = st.getWarnings();
            assertEquals("01000 careful ソ", warning.getSQLState() + " "
                    + warning.getMessage().substring(warning.getMessage().indexOf("careful")));
            assertNull(warning.getNextWarning());
            st.execute("SELECT 1");
            assertNull(st.getWarnings(), "an execution clears the previous one's warnings");
        }
    }
}

package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * A value given to a PreparedStatement or as a DatabaseMetaData pattern is
 * data, whatever the session: its character set (a second byte 0x5C of ソ or
 * 表 in Windows-31J is a backslash in latin1 or utf8mb4), how it reads
 * backslashes at connect, or a change of that after connecting. Each text is
 * stored and read back as itself and nothing else changes.
 */
class BoundParameterTest {
    /** {t} names the other table, the one the texts try to drop. */
    private static final List<String> TEXTS = List.of("ソ' OR 1=1 -- ", "ソ\\'; DROP TABLE {t}; -- ",
            "'); DROP TABLE {t};--", "O'Brien\\¥", "a; DROP TABLE {t}", "C:\\Users\\taro");
    private static final String SET_NO_BACKSLASH_ESCAPES =
            "SET SESSION sql_mode = CONCAT(@@sql_mode, ',NO_BACKSLASH_ESCAPES')";

    /**
     * A data source of the rig or one of scripts/odbc-env.sh that only these
     * tests use, and the statement that turns its backslash mode the other
     * way after connecting (null where there is none). JovMariaLatin1 starts
     * with NO_BACKSLASH_ESCAPES (InitStmt).
     */
    record Session(Rig rig, String dataSource, String modeChange) {
        @Override
        public String toString() {
            return dataSource;
        }
    }

    private static final List<Session> SESSIONS = List.of(
            new Session(Rig.SQLITE, "JovSqlite", null),
            new Session(Rig.POSTGRES, "JovPg", "SET standard_conforming_strings TO off"),
            new Session(Rig.POSTGRES, "JovPgLatin1", "SET standard_conforming_strings TO on"),
            new Session(Rig.MARIA, "JovMaria", SET_NO_BACKSLASH_ESCAPES),
            new Session(Rig.MARIA, "JovMariaNoCharset", SET_NO_BACKSLASH_ESCAPES),
            new Session(Rig.MARIA, "JovMariaLatin1",
                    "SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(@@sql_mode, 'NO_BACKSLASH_ESCAPES', ''))"));

    static Stream<Arguments> sessions() {
        List<Rig> selected = Rig.all().toList();
        return SESSIONS.stream().filter(s -> selected.contains(s.rig())).flatMap(s -> s.modeChange() == null
                ? Stream.of(Arguments.of(s, false)) : Stream.of(Arguments.of(s, false), Arguments.of(s, true)));
    }

    @ParameterizedTest(name = "{0}, mode changed: {1}")
    @MethodSource("sessions")
    void injectionTextsStayData(Session session, boolean modeChanged) throws SQLException {
        String table = "inj_" + ProcessHandle.current().pid() + "_" + SESSIONS.indexOf(session);
        String other = table + "_other";
        try (Connection c = DriverManager.getConnection(
                "jdbc:jov:odbc:" + session.dataSource(), session.rig().user, session.rig().password);
                Statement statement = c.createStatement()) {
            statement.executeUpdate("CREATE TABLE " + table + " (k integer, v " + UnicodeTextTest.textType(session.rig()) + ")");
            statement.executeUpdate("CREATE TABLE " + other + " (k integer)");
            try {
                statement.executeUpdate("INSERT INTO " + table + " (k, v) VALUES (1, 'one')");
                statement.executeUpdate("INSERT INTO " + other + " (k) VALUES (1)");
                if (modeChanged) {
                    statement.execute(session.modeChange());
                }
                for (int i = 0; i < TEXTS.size(); i++) {
                    storeAndFind(c, table, 10 + i, TEXTS.get(i).replace("{t}", other));
                }
                assertEquals(List.of("one"), column(c, "SELECT v FROM " + table + " WHERE k = 1"));
                assertEquals(List.of(String.valueOf(1 + TEXTS.size())),
                        column(c, "SELECT count(*) FROM " + table));
                assertEquals(List.of("1"), column(c, "SELECT count(*) FROM " + other));
            } finally {
                statement.executeUpdate("DROP TABLE IF EXISTS " + table);
                statement.executeUpdate("DROP TABLE IF EXISTS " + other);
            }
        }
    }

    /**
     * Searches for the text (no row has it yet), inserts it, moves its row
     * to a new key through an UPDATE that sets it again, and finds it alone,
     * by value and as a table pattern. An UPDATE changing nothing would count
     * 0 rows on MariaDB.
     */
    private static void storeAndFind(Connection c, String table, int key, String text) throws SQLException {
        try (PreparedStatement insert = c.prepareStatement("INSERT INTO " + table + " (k, v) VALUES (?, ?)");
                PreparedStatement update = c.prepareStatement("UPDATE " + table + " SET v = ?, k = ? WHERE k = ?");
                PreparedStatement find = c.prepareStatement("SELECT k, v FROM " + table + " WHERE v = ?")) {
            find.setString(1, text);
            assertEquals(List.of(), values(find.executeQuery(), 2), text + " before it was stored");
            insert.setInt(1, key);
            insert.setString(2, text);
            assertEquals(1, insert.executeUpdate(), text);
            update.setString(1, text);
            update.setInt(2, key + 100);
            update.setInt(3, key);
            assertEquals(1, update.executeUpdate(), text);
            try (ResultSet rows = find.executeQuery()) {
                assertTrue(rows.next(), text);
                assertEquals(key + 100, rows.getInt(1), text);
                assertEquals(text, rows.getString(2));
                assertFalse(rows.next(), text + " matched more than its own row");
            }
        }
        assertEquals(List.of(), values(c.getMetaData().getTables(null, null, text, null), 3), text + " as a pattern");
    }

    private static List<String> column(Connection c, String sql) throws SQLException {
        try (Statement s = c.createStatement()) {
            return values(s.executeQuery(sql), 1);
        }
    }

    /** The values of one column of every row; closes the rows. */
    private static List<String> values(ResultSet rows, int column) throws SQLException {
        try (rows) {
            List<String> values = new ArrayList<>();
            while (rows.next()) {
                values.add(rows.getString(column));
            }
            return values;
        }
    }
}

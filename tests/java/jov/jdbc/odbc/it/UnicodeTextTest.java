package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertNotNull;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Every Java string crosses the driver exactly, both ways, on every data
 * source: in SQL text, as a parameter, as a value read back and compared in
 * the database, as a column or table name, in an error message, and as the
 * user and password of the URL.
 */
class UnicodeTextTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    /** Look-alikes stay apart: 〜 U+301C and ～ U+FF5E, ¥ and \; 😀 and 𠮷 lie outside the BMP. */
    static final List<String> TEXTS = List.of("café", "Müller", "中文简体", "😀", "𠮷", "ソ表能", "〜", "～",
            "¥", "\\", text(70_000));

    /** Text of the given length (a multiple of 8) whose characters take 1 to 4 bytes in UTF-8. */
    static String text(int length) {
        return "é中😀ソ〜～\\".repeat(length / 8);
    }

    /** A text column that compares exactly: MariaDB's default collation takes 😀 and 𠮷 for one character. */
    static String textType(Rig rig) {
        return rig == Rig.MARIA ? "longtext COLLATE utf8mb4_bin" : rig.longTextType;
    }

    /** Fails naming the first difference, not printing values of thousands of characters. */
    static void assertExact(String expected, String actual, String what) {
        assertNotNull(actual, what);
        int at = Arrays.mismatch(expected.toCharArray(), actual.toCharArray());
        assertTrue(at < 0, () -> what + ": " + actual.length() + " characters for " + expected.length()
                + ", first difference at " + at + ": " + actual.substring(at, Math.min(actual.length(), at + 8))
                + " for " + expected.substring(at, Math.min(expected.length(), at + 8)));
    }

    private static String literal(Rig rig, String text) {
        String quoted = text.replace("'", "''");
        return "'" + (rig == Rig.MARIA ? quoted.replace("\\", "\\\\") : quoted) + "'";
    }

    private static String utf8HexOf(Rig rig, String column) {
        return rig == Rig.POSTGRES ? "upper(encode(convert_to(" + column + ", 'UTF8'), 'hex'))" : "hex(" + column + ")";
    }

    /**
     * Each text is written once in SQL text and once as a parameter; a bound
     * search finds exactly those two rows, which read back as the text and
     * hold its UTF-8 bytes.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void textCrossesExactlyBothWays(Rig rig) throws SQLException {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("k integer, v " + textType(rig));
            try (PreparedStatement insert = db.connection.prepareStatement(
                    "INSERT INTO " + table + " (k, v) VALUES (?, ?)")) {
                for (int i = 0; i < TEXTS.size(); i++) {
                    db.update("INSERT INTO " + table + " (k, v) VALUES (" + 2 * i + ", " + literal(rig, TEXTS.get(i)) + ")");
                    insert.setInt(1, 2 * i + 1);
                    insert.setString(2, TEXTS.get(i));
                    assertEquals(1, insert.executeUpdate());
                }
            }
            try (PreparedStatement find = db.connection.prepareStatement(
                    "SELECT k, v, " + utf8HexOf(rig, "v") + " FROM " + table + " WHERE v = ? ORDER BY k")) {
                for (int i = 0; i < TEXTS.size(); i++) {
                    String text = TEXTS.get(i);
                    find.setString(1, text);
                    try (ResultSet rows = find.executeQuery()) {
                        for (int k = 2 * i; k <= 2 * i + 1; k++) {
                            assertTrue(rows.next(), "row " + k + " not found by value " + i);
                            assertEquals(k, rows.getInt(1), "value " + i);
                            assertExact(text, rows.getString(2), "row " + k);
                            assertExact(Shell.utf8Hex(text), rows.getString(3), "bytes of row " + k);
                        }
                        assertFalse(rows.next(), "value " + i + " matched another row");
                    }
                }
            }
        }
    }

    /** MariaDB refuses characters outside the BMP in identifiers (ERROR 1300), so its names go without 😀. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void namesAndMessagesCrossExactly(Rig rig) throws SQLException {
        String name = (rig == Rig.MARIA ? "表é_" : "表é😀_") + ProcessHandle.current().pid();
        String alias = rig == Rig.MARIA ? "列é" : "列é😀";
        try (Jdbc db = Jdbc.open(rig)) {
            String quote = db.connection.getMetaData().getIdentifierQuoteString();
            String table = quote + name + quote;
            db.update("CREATE TABLE " + table + " (v integer)");
            try {
                db.update("INSERT INTO " + table + " (v) VALUES (7)");
                try (ResultSet rows = db.connection.createStatement()
                        .executeQuery("SELECT v AS " + quote + alias + quote + " FROM " + table)) {
                    assertEquals(alias, rows.getMetaData().getColumnLabel(1));
                    assertTrue(rows.next());
                    assertEquals(7, rows.getInt(alias));
                }
                try (ResultSet tables = db.connection.getMetaData().getTables(null, null, name, null)) {
                    assertTrue(tables.next(), "getTables " + name);
                    assertEquals(name, tables.getString("TABLE_NAME"));
                }
                String missing = "nosuch_" + name;
                SQLException e = assertThrows(SQLException.class,
                        () -> db.connection.createStatement().executeQuery("SELECT * FROM " + missing));
                assertTrue(e.getMessage().contains(missing), e.getMessage());
            } finally {
                db.update("DROP TABLE " + table);
            }
        }
    }

    /**
     * A user and password with characters outside ASCII, given in the URL.
     * The rig's PostgreSQL trusts every local connection, so there only the
     * user name is proven; MariaDB checks the password's hash.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void urlCredentialsCrossExactly(Rig rig) throws Exception {
        assumeTrue(rig != Rig.SQLITE, "SQLite has no users");
        String user = "jöv表";
        String password = "pässwörd表";
        String[] admin = rig == Rig.POSTGRES
                ? new String[] {"psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", Shell.env("JOV_PG_DIR"),
                    "-p", Shell.env("JOV_PG_PORT"), "-U", "postgres", "-d", Shell.env("JOV_PG_DATABASE")}
                : new String[] {"mariadb", "--no-defaults", "--default-character-set=utf8mb4",
                    "--socket=" + Shell.env("JOV_MARIA_DIR") + "/mariadb.sock", "-u", "root"};
        String account = rig == Rig.POSTGRES ? "\"" + user + "\"" : "'" + user + "'@'localhost'";
        Shell.run(rig == Rig.POSTGRES
                ? "DROP ROLE IF EXISTS " + account + "; CREATE ROLE " + account + " LOGIN PASSWORD '" + password + "';"
                : "DROP USER IF EXISTS " + account + "; CREATE USER " + account + " IDENTIFIED BY '" + password
                        + "'; GRANT SELECT ON " + Shell.env("JOV_MARIA_DATABASE") + ".* TO " + account + ";", admin);
        try (Connection c = DriverManager.getConnection(
                Jdbc.url(rig) + ";user=" + user + ";password=" + password);
                ResultSet rows = c.createStatement().executeQuery(
                        rig == Rig.POSTGRES ? "SELECT current_user" : "SELECT current_user()")) {
            assertTrue(rows.next());
            assertEquals(rig == Rig.POSTGRES ? user : user + "@localhost", rows.getString(1));
        } finally {
            Shell.run((rig == Rig.POSTGRES ? "DROP ROLE " : "DROP USER ") + account + ";", admin);
        }
    }
}

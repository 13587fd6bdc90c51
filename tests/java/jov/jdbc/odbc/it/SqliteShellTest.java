package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.file.Files;
import java.nio.file.Path;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.util.List;
import java.util.stream.Collectors;
import org.junit.jupiter.api.BeforeEach;
import org.junit.jupiter.api.Test;

/**
 * SQLite keeps text as UTF-8, and the driver shares its files with every
 * other SQLite tool: what the sqlite3 shell writes the driver reads exactly,
 * and what the driver writes the shell finds as the text's UTF-8 bytes.
 * The file is JovSqliteShell's, remade by each test.
 */
class SqliteShellTest {
    private static final String URL = "jdbc:jov:odbc:JovSqliteShell";
    private static final List<String> TEXTS = List.of("東京", "café", "😀𠮷", "〜～", "¥\\", "ソ表能");

    private final Path file = Path.of(Shell.env("JOV_ODBC_DIR"), "shell.sqlite");

    @BeforeEach
    void removeFile() throws Exception {
        Files.deleteIfExists(file);
    }

    @Test
    void driverReadsWhatTheShellWrote() throws Exception {
        StringBuilder script = new StringBuilder("CREATE TABLE t (k integer, v text);\n");
        for (int k = 0; k < TEXTS.size(); k++) {
            script.append("INSERT INTO t VALUES (").append(k).append(", '").append(TEXTS.get(k)).append("');\n");
        }
        Shell.run(script.toString(), "sqlite3", file.toString());
        try (Connection c = DriverManager.getConnection(URL);
                ResultSet rows = c.createStatement().executeQuery("SELECT v FROM t ORDER BY k")) {
            for (String text : TEXTS) {
                assertTrue(rows.next());
                assertEquals(text, rows.getString(1));
            }
            assertFalse(rows.next());
        }
    }

    /** Each text is written in SQL text and as a parameter. */
    @Test
    void shellReadsWhatTheDriverWrote() throws Exception {
        try (Connection c = DriverManager.getConnection(URL)) {
            c.createStatement().executeUpdate("CREATE TABLE t (k integer, v text)");
            try (PreparedStatement insert = c.prepareStatement("INSERT INTO t (k, v) VALUES (?, ?)")) {
                for (int k = 0; k < TEXTS.size(); k++) {
                    c.createStatement().executeUpdate("INSERT INTO t VALUES (" + 2 * k + ", '" + TEXTS.get(k) + "')");
                    insert.setInt(1, 2 * k + 1);
                    insert.setString(2, TEXTS.get(k));
                    insert.executeUpdate();
                }
            }
        }
        String hex = Shell.run("SELECT hex(v) FROM t ORDER BY k;\n", "sqlite3", file.toString());
        assertEquals(TEXTS.stream().map(Shell::utf8Hex).map(h -> h + "\n" + h + "\n").collect(Collectors.joining()),
                hex);
    }
}

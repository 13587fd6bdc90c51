package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotNull;

import java.io.IOException;
import java.io.OutputStream;
import java.nio.charset.StandardCharsets;
import java.util.HexFormat;

/**
 * The command-line clients (psql, mariadb, sqlite3) that set up or check what
 * the driver's tests cannot do through the driver under test. Text goes to them
 * on standard input as UTF-8 and comes back as UTF-8: arguments would pass
 * through the JVM's locale-bound encoding.
 */
final class Shell {
    private Shell() {
    }

    /** Runs the command with the input; fails the test unless it exits with 0. Its standard output. */
    static String run(String input, String... command) throws IOException, InterruptedException {
        ProcessBuilder builder = new ProcessBuilder(command).redirectErrorStream(true);
        builder.environment().put("PGCLIENTENCODING", "UTF8");
        Process process = builder.start();
        try (OutputStream in = process.getOutputStream()) {
            in.write(input.getBytes(StandardCharsets.UTF_8));
        }
        String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertEquals(0, process.waitFor(), () -> String.join(" ", command) + ": " + output);
        return output;
    }

    /** A variable of scripts/odbc-env.sh, which the JVM must have been started under. */
    static String env(String name) {
        String value = System.getenv(name);
        assertNotNull(value, name + " unset: source scripts/odbc-env.sh first");
        return value;
    }

    /** The UTF-8 bytes of the text in upper-case hex, as SQLite's and MariaDB's hex() write them. */
    static String utf8Hex(String text) {
        return HexFormat.of().withUpperCase().formatHex(text.getBytes(StandardCharsets.UTF_8));
    }
}

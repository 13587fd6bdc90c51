package jov.jdbc.odbc.bench;

import java.nio.file.Files;
import java.nio.file.Path;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.ResultSet;
import java.sql.Statement;

/**
 * One read in a JVM of its own, for its peak memory:
 *
 * <pre>
 * RssProbe URL USER PASSWORD FETCH_SIZE SQL
 * </pre>
 *
 * reads every value of SQL with getString, fetch size FETCH_SIZE and
 * auto-commit off (pgjdbc fetches in blocks only then), and prints "rss KB
 * ROWS": the process's peak resident set (VmHWM) after the read.
 */
public final class RssProbe {

    private RssProbe() {
    }

    public static void main(String[] args) throws Exception {
        long rows = 0;
        long lengths = 0;
        try (Connection connection = DriverManager.getConnection(args[0], args[1], args[2])) {
            connection.setAutoCommit(false);
            try (Statement statement = connection.createStatement()) {
                statement.setFetchSize(Integer.parseInt(args[3]));
                try (ResultSet result = statement.executeQuery(args[4])) {
                    int columns = result.getMetaData().getColumnCount();
                    while (result.next()) {
                        rows++;
                        for (int c = 1; c <= columns; c++) {
                            String value = result.getString(c);
                            lengths += value == null ? 0 : value.length();
                        }
                    }
                }
            }
            connection.commit();
        }
        System.out.printf("rss %d %d %d%n", peakKilobytes(), rows, lengths);
    }

    private static long peakKilobytes() throws java.io.IOException {
        for (String line : Files.readAllLines(Path.of("/proc/self/status"))) {
            if (line.startsWith("VmHWM:")) {
                return Long.parseLong(line.replaceAll("[^0-9]", ""));
            }
        }
        throw new IllegalStateException("no VmHWM in /proc/self/status");
    }
}

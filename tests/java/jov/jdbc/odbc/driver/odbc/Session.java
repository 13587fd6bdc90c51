package jov.jdbc.odbc.driver.odbc;

import static jov.jdbc.odbc.driver.odbc.OdbcNatives.*;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import jov.jdbc.odbc.driver.text.Utf8;
import jov.jdbc.odbc.it.Rig;

/**
 * One connection of OdbcNatives to a data source of the rig, opened as the
 * driver will open it: Unicode with the session's character set pinned in
 * the connection string (MariaDB's CHARSET, psqlODBC's ConnSettings merged
 * with the data source's own), or Windows-31J as the data source says.
 * Every call that is not expected to fail goes through {@link #ok}, which
 * fails the test with the call's diagnostics.
 */
final class Session implements AutoCloseable {
    final Rig rig;
    final long connection;
    private final List<String> tables = new ArrayList<>();

    private Session(Rig rig, long connection) {
        this.rig = rig;
        this.connection = connection;
    }

    static Session open(Rig rig, int charset) {
        long[] token = new long[1];
        ok(connect(connectionString(rig, charset), charset, 10, token));
        return new Session(rig, token[0]);
    }

    static String connectionString(Rig rig, int charset) {
        StringBuilder s = new StringBuilder("DSN=" + braced(rig.dataSource));
        if (!rig.user.isEmpty()) {
            s.append(";UID=").append(braced(rig.user)).append(";PWD=").append(braced(rig.password));
        }
        if (charset == UNICODE) {
            String own = dataSourceSetting(rig.dataSource, "ConnSettings");
            String pin = "SET client_encoding TO 'UTF8'";
            s.append(";CHARSET=utf8mb4;ConnSettings=").append(braced(own.isEmpty() ? pin : own + ";" + pin));
        }
        return s.toString();
    }

    /** A value as the connection string carries it: in braces where it holds what would end it (psqlODBC reads no braces in DSN). */
    private static String braced(String value) {
        boolean plain = value.equals(value.trim()) && !value.matches(".*[;{}=].*");
        return plain ? value : "{" + value.replace("}", "}}") + "}";
    }

    /** The status, when it is a success; otherwise fails with the thread's records. */
    static int ok(int status) {
        assertTrue(status == SUCCESS || status == SUCCESS_WITH_INFO || status == NO_DATA || status == NULL_DATA,
                () -> "status " + status + ": " + Arrays.toString(takeDiagnostics()));
        return status;
    }

    long statement() {
        long[] token = new long[1];
        ok(allocStatement(connection, token));
        return token[0];
    }

    /** Runs SQL text to its end on a statement of its own. */
    void exec(String sql) {
        long s = statement();
        try {
            ok(execDirect(s, sql));
        } finally {
            freeStatement(s);
        }
    }

    /** A fresh table of the given columns, dropped at close. */
    String table(String columns) {
        String name = "jov_native_" + tables.size() + "_" + Long.toHexString(System.nanoTime());
        exec("CREATE TABLE " + name + " (" + columns + ")");
        tables.add(name);
        return name;
    }

    /** The first column of every row of a query, read as text. */
    List<String> strings(String sql) {
        long s = statement();
        try {
            ok(execDirect(s, sql));
            return column(s);
        } finally {
            freeStatement(s);
        }
    }

    /** getText's value as a String, whichever form it came in. */
    static int getString(long statement, int column, String[] value) {
        Object[] text = new Object[1];
        int status = getText(statement, column, text);
        value[0] = text[0] instanceof byte[] ? Utf8.decode((byte[]) text[0]) : (String) text[0];
        return status;
    }

    static List<String> column(long statement) {
        List<String> values = new ArrayList<>();
        String[] value = new String[1];
        while (ok(fetch(statement)) != NO_DATA) {
            ok(getString(statement, 1, value));
            values.add(value[0]);
        }
        return values;
    }

    String textType() {
        return rig == Rig.MARIA ? "longtext" : "text";
    }

    String binaryType() {
        return rig == Rig.POSTGRES ? "bytea" : rig == Rig.MARIA ? "longblob" : "blob";
    }

    String quoted(String identifier) {
        return rig == Rig.MARIA ? "`" + identifier + "`" : "\"" + identifier + "\"";
    }

    /** An SQL string literal of the dialect: MariaDB reads backslashes as escapes. */
    String literal(String value) {
        String v = value.replace("'", "''");
        return "'" + (rig == Rig.MARIA ? v.replace("\\", "\\\\") : v) + "'";
    }

    @Override
    public void close() {
        for (String t : tables) {
            exec("DROP TABLE " + t);
        }
        ok(disconnect(connection));
    }
}

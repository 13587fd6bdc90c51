package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNotEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.LinkedHashSet;
import java.util.List;
import java.util.Set;
import java.util.concurrent.atomic.AtomicInteger;

/**
 * One open connection of a test, with the tables and cursors it made. Closing
 * it closes the cursors, drops the tables and closes the connection, so every
 * test leaves the data sources as it found them.
 *
 * <p>Each helper fails the test, with the last-error record in the message,
 * where the native reports a failure the test did not ask for.
 */
final class Db implements AutoCloseable {
    private static final AtomicInteger SERIAL = new AtomicInteger();

    final Rig rig;
    final int id;
    private final List<String> tables = new ArrayList<>();
    private final Set<Integer> cursors = new LinkedHashSet<>();

    private Db(Rig rig, int id) {
        this.rig = rig;
        this.id = id;
    }

    static Db open(Rig rig) {
        int id = JNIODBCopen(rig.dataSource, rig.user, rig.password);
        assertTrue(id >= 1, () -> "open " + rig + ": " + lastError());
        return new Db(rig, id);
    }

    /** "[code] message" of the last-error record, for failure messages. */
    static String lastError() {
        return "[" + JNIODBCgetErrorCode() + "] " + JNIODBCgetErrorString();
    }

    static void assertRecord(String code, String message) {
        assertEquals(code, JNIODBCgetErrorCode(), "error code");
        assertEquals(message, JNIODBCgetErrorString(), "error message");
    }

    /** Creates a table with a name no other test (or run) uses; dropped at close. */
    String createTable(String columns) {
        String name = "jov_" + ProcessHandle.current().pid() + "_" + SERIAL.incrementAndGet();
        exec("CREATE TABLE " + name + " (" + columns + ")");
        tables.add(name);
        return name;
    }

    /** Runs a statement that must succeed with 1. */
    void exec(String sql) {
        assertEquals(1, JNIODBCexecSQLUpdate(id, sql), () -> sql + ": " + lastError());
    }

    /** Runs a query that must open a cursor; the cursor is closed at close. */
    int query(String sql) {
        int cursor = JNIODBCexecSQLQuery(id, sql);
        assertTrue(cursor >= 1, () -> sql + ": " + lastError());
        cursors.add(cursor);
        return cursor;
    }

    /** Fetches the next row: true for a row, false at the end; -1 fails the test. */
    boolean next(int cursor) {
        int result = JNIODBCfetch(id, cursor);
        assertNotEquals(-1, result, () -> "fetch: " + lastError());
        return result == 1;
    }

    String string(int cursor, int column) {
        return JNIODBCgetColumnDataString(id, cursor, column);
    }

    /** Every row of a query, each column read as a string. */
    List<List<String>> rows(String sql) {
        int cursor = query(sql);
        int columns = JNIODBCgetColumnNum(id, cursor);
        List<List<String>> rows = new ArrayList<>();
        while (next(cursor)) {
            List<String> row = new ArrayList<>();
            for (int c = 1; c <= columns; c++) {
                row.add(string(cursor, c));
            }
            rows.add(row);
        }
        closeCursor(cursor);
        return rows;
    }

    /** The first column of every row of a query. */
    List<String> column(String sql) {
        List<String> values = new ArrayList<>();
        for (List<String> row : rows(sql)) {
            values.add(row.get(0));
        }
        return values;
    }

    void closeCursor(int cursor) {
        JNIODBCcloseCursor(id, cursor);
        cursors.remove(cursor);
    }

    @Override
    public void close() {
        for (int cursor : cursors) {
            JNIODBCcloseCursor(id, cursor);
        }
        if (JNIODBCgetAutoCommit(id) == 0) {
            JNIODBCrollbackTran(id);
            JNIODBCsetAutoCommit(id, AUTO_COMMIT_ON);
        }
        for (String table : tables) {
            JNIODBCexecSQLUpdate(id, "DROP TABLE " + table);
        }
        JNIODBCclose(id);
    }
}

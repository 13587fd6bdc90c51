package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.nio.file.Path;
import jov.jdbc.odbc.JOVODBCDLL;

/**
 * The bridge: Java calling the library's natives, as a JDBC driver over it
 * would: per row JNIODBCfetch, then JNIODBCgetColumnDataString of every column.
 */
final class BridgeVariant implements Variant {

    private final int id;
    private final String sql;

    BridgeVariant(String dataSource, String user, String password, String sql) {
        this.sql = sql;
        this.id = JOVODBCDLL.JNIODBCopen(dataSource, user, password);
        if (id < 0) {
            throw new IllegalStateException("bridge: cannot open " + dataSource + ": "
                    + JOVODBCDLL.JNIODBCgetErrorString());
        }
    }

    @Override
    public String name() {
        return "bridge";
    }

    /** "name type, ..." of the query's columns as the driver reports them. */
    String describeColumns() {
        int cursor = open();
        StringBuilder text = new StringBuilder();
        int columns = JOVODBCDLL.JNIODBCgetColumnNum(id, cursor);
        for (int c = 1; c <= columns; c++) {
            if (c > 1) {
                text.append(", ");
            }
            text.append(JOVODBCDLL.JNIODBCgetColumnName(id, cursor, c)).append(' ')
                    .append(SqlTypes.name(JOVODBCDLL.JNIODBCgetColumnType(id, cursor, c)));
        }
        JOVODBCDLL.JNIODBCcloseCursor(id, cursor);
        return text.toString();
    }

    @Override
    public PassResult pass() {
        long cpuStart = ProcessCpu.nanos();
        long start = System.nanoTime();
        int cursor = open();
        int columns = JOVODBCDLL.JNIODBCgetColumnNum(id, cursor);
        long rows = 0;
        long lengthSum = 0;
        int fetched;
        while ((fetched = JOVODBCDLL.JNIODBCfetch(id, cursor)) == 1) {
            rows++;
            for (int c = 1; c <= columns; c++) {
                lengthSum += JOVODBCDLL.JNIODBCgetColumnDataString(id, cursor, c).length();
            }
        }
        JOVODBCDLL.JNIODBCcloseCursor(id, cursor);
        long nanos = System.nanoTime() - start;
        long cpuNanos = ProcessCpu.nanos() - cpuStart;
        checkFetch(fetched);
        return new PassResult(nanos, cpuNanos, rows, rows * columns, lengthSum);
    }

    @Override
    public PassResult dump(Path file) throws IOException {
        int cursor = open();
        int columns = JOVODBCDLL.JNIODBCgetColumnNum(id, cursor);
        int fetched;
        try (ValueDump dump = new ValueDump(file, columns)) {
            while ((fetched = JOVODBCDLL.JNIODBCfetch(id, cursor)) == 1) {
                for (int c = 1; c <= columns; c++) {
                    dump.value(c, JOVODBCDLL.JNIODBCgetColumnDataString(id, cursor, c));
                }
            }
            checkFetch(fetched);
            return dump.result();
        } finally {
            JOVODBCDLL.JNIODBCcloseCursor(id, cursor);
        }
    }

    private int open() {
        int cursor = JOVODBCDLL.JNIODBCexecSQLQuery(id, sql);
        if (cursor < 0) {
            throw new IllegalStateException("bridge: query failed: "
                    + JOVODBCDLL.JNIODBCgetErrorString());
        }
        return cursor;
    }

    private static void checkFetch(int fetched) {
        if (fetched < 0) {
            throw new IllegalStateException("bridge: fetch failed: "
                    + JOVODBCDLL.JNIODBCgetErrorString());
        }
    }

    @Override
    public void close() {
        JOVODBCDLL.JNIODBCclose(id);
    }
}

package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.nio.file.Path;

/**
 * The JNI floor: the floor's reading called from Java with the bridge's calls
 * per row (one fetch, one string per value), so that it pays the JVM's share
 * of the road (JNI transitions, string creation) and nothing of the library.
 * Its distance from the floor is what any JNI bridge pays at least.
 */
final class JniFloorVariant implements Variant {

    private final long handle;
    private final String sql;

    JniFloorVariant(String dataSource, String user, String password, String sql) {
        this.sql = sql;
        this.handle = JniFloor.open(dataSource, user, password);
        if (handle == 0) {
            throw new IllegalStateException("jni-floor: cannot open " + dataSource);
        }
    }

    @Override
    public String name() {
        return "jni-floor";
    }

    @Override
    public PassResult pass() {
        long cpuStart = ProcessCpu.nanos();
        long start = System.nanoTime();
        int columns = open();
        long rows = 0;
        long lengthSum = 0;
        int fetched;
        while ((fetched = JniFloor.fetch(handle)) == 1) {
            rows++;
            for (int c = 1; c <= columns; c++) {
                lengthSum += value(c).length();
            }
        }
        JniFloor.closeCursor(handle);
        long nanos = System.nanoTime() - start;
        long cpuNanos = ProcessCpu.nanos() - cpuStart;
        checkFetch(fetched);
        return new PassResult(nanos, cpuNanos, rows, rows * columns, lengthSum);
    }

    @Override
    public PassResult dump(Path file) throws IOException {
        int columns = open();
        int fetched;
        try (ValueDump dump = new ValueDump(file, columns)) {
            while ((fetched = JniFloor.fetch(handle)) == 1) {
                for (int c = 1; c <= columns; c++) {
                    dump.value(c, value(c));
                }
            }
            checkFetch(fetched);
            return dump.result();
        } finally {
            JniFloor.closeCursor(handle);
        }
    }

    private int open() {
        int columns = JniFloor.query(handle, sql);
        if (columns < 0) {
            throw new IllegalStateException("jni-floor: query failed (see stderr)");
        }
        return columns;
    }

    private String value(int column) {
        String value = JniFloor.getString(handle, column);
        if (value == null) {
            throw new IllegalStateException("jni-floor: reading column " + column + " failed");
        }
        return value;
    }

    private static void checkFetch(int fetched) {
        if (fetched < 0) {
            throw new IllegalStateException("jni-floor: fetch failed (see stderr)");
        }
    }

    @Override
    public void close() {
        JniFloor.close(handle);
    }
}

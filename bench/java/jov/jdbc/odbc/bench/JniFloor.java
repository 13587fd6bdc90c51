package jov.jdbc.odbc.bench;

/**
 * The natives of libJovBenchJniFloor, loaded from the path in the system
 * property jov.bench.jnifloor: the floor's reading behind the fewest JNI calls
 * the bridge's road allows. A handle is valid from open to close.
 */
final class JniFloor {

    static {
        System.load(System.getProperty("jov.bench.jnifloor"));
    }

    private JniFloor() {
    }

    /** A connected session's handle, or 0. */
    static native long open(String dataSource, String user, String password);

    /** Runs sql; the column count, or -1. */
    static native int query(long handle, String sql);

    /** 1 for a row, 0 at the end, -1 on failure. */
    static native int fetch(long handle);

    /** Column (1-based, ascending, each once per row) as text; null on failure. */
    static native String getString(long handle, int column);

    static native void closeCursor(long handle);

    static native void close(long handle);

    /** Returns value and does nothing else: the price of a native call. */
    static native int nothing(int value);

    /** A new ASCII string of length (at most 64) letters: the price of a JNI string. */
    static native String asciiString(int length);
}

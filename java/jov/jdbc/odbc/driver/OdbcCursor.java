package jov.jdbc.odbc.driver;

/**
 * One cursor handle as its link handed it out, and all the link needs to free
 * it. The library gives a freed handle to the next query, so the handle is
 * reached only through this object and only while it is open: once closed
 * (explicitly, with its connection, or because its result became
 * unreachable) no call reaches the handle again. Holds no reference to the
 * result using it, so that the result can become unreachable while the link
 * still keeps this object to free the handle.
 *
 * <p>{@link #closed} is guarded by the lock of the link that made it.
 */
final class OdbcCursor {

    final int handle;
    boolean closed;

    OdbcCursor(int handle) {
        this.handle = handle;
    }
}

package jov.jdbc.odbc.driver.link;

import java.sql.SQLWarning;
import java.util.HashMap;
import java.util.Map;

/**
 * One native statement holding a result, or a prepared statement's native
 * statement, as its link handed it out, and all the link needs to free it. The statement is reached only through this
 * object and only while it is open: once closed (explicitly, with its
 * connection, or because its result became unreachable) no call reaches it
 * again. Holds no reference to the result using it, so that the result can
 * become unreachable while the link still keeps this object to free it.
 *
 * <p>Rows come in blocks ({@link #block}, null until its result binds one):
 * values bound in the form asked for are read from it, any other per value.
 * ODBC gives each value of a row once, so the values of the current row read
 * per value are kept as they were first read ({@link #row}), until the next
 * move.
 *
 * <p>{@link #closed}, {@link #block}, {@link #source} and {@link #row} are guarded by the lock of the link that made it.
 */
public final class OdbcCursor {

    /** What {@link #row} holds for SQL NULL. */
    static final Object NULL = new Object();

    final long statement;
    /** The statement is a prepared statement's: freeing this result closes only its cursor. */
    final boolean shared;
    boolean closed;
    /** Column number to its value as read: String, byte[], Long, Double or {@link #NULL}. */
    final Map<Integer, Object> row = new HashMap<>();
    RowBlock block;
    /** The prepared statement whose execution made this result, null for any other. */
    OdbcLink.Prepared source;
    /** What fetching the rows warned of, oldest first; guarded by the link's lock. */
    SQLWarning warnings;

    OdbcCursor(long statement, boolean shared) {
        this.statement = statement;
        this.shared = shared;
    }
}

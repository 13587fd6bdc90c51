package jov.jdbc.odbc.driver.link;

import java.lang.ref.Reference;
import java.lang.ref.ReferenceQueue;
import java.lang.ref.WeakReference;
import java.util.ArrayList;
import java.util.HashMap;
import java.util.List;
import java.util.Map;

/**
 * The cursors one link has open. A cursor may have an owner, the object whose reachability means
 * the cursor is in use (its result set); owners are held weakly, so a result
 * nobody can reach any more gives its cursor up to be freed. A cursor without
 * an owner is in use until it is closed.
 *
 * <p>Weak rather than phantom references: all weak references to an object
 * are cleared at the same moment, so once anyone sees an owner collected, a
 * sweep finds its cursor unreachable too, even before the collector queued
 * it. Guarded by the link's lock.
 */
final class OpenCursors {

    /** The weak link from an owner to the cursor it keeps in use. */
    private static final class Owner extends WeakReference<Object> {
        final OdbcCursor cursor;

        Owner(Object owner, OdbcCursor cursor, ReferenceQueue<Object> queue) {
            super(owner, queue);
            this.cursor = cursor;
        }
    }

    private final Map<OdbcCursor, Owner> open = new HashMap<>();
    private final ReferenceQueue<Object> collected = new ReferenceQueue<>();

    OdbcCursor add(long statement, boolean shared) {
        OdbcCursor cursor = new OdbcCursor(statement, shared);
        open.put(cursor, null);
        return cursor;
    }

    /** From now on the cursor is in use exactly as long as the owner can be reached. */
    void own(OdbcCursor cursor, Object owner) {
        if (open.containsKey(cursor)) {
            open.put(cursor, new Owner(owner, cursor, collected));
        }
    }

    /** Forgets a cursor being freed; its owner's reference will not be queued. */
    void remove(OdbcCursor cursor) {
        Owner owner = open.remove(cursor);
        if (owner != null) {
            owner.clear();
        }
    }

    /** Cursors whose owners the collector has queued as unreachable; a cheap check when there are none. */
    List<OdbcCursor> takeQueued() {
        List<OdbcCursor> taken = new ArrayList<>();
        for (Reference<?> r = collected.poll(); r != null; r = collected.poll()) {
            take(((Owner) r).cursor, taken);
        }
        return taken;
    }

    /** Every cursor whose owner is unreachable, whether or not the collector has queued it yet. */
    List<OdbcCursor> takeUnreachable() {
        List<OdbcCursor> taken = takeQueued();
        for (Owner owner : new ArrayList<>(open.values())) {
            if (owner != null && owner.get() == null) {
                take(owner.cursor, taken);
            }
        }
        return taken;
    }

    /** Every open cursor, in use or not: the connection is ending. */
    List<OdbcCursor> takeAll() {
        List<OdbcCursor> taken = new ArrayList<>(open.keySet());
        for (OdbcCursor cursor : taken) {
            remove(cursor);
        }
        return taken;
    }

    private void take(OdbcCursor cursor, List<OdbcCursor> taken) {
        if (open.containsKey(cursor)) {
            remove(cursor);
            taken.add(cursor);
        }
    }
}

package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertDoesNotThrow;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.lang.ref.WeakReference;
import java.sql.Connection;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.sql.Statement;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.Callable;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.FutureTask;
import java.util.concurrent.TimeUnit;
import java.util.function.BooleanSupplier;
import java.util.function.Predicate;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The library gives a closed connection's number to the next open and a freed
 * cursor's handle to the next query: nothing closed, aborted or forgotten may
 * reach the library again, nor keep a cursor.
 */
class JdbcLifetimeTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";
    private static final int CURSORS = 32;
    private static final Predicate<Thread> IN_LIBRARY = t -> {
        StackTraceElement[] stack = t.getStackTrace();
        return stack.length > 0 && stack[0].isNativeMethod() && stack[0].getClassName().startsWith("jov.jdbc.odbc.");
    };

    /** SQL that waits inside the library while the holder holds a lock (SQLite: for its 10 s busy timeout). */
    private static String hold(Jdbc holder) throws SQLException {
        if (holder.rig != Rig.SQLITE) {
            String sql = holder.rig == Rig.POSTGRES ? "SELECT pg_advisory_lock(4217)" : "SELECT GET_LOCK('jl', 600)";
            holder.connection.createStatement().execute(sql);
            return sql;
        }
        String sql = "INSERT INTO " + holder.createTable("n integer") + " VALUES (1)";
        holder.connection.setAutoCommit(false);
        holder.update(sql);
        return sql;
    }

    private static void release(Jdbc holder) throws SQLException {
        if (holder.rig == Rig.SQLITE) {
            holder.connection.rollback();
        } else {
            holder.connection.createStatement().execute(
                    holder.rig == Rig.POSTGRES ? "SELECT pg_advisory_unlock(4217)" : "SELECT RELEASE_LOCK('jl')");
        }
    }

    /** Runs the call on a thread of its own and waits until the thread is where the test needs it. */
    private static <T> FutureTask<T> start(Callable<T> call, Predicate<Thread> until) {
        FutureTask<T> task = new FutureTask<>(call);
        Thread thread = new Thread(task);
        thread.setDaemon(true);
        thread.start();
        await(() -> until.test(thread));
        return task;
    }

    /** Bounded, so that a fault fails the test instead of hanging it. */
    private static void await(BooleanSupplier condition) {
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(Together.DEADLINE_SECONDS);
        while (!condition.getAsBoolean()) {
            assertTrue(System.nanoTime() < deadline, "condition not reached");
            Thread.yield();
        }
    }

    /** The call failed with 08003, or (mayFinish) ran to its end. */
    private static void assertClosedUnder(FutureTask<?> task, boolean mayFinish) throws Exception {
        try {
            task.get(Together.DEADLINE_SECONDS, TimeUnit.SECONDS);
            assertTrue(mayFinish, "the call ran");
        } catch (ExecutionException e) {
            assertEquals("08003", ((SQLException) e.getCause()).getSQLState(), e.getCause().toString());
        }
    }

    /** The old connection's result neither reads nor closes anything of a connection opened after. */
    private static void assertNeverReachesANewConnection(Rig rig, ResultSet old) throws SQLException {
        try (Connection next = Jdbc.connect(rig)) {
            ResultSet rs = next.createStatement().executeQuery("SELECT 2 UNION ALL SELECT 2");
            assertTrue(rs.next());
            assertEquals("08003", assertThrows(SQLException.class, old::next).getSQLState());
            old.close();
            assertTrue(rs.next());
            assertEquals(2, rs.getInt(1));
        }
        assertTrue(old.isClosed());
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aCallWaitingWhenItsConnectionClosesNeverRuns(Rig rig) throws Exception {
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("n integer");
            try (Jdbc holder = Jdbc.open(rig)) {
                String slow = hold(holder);
                Connection first = Jdbc.connect(rig);
                Statement insert = first.createStatement();
                FutureTask<?> running = start(() -> first.createStatement().execute(slow), IN_LIBRARY);
                FutureTask<?> queued = start(() -> insert.executeUpdate("INSERT INTO " + table + " VALUES (1)"),
                        t -> t.getState() == Thread.State.BLOCKED
                                && t.getStackTrace()[0].getMethodName().equals("update"));
                FutureTask<?> closing = start(() -> {
                    first.close();
                    return null;
                }, t -> assertDoesNotThrow(first::isClosed));
                try (Connection second = Jdbc.connect(rig)) {
                    second.setAutoCommit(false);
                    release(holder);
                    assertClosedUnder(running, true);
                    assertClosedUnder(queued, false);
                    closing.get(Together.DEADLINE_SECONDS, TimeUnit.SECONDS);
                }
            }
            ResultSet count = db.connection.createStatement().executeQuery("SELECT count(*) FROM " + table);
            assertTrue(count.next());
            assertEquals(0, count.getInt(1));
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void aResultKeptPastItsStatementEndsWithItsConnection(Rig rig) throws SQLException {
        Connection first = Jdbc.connect(rig);
        Statement statement = first.createStatement();
        ResultSet kept = statement.executeQuery("SELECT 1 UNION ALL SELECT 1");
        assertTrue(kept.next());
        statement.getMoreResults(Statement.KEEP_CURRENT_RESULT);
        first.close();
        assertNeverReachesANewConnection(rig, kept);
    }

    /** Abort returns at once; the running call may finish, then the connection closes. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void anAbortDuringACallEndsTheConnectionsResults(Rig rig) throws Exception {
        try (Jdbc holder = Jdbc.open(rig)) {
            String slow = hold(holder);
            Connection first = Jdbc.connect(rig);
            ResultSet old = first.createStatement().executeQuery("SELECT 1 UNION ALL SELECT 1");
            assertTrue(old.next());
            FutureTask<?> running = start(() -> first.createStatement().execute(slow), IN_LIBRARY);
            List<Runnable> closes = new ArrayList<>();
            first.abort(closes::add);
            FutureTask<?> closing = start(() -> {
                closes.forEach(Runnable::run);
                return null;
            }, t -> true);
            release(holder);
            assertClosedUnder(running, true);
            closing.get(Together.DEADLINE_SECONDS, TimeUnit.SECONDS);
            assertNeverReachesANewConnection(rig, old);
        }
    }

    private static List<WeakReference<Object>> forgetQuery(Connection connection) throws SQLException {
        Statement statement = connection.createStatement();
        ResultSet rs = statement.executeQuery("SELECT 1");
        assertTrue(rs.next());
        return List.of(new WeakReference<>(statement), new WeakReference<>(rs));
    }

    /** The connection keeps nothing of forgotten statements and results, and their cursors serve later queries. */
    @ParameterizedTest
    @MethodSource(RIGS)
    void forgottenStatementsAreCollectedAndTheirCursorsFreed(Rig rig) throws SQLException {
        try (Connection connection = Jdbc.connect(rig)) {
            List<WeakReference<Object>> forgotten = new ArrayList<>();
            for (int i = 0; i < CURSORS; i++) {
                forgotten.addAll(forgetQuery(connection));
            }
            for (int i = 0; i < 50 && forgotten.stream().anyMatch(r -> r.get() != null); i++) {
                System.gc();
            }
            assertTrue(forgotten.stream().allMatch(r -> r.get() == null), "collected");
            for (int i = 0; i < CURSORS; i++) {
                forgetQuery(connection);
            }
        }
    }
}

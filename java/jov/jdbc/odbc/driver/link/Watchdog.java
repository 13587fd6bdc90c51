package jov.jdbc.odbc.driver.link;

import java.util.concurrent.Callable;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.ScheduledFuture;
import java.util.concurrent.ScheduledThreadPoolExecutor;
import java.util.concurrent.ThreadFactory;
import java.util.concurrent.TimeUnit;

/**
 * The driver's own threads for bounding waits on a server that stops
 * answering: one timer that notices deadlines, and worker threads that run
 * what may block on that server (a cancel: MariaDB's driver opens a connection
 * for it; a liveness probe) so that neither the timer nor the caller waits.
 * All are daemons, so they never keep a JVM alive; a worker may stay blocked
 * in a native call until the server answers.
 */
public final class Watchdog {

    private static final ScheduledThreadPoolExecutor TIMER = timer();
    private static final ExecutorService WORKERS = Executors.newCachedThreadPool(daemons("jov-odbc-worker"));

    private Watchdog() {
    }

    private static ScheduledThreadPoolExecutor timer() {
        ScheduledThreadPoolExecutor timer = new ScheduledThreadPoolExecutor(1, daemons("jov-odbc-timeout"));
        // Most deadlines are met: their tasks leave the queue at once instead of piling up.
        timer.setRemoveOnCancelPolicy(true);
        return timer;
    }

    private static ThreadFactory daemons(String name) {
        return task -> {
            Thread thread = new Thread(task, name);
            thread.setDaemon(true);
            return thread;
        };
    }

    /** Runs action on a worker once after the delay, unless the answer is cancelled first. */
    static ScheduledFuture<?> after(long millis, Runnable action) {
        return TIMER.schedule(() -> WORKERS.execute(action), millis, TimeUnit.MILLISECONDS);
    }

    /** Runs a task on a worker. */
    public static <T> Future<T> submit(Callable<T> task) {
        return WORKERS.submit(task);
    }
}

package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.fail;

import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.CyclicBarrier;
import java.util.concurrent.ExecutionException;
import java.util.concurrent.ExecutorService;
import java.util.concurrent.Executors;
import java.util.concurrent.Future;
import java.util.concurrent.TimeUnit;
import java.util.concurrent.TimeoutException;

/**
 * Runs tasks on threads of their own, released at the same moment by a
 * barrier, and waits a bounded time for all of them. A task that throws (an
 * assertion included) fails the test with its own error; a task still running
 * after the deadline fails it with a timeout, so a native call that hangs
 * cannot hang the run.
 */
final class Together {
    /** Far above what any task of these tests needs on a slow machine. */
    static final long DEADLINE_SECONDS = 60;

    /** One task, given its index among the tasks started together. */
    interface Task {
        void run(int index) throws Exception;
    }

    private final ExecutorService pool;
    private final int threads;

    /** A pool of daemon threads, reused by every {@link #run} of one test. */
    Together(int threads) {
        this.threads = threads;
        this.pool = Executors.newFixedThreadPool(threads, runnable -> {
            Thread thread = new Thread(runnable, "together");
            thread.setDaemon(true);
            return thread;
        });
    }

    /** Starts the tasks together (at most the pool's size) and waits for them all. */
    void run(List<Task> tasks) throws Exception {
        if (tasks.size() > threads) {
            throw new IllegalArgumentException(tasks.size() + " tasks for " + threads + " threads");
        }
        CyclicBarrier start = new CyclicBarrier(tasks.size());
        List<Future<?>> running = new ArrayList<>();
        for (int i = 0; i < tasks.size(); i++) {
            Task task = tasks.get(i);
            int index = i;
            running.add(pool.submit(() -> {
                start.await(DEADLINE_SECONDS, TimeUnit.SECONDS);
                task.run(index);
                return null;
            }));
        }
        long deadline = System.nanoTime() + TimeUnit.SECONDS.toNanos(DEADLINE_SECONDS);
        for (int i = 0; i < running.size(); i++) {
            try {
                running.get(i).get(Math.max(0, deadline - System.nanoTime()), TimeUnit.NANOSECONDS);
            } catch (TimeoutException e) {
                fail("task " + i + " still running after " + DEADLINE_SECONDS + " s");
            } catch (ExecutionException e) {
                Throwable cause = e.getCause();
                if (cause instanceof Error) {
                    throw (Error) cause;
                }
                throw (Exception) cause;
            }
        }
    }

    /** The same task on every thread of the pool. */
    void runOnEach(Task task) throws Exception {
        List<Task> tasks = new ArrayList<>();
        for (int i = 0; i < threads; i++) {
            tasks.add(task);
        }
        run(tasks);
    }

    void shutdown() {
        pool.shutdownNow();
    }
}

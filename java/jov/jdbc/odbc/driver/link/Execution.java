package jov.jdbc.odbc.driver.link;

import java.sql.SQLException;
import java.util.concurrent.ScheduledFuture;
import java.util.concurrent.TimeUnit;

/**
 * One query or update executing on an {@link OdbcLink}, with the limits it
 * runs under: the statement's query timeout in seconds and the connection's
 * network timeout in milliseconds, 0 for none. Where the ODBC driver does not
 * enforce a limit itself, a timer cancels the execution at the deadline; a
 * failure once a limit has passed is reported as that limit's expiry
 * (SQLTimeoutException, HYT00 for the query timeout, HYT01 for the network
 * timeout) with the driver's own failure as its cause.
 */
final class Execution {

    /** The timeout states of ODBC. */
    static final String QUERY_TIMEOUT_EXPIRED = "HYT00";
    static final String CONNECTION_TIMEOUT_EXPIRED = "HYT01";

    final Object owner;
    /** The native statement executing, which a cancel names. */
    final long statement;
    private final int queryTimeoutSeconds;
    private final int networkTimeoutMillis;
    private final long start = System.nanoTime();
    private ScheduledFuture<?> watch;

    Execution(Object owner, long statement, int queryTimeoutSeconds, int networkTimeoutMillis) {
        this.owner = owner;
        this.statement = statement;
        this.queryTimeoutSeconds = queryTimeoutSeconds;
        this.networkTimeoutMillis = networkTimeoutMillis;
    }

    /**
     * Starts the timer that runs cancel at the nearest limit the driver does
     * not keep; a driver that keeps query timeouts still gets the network one.
     */
    void watch(boolean driverTimesQueries, Runnable cancel) {
        long millis = networkTimeoutMillis;
        if (queryTimeoutSeconds > 0 && !driverTimesQueries) {
            long query = TimeUnit.SECONDS.toMillis(queryTimeoutSeconds);
            millis = millis == 0 ? query : Math.min(millis, query);
        }
        if (millis > 0) {
            watch = Watchdog.after(millis, cancel);
        }
    }

    void unwatch() {
        if (watch != null) {
            watch.cancel(false);
        }
    }

    /** The calling thread's failure, as a timeout when a limit has passed. */
    SQLException failure(String doing) {
        SQLException cause = Errors.lastFailure(doing);
        long elapsed = System.nanoTime() - start;
        if (queryTimeoutSeconds > 0 && elapsed >= TimeUnit.SECONDS.toNanos(queryTimeoutSeconds)) {
            return Errors.create(doing + ": the query timeout of " + queryTimeoutSeconds + " s expired",
                    QUERY_TIMEOUT_EXPIRED, cause);
        }
        if (networkTimeoutMillis > 0 && elapsed >= TimeUnit.MILLISECONDS.toNanos(networkTimeoutMillis)) {
            return Errors.create(doing + ": the network timeout of " + networkTimeoutMillis + " ms expired",
                    CONNECTION_TIMEOUT_EXPIRED, cause);
        }
        return cause;
    }
}

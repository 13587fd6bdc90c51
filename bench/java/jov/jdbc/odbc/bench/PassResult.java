package jov.jdbc.odbc.bench;

/**
 * One pass of one variant over the query: its wall-clock time, the CPU time
 * its process spent meanwhile (all threads, user and system; a database
 * server's time is not in it), what it read, and the sum of the lengths (in
 * UTF-16 units) of every value it turned into a string.
 */
record PassResult(long nanos, long cpuNanos, long rows, long values, long lengthSum) {

    double millis() {
        return nanos / 1e6;
    }

    double cpuMillis() {
        return cpuNanos / 1e6;
    }
}

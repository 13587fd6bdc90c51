package jov.jdbc.odbc.bench;

import java.lang.management.ManagementFactory;

/** CPU time of this JVM process so far, all threads, in nanoseconds. */
final class ProcessCpu {

    private static final com.sun.management.OperatingSystemMXBean OS =
            (com.sun.management.OperatingSystemMXBean)
                    ManagementFactory.getOperatingSystemMXBean();

    private ProcessCpu() {
    }

    static long nanos() {
        return OS.getProcessCpuTime();
    }
}

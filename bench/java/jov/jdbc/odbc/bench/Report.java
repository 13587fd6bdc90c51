package jov.jdbc.odbc.bench;

import java.io.PrintStream;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;

/**
 * The printed result: per data source and variant the median and the best
 * pass, values and rows per second at the median; the ratios bridge/floor,
 * bridge/JDBC, those around the JNI floor and those of this project's JDBC
 * driver taken within each round, and their medians; the targets.
 */
final class Report {

    /** The bridge may take at most this many times the floor's time. */
    static final double MAX_BRIDGE_OVER_FLOOR = 1.15;
    /** The driver's getString loop may take at most this many times the bridge's time. */
    static final double MAX_DRIVER_OVER_BRIDGE = 1.10;

    private final PrintStream out;
    private boolean allMet = true;
    private int priceLength;
    private double callNanos;
    private double stringNanos;

    Report(PrintStream out) {
        this.out = out;
    }

    boolean allMet() {
        return allMet;
    }

    /** The JVM's prices (see JniPrices) for strings of length characters. */
    void setJniPrices(int length, double callNanos, double stringNanos) {
        this.priceLength = length;
        this.callNanos = callNanos;
        this.stringNanos = stringNanos;
    }

    static double median(double[] values) {
        double[] sorted = values.clone();
        Arrays.sort(sorted);
        int n = sorted.length;
        return n % 2 == 1 ? sorted[n / 2] : (sorted[n / 2 - 1] + sorted[n / 2]) / 2;
    }

    private static double[] millis(SourceRun run, int variant) {
        return run.results.stream().mapToDouble(r -> r.get(variant).millis()).toArray();
    }

    private static double[] cpuMillis(SourceRun run, int variant) {
        return run.results.stream().mapToDouble(r -> r.get(variant).cpuMillis()).toArray();
    }

    /** Per round: the wall-clock time of variant a over that of variant b. */
    private static double[] ratios(SourceRun run, int a, int b) {
        return run.results.stream()
                .mapToDouble(r -> (double) r.get(a).nanos() / r.get(b).nanos()).toArray();
    }

    /** Per round: the process CPU time of variant a over that of variant b. */
    private static double[] cpuRatios(SourceRun run, int a, int b) {
        return run.results.stream()
                .mapToDouble(r -> (double) r.get(a).cpuNanos() / r.get(b).cpuNanos()).toArray();
    }

    void print(List<SourceRun> runs) {
        out.println();
        out.println("Wall-clock time per pass (median and best of the rounds), the values and rows"
                + " per second at the median, and the process CPU time per pass (median):");
        out.printf("%-11s %-12s %10s %10s %12s %10s %10s %12s%n", "data source", "variant",
                "median ms", "best ms", "values/s", "rows/s", "CPU ms", "length sum");
        for (SourceRun run : runs) {
            for (int v = 0; v < run.variantNames.size(); v++) {
                double[] ms = millis(run, v);
                double median = median(ms);
                PassResult any = run.results.get(0).get(v);
                out.printf("%-11s %-12s %10.1f %10.1f %,12.0f %,10.0f %10.1f %12d%n",
                        run.source.label(), run.variantNames.get(v), median,
                        Arrays.stream(ms).min().orElse(0), any.values() / (median / 1000),
                        any.rows() / (median / 1000), median(cpuMillis(run, v)),
                        any.lengthSum());
            }
        }
        out.println();
        out.println("Ratios within each round, median over the rounds (then each round's):");
        for (SourceRun run : runs) {
            String jdbc = run.variantNames.get(SourceRun.JDBC);
            printRatio(run, "bridge/floor", ratios(run, SourceRun.BRIDGE, SourceRun.FLOOR));
            printRatio(run, "bridge/" + jdbc, ratios(run, SourceRun.BRIDGE, SourceRun.JDBC));
            printRatio(run, "jni-floor/floor", ratios(run, SourceRun.JNI_FLOOR, SourceRun.FLOOR));
            printRatio(run, "bridge/jni-floor",
                    ratios(run, SourceRun.BRIDGE, SourceRun.JNI_FLOOR));
            printRatio(run, "CPU bridge/floor", cpuRatios(run, SourceRun.BRIDGE, SourceRun.FLOOR));
            printRatio(run, "CPU bridge/" + jdbc,
                    cpuRatios(run, SourceRun.BRIDGE, SourceRun.JDBC));
            printRatio(run, "driver/bridge", ratios(run, SourceRun.DRIVER, SourceRun.BRIDGE));
            printRatio(run, "driver-typed/driver",
                    ratios(run, SourceRun.DRIVER_TYPED, SourceRun.DRIVER));
        }
        out.println("  (jni-floor/floor: what the JVM's side of the road costs any JNI bridge at"
                + " least;");
        out.println("   bridge/jni-floor: what this library adds to that.)");
        out.println();
        out.println("Values compared with the floor's (untimed pass):");
        for (SourceRun run : runs) {
            out.printf("  %-11s bridge: %s%n", run.source.label(), run.bridgeVsFloor.summary());
            if (!run.bridgeVsFloor.identical()) {
                out.printf("  %-11s first difference: %s%n", run.source.label(),
                        run.bridgeVsFloor.firstDifference);
            }
            out.printf("  %-11s jni-floor: %s%n", run.source.label(),
                    run.jniFloorVsFloor.summary());
            out.printf("  %-11s %s: %s%n", run.source.label(),
                    run.variantNames.get(SourceRun.JDBC), run.jdbcVsFloor.summary());
        }
        out.println("The driver's getString values compared with the bridge's (untimed pass), as"
                + " texts and as values (doubles at six decimals, timestamps yy/mm/dd):");
        for (SourceRun run : runs) {
            out.printf("  %-11s driver texts: %s%n", run.source.label(),
                    run.driverTextVsBridge.summary());
            if (!run.driverTextVsBridge.identical()) {
                out.printf("  %-11s first difference: %s%n", run.source.label(),
                        run.driverTextVsBridge.firstDifference);
            }
            out.printf("  %-11s driver values: %s%n", run.source.label(),
                    run.driverVsBridge.summary());
            if (!run.driverVsBridge.identical()) {
                out.printf("  %-11s first difference: %s%n", run.source.label(),
                        run.driverVsBridge.firstDifference);
            }
        }
        printTargets(runs);
    }

    private void printRatio(SourceRun run, String name, double[] perRound) {
        StringBuilder rounds = new StringBuilder();
        for (double r : perRound) {
            rounds.append(String.format(" %.3f", r));
        }
        out.printf("  %-11s %-23s %6.3f  (%s)%n", run.source.label(), name, median(perRound),
                rounds.toString().trim());
    }

    private void printTargets(List<SourceRun> runs) {
        out.println();
        out.println("Targets:");
        for (SourceRun run : runs) {
            String label = run.source.label();
            double overFloor = median(ratios(run, SourceRun.BRIDGE, SourceRun.FLOOR));
            target(String.format("bridge <= %.2f x floor on %s", MAX_BRIDGE_OVER_FLOOR, label),
                    overFloor <= MAX_BRIDGE_OVER_FLOOR, String.format("%.3f", overFloor));
            target("bridge returns the floor's strings on " + label,
                    run.bridgeVsFloor.identical(), run.bridgeVsFloor.summary());
            double overBridge = median(ratios(run, SourceRun.DRIVER, SourceRun.BRIDGE));
            target(String.format("driver <= %.2f x bridge on %s", MAX_DRIVER_OVER_BRIDGE, label),
                    overBridge <= MAX_DRIVER_OVER_BRIDGE, String.format("%.3f", overBridge));
            double typedOverStrings = median(ratios(run, SourceRun.DRIVER_TYPED,
                    SourceRun.DRIVER));
            target("driver-typed faster than driver on " + label, typedOverStrings < 1,
                    String.format("driver-typed/driver %.3f", typedOverStrings));
            target("driver returns the bridge's values on " + label,
                    run.driverVsBridge.identical(), run.driverVsBridge.summary());
        }
        out.println();
        for (SourceRun run : runs) {
            String jdbc = run.variantNames.get(SourceRun.JDBC);
            String odbc = run.source.odbcDriver();
            double jdbcOverFloor = median(ratios(run, SourceRun.JDBC, SourceRun.FLOOR));
            double jdbcOverJni = median(ratios(run, SourceRun.JDBC, SourceRun.JNI_FLOOR));
            out.printf("%s: %s/floor %.3f, %s/jni-floor %.3f. No bridge over %s can beat %s when"
                    + " %s is faster than the %s floor, and no JNI bridge when it is faster than"
                    + " the JNI floor; %s%n", run.source.label(), jdbc, jdbcOverFloor, jdbc,
                    jdbcOverJni, odbc, jdbc, jdbc, odbc, jdbcOverFloor < 1
                            ? "here it is faster than both, so " + jdbc
                                    + " stays ahead of any such bridge."
                            : jdbcOverJni < 1
                                    ? "here it is faster than the JNI floor, so " + jdbc
                                            + " stays ahead of any JNI bridge."
                                    : "here it is not, so a bridge close to the JNI floor can"
                                            + " match it.");
        }
        printJvmShare(runs);
    }

    /** Whether the JVM's side alone already takes the bridge past its target. */
    private void printJvmShare(List<SourceRun> runs) {
        out.printf("JNI prices on this JVM: a native call that does nothing %.1f ns, one that"
                + " makes a %d-character string %.1f ns.%n", callNanos, priceLength,
                stringNanos);
        for (SourceRun run : runs) {
            PassResult any = run.results.get(0).get(SourceRun.FLOOR);
            double millis = (any.rows() * callNanos + any.values() * stringNanos) / 1e6;
            double floor = median(millis(run, SourceRun.FLOOR));
            out.printf("%s: a fetch call per row and a string call per value cost %.0f ms at"
                    + " those prices, %.2f x the floor's median of %.0f ms.%n",
                    run.source.label(), millis, millis / floor, floor);
        }
        for (SourceRun run : runs) {
            double jvm = median(ratios(run, SourceRun.JNI_FLOOR, SourceRun.FLOOR));
            double own = median(ratios(run, SourceRun.BRIDGE, SourceRun.JNI_FLOOR));
            out.printf("%s: jni-floor/floor %.3f, bridge/jni-floor %.3f. %s%n",
                    run.source.label(), jvm, own, jvm > MAX_BRIDGE_OVER_FLOOR
                            ? String.format("The JNI transitions and Java strings alone cost"
                                    + " more than %.2f x the floor here, so no JNI bridge can"
                                    + " meet that target.", MAX_BRIDGE_OVER_FLOOR)
                            : String.format("A JNI bridge can come within %.2f x the floor"
                                    + " here.", MAX_BRIDGE_OVER_FLOOR));
        }
    }

    private void target(String what, boolean met, String measured) {
        allMet &= met;
        out.printf("  %-48s %-8s %s%n", what, met ? "met" : "MISSED", measured);
    }

    /** Machine, JVM and run shape, for the head of the output. */
    static List<String> describeMachine() {
        List<String> lines = new ArrayList<>();
        String cpu = "unknown CPU";
        try {
            for (String line : java.nio.file.Files.readAllLines(
                    java.nio.file.Path.of("/proc/cpuinfo"))) {
                if (line.startsWith("model name")) {
                    cpu = line.substring(line.indexOf(':') + 1).trim();
                    break;
                }
            }
        } catch (java.io.IOException e) {
            // No /proc: the CPU stays unknown.
        }
        lines.add(String.format("machine: %d CPUs, %s; %s %s", Runtime.getRuntime()
                .availableProcessors(), cpu, System.getProperty("java.vm.name"),
                System.getProperty("java.version")));
        return lines;
    }
}

package jov.jdbc.odbc.bench;

import java.io.PrintStream;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import java.util.Map;

/**
 * The suite's printed result: each arm's median, then every ratio taken within
 * a round with its median over the rounds, its spread (least to greatest) and
 * its target, as a Markdown table. A ratio is this project's driver over the
 * database's own driver or over the C block program, except the typed read
 * (driver-typed over driver), the database driver over the block program
 * (no target: it shows how far the ODBC driver itself is behind), and the
 * cost per value, the largest read's time per row over the second largest's.
 * A read's time is that of its pass, repetitions included, on both sides.
 * A missing measurement misses its targets. A target on a read that the
 * database driver over the block program already misses is retired in that
 * run: the block program pays only the ODBC driver's reading, which every
 * bridge over it pays too, so none can meet it.
 */
final class SuiteReport {

    /** A bound on a ratio's median; NONE and RETIRED bound nothing. */
    record Target(String text, double limit, boolean strict) {
        static final Target NONE = new Target("", Double.NaN, false);
        static final Target RETIRED = new Target("retired", Double.NaN, false);

        static Target atMost(double limit) {
            return new Target(String.format("<= %.2f", limit), limit, false);
        }

        static Target below(double limit) {
            return new Target(String.format("< %.2f", limit), limit, false);
        }

        boolean binds() {
            return !Double.isNaN(limit);
        }

        boolean met(double median) {
            return strict ? median < limit : median <= limit;
        }
    }

    /**
     * floor, when there is one, per round: the database driver over the C
     * block program, whose inverse is the least the ratio can be for any
     * bridge over the ODBC driver.
     */
    private record Row(String source, String measurement, String ratio, double[] perRound,
            Target target, double[] floor) {
    }

    private static final Target BULK_OVER_BLOCK = Target.atMost(1.15);
    private static final Target TYPED_OVER_STRINGS = Target.below(1.0);
    private static final Target BATCH = Target.atMost(1.2);
    private static final Target PEAK_MEMORY = Target.atMost(1.1);
    private static final Target PER_VALUE_FLAT = Target.atMost(1.05);

    private final PrintStream out;
    private final Suite.Sizes sizes;
    private final List<SourceSuite> suites = new ArrayList<>();
    private final List<Row> rows = new ArrayList<>();

    SuiteReport(PrintStream out, Suite.Sizes sizes) {
        this.out = out;
        this.sizes = sizes;
    }

    void add(SourceSuite suite) {
        suites.add(suite);
        boolean pg = suite.source.dialect() == Dialect.POSTGRESQL;
        String jdbc = suite.source.jdbcName();
        for (SourceSuite.Case c : suite.cases) {
            Map<String, double[]> arms = suite.results.get(c.name());
            double[] driver = arms.get(SourceSuite.DRIVER);
            double[] native_ = arms.get(SourceSuite.JDBC);
            String overJdbc = "driver/" + jdbc;
            switch (c.kind()) {
                case READ -> {
                    double[] block = arms.get(SourceSuite.BLOCK);
                    rows.add(new Row(suite.source.label(), c.name(), overJdbc,
                            ratios(driver, native_, 1), pg ? Target.RETIRED : Target.atMost(1.0),
                            ratios(native_, block, 1)));
                    row(suite, c, "driver/block", ratios(driver, block, 1), BULK_OVER_BLOCK);
                    row(suite, c, "driver-typed/driver",
                            ratios(arms.get(SourceSuite.DRIVER_TYPED), driver, 1),
                            TYPED_OVER_STRINGS);
                    row(suite, c, jdbc + "/block", ratios(native_, block, 1), Target.NONE);
                }
                case POINT -> row(suite, c, overJdbc, ratios(driver, native_, 1),
                        Target.atMost(pg ? 2.0 : 1.2));
                case BATCH -> row(suite, c, overJdbc, ratios(driver, native_, 1), BATCH);
                case OPENS -> row(suite, c, overJdbc, ratios(driver, native_, 1),
                        Target.atMost(pg ? 1.1 : 2.0));
                case PEAK_MEMORY -> row(suite, c, overJdbc, ratios(driver, native_, 1),
                        PEAK_MEMORY);
            }
        }
        long[] reads = suite.readRows;
        if (reads.length >= 2) {
            long small = reads[reads.length - 2];
            long large = reads[reads.length - 1];
            double[] perValue = ratios(
                    suite.results.get(suite.readName(large)).get(SourceSuite.DRIVER),
                    suite.results.get(suite.readName(small)).get(SourceSuite.DRIVER),
                    (double) small * suite.repeats(small) / (large * suite.repeats(large)));
            rows.add(new Row(suite.source.label(), String.format("cost per value, %,d vs %,d rows",
                    large, small), "driver", perValue, PER_VALUE_FLAT, null));
        }
    }

    private void row(SourceSuite suite, SourceSuite.Case c, String ratio, double[] perRound,
            Target target) {
        rows.add(new Row(suite.source.label(), c.name(), ratio, perRound, target, null));
    }

    /** Per round: scale times a over b. */
    private static double[] ratios(double[] a, double[] b, double scale) {
        double[] ratios = new double[a.length];
        for (int r = 0; r < a.length; r++) {
            ratios[r] = scale * a[r] / b[r];
        }
        return ratios;
    }

    /** The median of the values that are there; NaN when none is. */
    static double median(double[] values) {
        double[] present = Arrays.stream(values).filter(v -> !Double.isNaN(v)).toArray();
        return present.length == 0 || present.length < values.length ? Double.NaN
                : Report.median(present);
    }

    /** Prints everything; answers whether every binding target is met. */
    boolean print() {
        printMedians();
        out.println();
        out.printf("Ratios within each round: median of %d rounds, spread (least-greatest),"
                + " target:%n", sizes.rounds());
        out.println("| data source | measurement | ratio | median | spread | target | |");
        out.println("|---|---|---|---:|---|---|---|");
        boolean allMet = true;
        for (Row row : rows) {
            double median = median(row.perRound());
            Target target = row.target();
            double floor = row.floor() == null ? Double.NaN : median(row.floor());
            if (target.binds() && !Double.isNaN(floor) && !target.met(1 / floor)) {
                target = new Target(String.format("%s, retired: the C block program takes"
                        + " %.2f x %s", target.text(), 1 / floor,
                        row.ratio().substring(row.ratio().indexOf('/') + 1)), Double.NaN, false);
            }
            boolean met = !Double.isNaN(median) && target.met(median);
            String verdict = !target.binds() ? "" : met ? "met" : "**unmet**";
            allMet &= !target.binds() || met;
            out.printf("| %s | %s | %s | %s | %s | %s | %s |%n", row.source(), row.measurement(),
                    row.ratio(), Double.isNaN(median) ? "failed" : String.format("%.2f", median),
                    spread(row.perRound()), target.text(), verdict);
        }
        out.println();
        out.println("The driver's getString texts against the database driver's (smallest read):");
        for (SourceSuite suite : suites) {
            out.printf("  %s: %s%n", suite.source.label(), suite.valueComparison);
        }
        out.println(allMet ? "suite: every target met" : "suite: targets unmet");
        return allMet;
    }

    private static String spread(double[] perRound) {
        double[] present = Arrays.stream(perRound).filter(v -> !Double.isNaN(v)).toArray();
        if (present.length == 0) {
            return "-";
        }
        return String.format("%.2f-%.2f", Arrays.stream(present).min().orElse(0),
                Arrays.stream(present).max().orElse(0));
    }

    /** Each arm's median: milliseconds, or megabytes for peak memory. */
    private void printMedians() {
        out.println();
        out.println("Medians over the rounds (ms; peak RSS in MB):");
        for (SourceSuite suite : suites) {
            for (SourceSuite.Case c : suite.cases) {
                double unit = c.kind() == SourceSuite.Kind.PEAK_MEMORY ? 1024 : 1e6;
                StringBuilder line = new StringBuilder();
                for (Map.Entry<String, double[]> arm : suite.results.get(c.name()).entrySet()) {
                    String name = arm.getKey().equals(SourceSuite.JDBC)
                            ? suite.source.jdbcName() : arm.getKey();
                    line.append(String.format("  %s %.1f", name, median(arm.getValue()) / unit));
                }
                out.printf("  %-10s %-34s%s%n", suite.source.label(), c.name(), line);
            }
        }
    }
}

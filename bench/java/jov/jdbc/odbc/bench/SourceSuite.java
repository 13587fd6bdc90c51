package jov.jdbc.odbc.bench;

import java.io.BufferedReader;
import java.io.IOException;
import java.io.InputStreamReader;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.sql.SQLException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.LinkedHashMap;
import java.util.List;
import java.util.Map;
import java.util.Objects;
import java.util.TreeSet;

/**
 * The suite's measurements on one data source. Each measurement has arms: the
 * database's own JDBC driver ("jdbc"), this project's driver ("driver",
 * "driver-typed"), the C block program ("block"); within a round its arms run
 * one after the other, the order rotating from round to round. An arm's
 * result is nanoseconds, or kilobytes for peak memory; an arm that fails
 * prints why once and counts as missing (NaN) from then on.
 */
final class SourceSuite implements AutoCloseable {

    /** One way of taking one measurement. */
    interface Measure {
        double take() throws Exception;
    }

    record Arm(String name, Measure measure) {
    }

    /** What a measurement measures, which decides its ratios and their targets. */
    enum Kind { READ, POINT, BATCH, OPENS, PEAK_MEMORY }

    /** A measurement; all but peak memory run in the warm-up round too. */
    record Case(String name, Kind kind, List<Arm> arms) {
    }

    static final String JDBC = "jdbc";
    static final String DRIVER = "driver";
    static final String DRIVER_TYPED = "driver-typed";
    static final String BLOCK = "block";

    final Suite.Source source;
    final Suite.Sizes sizes;
    /** The row counts of the bulk reads, ascending. */
    final long[] readRows;
    final List<Case> cases = new ArrayList<>();
    /** results.get(case name).get(arm name)[round]. */
    final Map<String, Map<String, double[]>> results = new LinkedHashMap<>();
    /** The driver's getString texts against the database driver's, on the smallest read. */
    final String valueComparison;
    private final JdbcSide jdbc;
    private final JdbcSide driver;
    private final BlockProgram block;

    SourceSuite(Suite.Source source, Suite.Sizes sizes, Path blockProgram) throws Exception {
        this.source = source;
        this.sizes = sizes;
        TreeSet<Long> rows = new TreeSet<>(List.of(Math.min(1000, sizes.rows()),
                Math.max(1, sizes.rows() / 10), sizes.rows()));
        readRows = rows.stream().mapToLong(Long::longValue).toArray();
        jdbc = new JdbcSide(source.jdbcUrl(), source.user(), source.password());
        SuiteTables.ensure(jdbc.connection(), source.dialect(), sizes);
        driver = new JdbcSide(source.driverUrl(), source.user(), source.password());
        block = new BlockProgram(blockProgram, source.dataSource(), source.user(),
                source.password());
        defineCases();
        valueComparison = compareValues(readSql(readRows[0]));
    }

    /**
     * How many times a pass reads rows rows: short reads repeat until a pass
     * reads a tenth of the largest read, so that no pass is too short to time.
     */
    long repeats(long rows) {
        return Math.max(1, sizes.rows() / 10 / rows);
    }

    String readName(long rows) {
        long repeats = repeats(rows);
        return String.format("read %,d rows", rows) + (repeats > 1 ? " x" + repeats : "");
    }

    static String readSql(long rows) {
        return "SELECT * FROM b WHERE id <= " + rows;
    }

    private void defineCases() {
        for (long rows : readRows) {
            addReads(readName(rows), readSql(rows), repeats(rows));
        }
        addReads(String.format("%d columns, %,d rows", SuiteTables.WIDE_COLUMNS,
                sizes.wideRows()), "SELECT * FROM w50", 1);
        addReads(String.format("%,d rows of %,d-byte text", sizes.lobRows(), sizes.lobBytes()),
                "SELECT * FROM l", 1);
        String point = "SELECT * FROM b WHERE id = ?";
        long[] ids = new long[sizes.points()];
        for (int k = 0; k < ids.length; k++) {
            ids[k] = 1 + (k * 7919L) % sizes.rows();
        }
        add(String.format("point query x %,d", ids.length), Kind.POINT,
                new Arm(JDBC, () -> jdbc.pointQueries(point, ids)),
                new Arm(DRIVER, () -> driver.pointQueries(point, ids)));
        String clear = source.dialect().clear("wb");
        String insert = "INSERT INTO wb VALUES (?, ?, ?)";
        add(String.format("executeBatch of %,d rows", sizes.batchRows()), Kind.BATCH,
                new Arm(JDBC, () -> jdbc.batch(clear, insert, sizes.batchRows())),
                new Arm(DRIVER, () -> driver.batch(clear, insert, sizes.batchRows())));
        add(String.format("%d opens", sizes.opens()), Kind.OPENS,
                new Arm(JDBC, () -> jdbc.opens(sizes.opens())),
                new Arm(DRIVER, () -> driver.opens(sizes.opens())));
        String all = readSql(sizes.rows());
        add(String.format("peak RSS, read of %,d rows", sizes.rows()), Kind.PEAK_MEMORY,
                new Arm(JDBC, () -> peakKilobytes(source.jdbcUrl(), all)),
                new Arm(DRIVER, () -> peakKilobytes(source.driverUrl(), all)));
    }

    private void addReads(String name, String sql, long repeats) {
        add(name, Kind.READ,
                new Arm(JDBC, repeated(repeats, () -> jdbc.read(sql, false))),
                new Arm(DRIVER, repeated(repeats, () -> driver.read(sql, false))),
                new Arm(DRIVER_TYPED, repeated(repeats, () -> driver.read(sql, true))),
                new Arm(BLOCK, repeated(repeats, () -> block.read(sql))));
    }

    private static Measure repeated(long repeats, Measure once) {
        return () -> {
            double sum = 0;
            for (long k = 0; k < repeats; k++) {
                sum += once.take();
            }
            return sum;
        };
    }

    private void add(String name, Kind kind, Arm... arms) {
        cases.add(new Case(name, kind, List.of(arms)));
        Map<String, double[]> perArm = new LinkedHashMap<>();
        for (Arm arm : arms) {
            double[] rounds = new double[sizes.rounds()];
            Arrays.fill(rounds, Double.NaN);
            perArm.put(arm.name(), rounds);
        }
        results.put(name, perArm);
    }

    /** Runs every case once; round -1 is the warm-up, whose results are dropped. */
    void runRound(int round) {
        for (Case c : cases) {
            if (round < 0 && c.kind() == Kind.PEAK_MEMORY) {
                continue;
            }
            Map<String, double[]> perArm = results.get(c.name());
            int n = c.arms().size();
            for (int k = 0; k < n; k++) {
                Arm arm = c.arms().get((Math.max(round, 0) + k) % n);
                double[] rounds = perArm.get(arm.name());
                if (round > 0 && Double.isNaN(rounds[round - 1])) {
                    continue;
                }
                double value = take(c, arm);
                if (round >= 0) {
                    rounds[round] = value;
                }
            }
        }
    }

    private double take(Case c, Arm arm) {
        try {
            return arm.measure().take();
        } catch (Exception e) {
            System.out.printf("  %s %s %s: failed: %s%n", source.label(), c.name(), arm.name(),
                    e);
            return Double.NaN;
        }
    }

    /** Reads sql in a JVM of its own (see RssProbe); answers its peak resident set in KB. */
    private double peakKilobytes(String url, String sql) throws IOException, InterruptedException {
        Path java = Path.of(System.getProperty("java.home"), "bin", "java");
        List<String> command = new ArrayList<>(List.of(java.toString(), "-Xmx512m",
                "-XX:+UseSerialGC", "-cp", System.getProperty("java.class.path")));
        for (String property : List.of("jov.jdbc.odbc.library", "java.library.path")) {
            command.add("-D" + property + "=" + System.getProperty(property, ""));
        }
        command.addAll(List.of(RssProbe.class.getName(), url, source.user(), source.password(),
                String.valueOf(sizes.fetchSize()), sql));
        Process process = new ProcessBuilder(command)
                .redirectError(ProcessBuilder.Redirect.INHERIT).start();
        String answer;
        try (BufferedReader out = new BufferedReader(
                new InputStreamReader(process.getInputStream(), StandardCharsets.US_ASCII))) {
            answer = out.readLine();
        }
        int status = process.waitFor();
        String[] fields = answer == null ? new String[0] : answer.split(" ");
        if (status != 0 || fields.length != 4 || !fields[0].equals("rss")) {
            throw new IOException("probe exit " + status + ", answered " + answer);
        }
        return Double.parseDouble(fields[1]);
    }

    /** How the driver's getString texts compare with the database driver's, by column. */
    private String compareValues(String sql) {
        try {
            List<String> ours = driver.texts(sql);
            List<String> theirs = jdbc.texts(sql);
            if (ours.size() != theirs.size()) {
                return String.format("%,d values against %,d", ours.size(), theirs.size());
            }
            int columns = SuiteTables.BULK_COLUMNS;
            int[] differing = new int[columns];
            String first = "";
            for (int i = 0; i < ours.size(); i++) {
                if (!Objects.equals(ours.get(i), theirs.get(i))) {
                    if (first.isEmpty()) {
                        first = String.format("; first in column %d: driver '%s', %s '%s'",
                                i % columns + 1, ours.get(i), source.jdbcName(), theirs.get(i));
                    }
                    differing[i % columns]++;
                }
            }
            return String.format("%,d values, differing by column %s%s", ours.size(),
                    Arrays.toString(differing), first);
        } catch (Exception e) {
            return "not compared: " + e;
        }
    }

    @Override
    public void close() throws IOException, SQLException {
        try {
            block.close();
        } finally {
            try {
                driver.close();
            } finally {
                jdbc.close();
            }
        }
    }
}

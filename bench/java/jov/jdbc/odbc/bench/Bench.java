package jov.jdbc.odbc.bench;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/**
 * The benchmark runner (scripts/bench.sh starts it):
 *
 * <pre>
 * Bench --floor PROGRAM --work DIR --rounds N --sql SQL
 *       --source LABEL ODBC_DRIVER DATA_SOURCE USER PASSWORD JDBC_NAME JDBC_URL DRIVER_URL
 *       ...
 * </pre>
 *
 * Each source runs the floor, the bridge, its JDBC driver and this project's
 * driver at DRIVER_URL (see {@link SourceRun}). Every source reports its JDBC
 * driver against the floor of its ODBC driver. Exits 0 when every target is
 * met, 3 when one is missed.
 */
public final class Bench {

    private Bench() {
    }

    public static void main(String[] args) throws Exception {
        Path floor = null;
        Path work = Path.of(".");
        int rounds = 5;
        String sql = "SELECT * FROM t";
        List<SourceRun.Source> sources = new ArrayList<>();
        for (int i = 0; i < args.length; i++) {
            switch (args[i]) {
                case "--floor" -> floor = Path.of(args[++i]);
                case "--work" -> work = Path.of(args[++i]);
                case "--rounds" -> rounds = Integer.parseInt(args[++i]);
                case "--sql" -> sql = args[++i];
                case "--source" -> {
                    sources.add(new SourceRun.Source(args[i + 1], args[i + 2], args[i + 3],
                            args[i + 4], args[i + 5], args[i + 6], args[i + 7],
                            args[i + 8]));
                    i += 8;
                }
                default -> throw new IllegalArgumentException("unknown argument " + args[i]);
            }
        }
        if (floor == null || sources.isEmpty()) {
            throw new IllegalArgumentException("--floor and at least one --source are needed");
        }
        Files.createDirectories(work);
        Report.describeMachine().forEach(System.out::println);
        System.out.printf("query: %s; one warm-up pass, then %d rounds of one pass per variant%n",
                sql, rounds);
        List<SourceRun> runs = new ArrayList<>();
        for (SourceRun.Source source : sources) {
            SourceRun run = new SourceRun(source);
            run.run(floor, sql, rounds, work);
            System.out.printf("  %s columns: %s%n", source.label(), run.columns);
            runs.add(run);
        }
        PassResult first = runs.get(0).results.get(0).get(SourceRun.FLOOR);
        int averageLength = (int) Math.round((double) first.lengthSum() / first.values());
        double[] prices = JniPrices.measure(averageLength);
        Report report = new Report(System.out);
        report.setJniPrices(averageLength, prices[0], prices[1]);
        report.print(runs);
        System.exit(report.allMet() ? 0 : 3);
    }
}

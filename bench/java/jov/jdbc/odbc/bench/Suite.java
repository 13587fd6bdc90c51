package jov.jdbc.odbc.bench;

import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;

/**
 * The suite runner (scripts/bench.sh starts it after the bridge's benchmark):
 *
 * <pre>
 * Suite --block PROGRAM --rounds N --rows N --wide-rows N --lob-rows N --lob-bytes N
 *       --points N --batch N --opens N --fetch-size N
 *       --source LABEL DIALECT DATA_SOURCE USER PASSWORD JDBC_NAME JDBC_URL DRIVER_URL
 *       ...
 * </pre>
 *
 * Each source's database driver (JDBC_URL), this project's driver (DRIVER_URL
 * over DATA_SOURCE) and the C block program run every measurement of
 * {@link SourceSuite}; one warm-up round, then the rounds, each running every
 * measurement of every source once, so that a ratio is taken within a round
 * and a noisy stretch of the machine falls on both of its sides. Exits 0 when
 * every target of {@link SuiteReport} is met, 3 when one is missed.
 */
public final class Suite {

    /** How much each measurement does; see the script's environment. */
    record Sizes(int rounds, long rows, long wideRows, int lobRows, int lobBytes, int points,
            int batchRows, int opens, int fetchSize) {
    }

    /** A database reached by its own JDBC driver and through its ODBC data source. */
    record Source(String label, Dialect dialect, String dataSource, String user,
            String password, String jdbcName, String jdbcUrl, String driverUrl) {
    }

    private Suite() {
    }

    public static void main(String[] args) throws Exception {
        Path block = null;
        long[] size = {5, 1_000_000, 100_000, 10_000, 61_440, 10_000, 100_000, 100, 1000};
        List<String> sizeNames = List.of("--rounds", "--rows", "--wide-rows", "--lob-rows",
                "--lob-bytes", "--points", "--batch", "--opens", "--fetch-size");
        List<Source> sources = new ArrayList<>();
        for (int i = 0; i < args.length; i++) {
            int named = sizeNames.indexOf(args[i]);
            if (named >= 0) {
                size[named] = Long.parseLong(args[++i]);
            } else if (args[i].equals("--block")) {
                block = Path.of(args[++i]);
            } else if (args[i].equals("--source") && i + 8 < args.length) {
                sources.add(new Source(args[i + 1], Dialect.of(args[i + 2]), args[i + 3],
                        args[i + 4], args[i + 5], args[i + 6], args[i + 7], args[i + 8]));
                i += 8;
            } else {
                throw new IllegalArgumentException("unknown or incomplete argument " + args[i]);
            }
        }
        if (block == null || sources.isEmpty()) {
            throw new IllegalArgumentException("--block and at least one --source are needed");
        }
        Sizes sizes = new Sizes((int) size[0], size[1], size[2], (int) size[3], (int) size[4],
                (int) size[5], (int) size[6], (int) size[7], (int) size[8]);
        System.exit(run(block, sizes, sources) ? 0 : 3);
    }

    private static boolean run(Path block, Sizes sizes, List<Source> sources) throws Exception {
        Report.describeMachine().forEach(System.out::println);
        System.out.printf("%s; one warm-up round, then %d rounds%n", sizes, sizes.rounds());
        List<SourceSuite> suites = new ArrayList<>();
        try {
            for (Source source : sources) {
                suites.add(new SourceSuite(source, sizes, block));
            }
            for (int round = -1; round < sizes.rounds(); round++) {
                for (SourceSuite suite : suites) {
                    long start = System.nanoTime();
                    suite.runRound(round);
                    System.out.printf("  %s %s: %.0f s%n", suite.source.label(),
                            round < 0 ? "warm-up" : "round " + (round + 1),
                            (System.nanoTime() - start) / 1e9);
                }
            }
            SuiteReport report = new SuiteReport(System.out, sizes);
            for (SourceSuite suite : suites) {
                report.add(suite);
            }
            return report.print();
        } finally {
            for (SourceSuite suite : suites) {
                suite.close();
            }
        }
    }
}

package jov.jdbc.odbc.bench;

import java.nio.file.Files;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.function.UnaryOperator;

/**
 * The benchmark on one data source: the floor, the bridge, a native JDBC
 * driver, the JNI floor and this project's JDBC driver (getString and typed)
 * side by side, each on one connection kept open throughout.
 *
 * <p>First one untimed pass of each but the typed driver writes every value to
 * a dump; the bridge's, the JNI floor's and the native JDBC driver's values
 * are compared with the floor's, the project's driver's with the bridge's,
 * value by value: as texts, and as values, each driver text turned into the
 * library's rendering of it (see {@link LibraryRendering}). Then one
 * warm-up pass of each, then the measured rounds: one pass of each variant
 * per round, the order rotating from round to round, so that a noisy stretch
 * of the machine falls on all of them alike.
 */
final class SourceRun {

    /**
     * What to run against: a data source for ODBC, the same data for JDBC, and
     * this project's driver's URL of the data source (charset=Windows-31J where
     * the natives wrote the file).
     */
    record Source(String label, String odbcDriver, String dataSource, String user,
            String password, String jdbcName, String jdbcUrl, String driverUrl) {
    }

    /** Indexes of the variants in variantNames and in each round's results. */
    static final int FLOOR = 0;
    static final int BRIDGE = 1;
    static final int JDBC = 2;
    static final int JNI_FLOOR = 3;
    static final int DRIVER = 4;
    static final int DRIVER_TYPED = 5;

    final Source source;
    final List<String> variantNames = new ArrayList<>();
    /** results.get(round).get(variant), in the order of variantNames. */
    final List<List<PassResult>> results = new ArrayList<>();
    String columns = "";
    DumpComparison bridgeVsFloor;
    DumpComparison jdbcVsFloor;
    DumpComparison jniFloorVsFloor;
    /** The driver's texts against the bridge's as they are. */
    DumpComparison driverTextVsBridge;
    /** The driver's texts in the library's rendering against the bridge's. */
    DumpComparison driverVsBridge;

    SourceRun(Source source) {
        this.source = source;
    }

    void run(Path floorProgram, String sql, int rounds, Path workDir) throws Exception {
        try (FloorVariant floor = new FloorVariant(floorProgram, source.dataSource(),
                        source.user(), source.password(), sql);
                BridgeVariant bridge = new BridgeVariant(source.dataSource(), source.user(),
                        source.password(), sql);
                JdbcVariant jdbc = new JdbcVariant(source.jdbcName(), source.jdbcUrl(),
                        source.user(), source.password(), sql, false);
                JniFloorVariant jniFloor = new JniFloorVariant(source.dataSource(),
                        source.user(), source.password(), sql);
                JdbcVariant driver = new JdbcVariant("driver", source.driverUrl(),
                        source.user(), source.password(), sql, false);
                JdbcVariant driverTyped = new JdbcVariant("driver-typed",
                        source.driverUrl(), source.user(), source.password(), sql,
                        true)) {
            List<Variant> variants = List.of(floor, bridge, jdbc, jniFloor, driver, driverTyped);
            for (Variant v : variants) {
                variantNames.add(v.name());
            }
            columns = bridge.describeColumns();
            compareDumps(floor, bridge, jdbc, jniFloor, driver, workDir);
            for (Variant v : variants) {
                v.pass();
            }
            for (int round = 0; round < rounds; round++) {
                PassResult[] row = new PassResult[variants.size()];
                for (int k = 0; k < variants.size(); k++) {
                    int index = (round + k) % variants.size();
                    row[index] = variants.get(index).pass();
                }
                results.add(List.of(row));
                System.out.printf("  %s round %d:", source.label(), round + 1);
                for (int k = 0; k < row.length; k++) {
                    System.out.printf(" %s %.0f ms (CPU %.0f)", variantNames.get(k),
                            row[k].millis(), row[k].cpuMillis());
                }
                System.out.println();
            }
        }
    }

    private void compareDumps(Variant floor, Variant bridge, Variant jdbc, Variant jniFloor,
            JdbcVariant driver, Path workDir) throws Exception {
        String stem = source.label().toLowerCase();
        Path floorDump = workDir.resolve(stem + "-floor.utf16");
        Path bridgeDump = workDir.resolve(stem + "-bridge.utf16");
        Path jdbcDump = workDir.resolve(stem + "-jdbc.utf16");
        Path jniFloorDump = workDir.resolve(stem + "-jni-floor.utf16");
        Path driverDump = workDir.resolve(stem + "-driver.utf16");
        PassResult f = floor.dump(floorDump);
        bridge.dump(bridgeDump);
        jdbc.dump(jdbcDump);
        jniFloor.dump(jniFloorDump);
        driver.dump(driverDump);
        int columnCount = (int) (f.values() / Math.max(1, f.rows()));
        bridgeVsFloor = DumpComparison.compare(bridgeDump, floorDump, columnCount);
        jdbcVsFloor = DumpComparison.compare(jdbcDump, floorDump, columnCount);
        jniFloorVsFloor = DumpComparison.compare(jniFloorDump, floorDump, columnCount);
        driverTextVsBridge = DumpComparison.compare(driverDump, bridgeDump, columnCount);
        List<UnaryOperator<String>> renderings = new ArrayList<>();
        for (int jdbcType : driver.columnTypes()) {
            renderings.add(LibraryRendering.forType(jdbcType));
        }
        driverVsBridge = DumpComparison.compare(driverDump, bridgeDump, columnCount, renderings);
        // The dumps are large; they stay only where they differ from the reference.
        Files.delete(jdbcDump);
        Files.delete(jniFloorDump);
        if (driverTextVsBridge.identical()) {
            Files.delete(driverDump);
        }
        if (bridgeVsFloor.identical()) {
            Files.delete(floorDump);
        }
        if (bridgeVsFloor.identical() && driverTextVsBridge.identical()) {
            Files.delete(bridgeDump);
        }
    }
}

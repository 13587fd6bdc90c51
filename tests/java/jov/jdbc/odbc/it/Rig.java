package jov.jdbc.odbc.it;

import java.util.Arrays;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * The data sources of the test rig (scripts/odbc-env.sh writes them). Every
 * parameterised test runs once per data source; where the two drivers answer
 * differently the test says so.
 *
 * <p>The system property {@code jov.it.dataSources} (comma-separated data
 * source names) narrows the run, e.g. to JovSqlite when no PostgreSQL is at
 * hand.
 *
 * <p>Public for the tests that drive the JDBC driver through real clients
 * (jov.jdbc.odbc.clients).
 */
public enum Rig {
    SQLITE("JovSqlite", "", "", "double", "blob", "text"),
    POSTGRES("JovPg", env("JOV_PG_USER", "jov"), env("JOV_PG_PASSWORD", "jovpass"),
            "double precision", "bytea", "text");

    public final String dataSource;
    public final String user;
    public final String password;
    /** Column type names that differ between the two SQL dialects. */
    final String doubleType;
    final String binaryType;
    final String longTextType;

    Rig(String dataSource, String user, String password, String doubleType, String binaryType,
            String longTextType) {
        this.dataSource = dataSource;
        this.user = user;
        this.password = password;
        this.doubleType = doubleType;
        this.binaryType = binaryType;
        this.longTextType = longTextType;
    }

    /** A literal of the binary column type holding the bytes given in hex. */
    String binaryLiteral(String hex) {
        return this == SQLITE ? "x'" + hex + "'" : "'\\x" + hex + "'::bytea";
    }

    /** The data sources selected for this run. */
    public static Stream<Rig> all() {
        String selected = System.getProperty("jov.it.dataSources", "");
        if (selected.isBlank()) {
            return Stream.of(values());
        }
        List<String> names = Arrays.stream(selected.split(","))
                .map(String::trim).collect(Collectors.toList());
        return Stream.of(values()).filter(r -> names.contains(r.dataSource));
    }

    private static String env(String name, String fallback) {
        String value = System.getenv(name);
        return value == null || value.isEmpty() ? fallback : value;
    }

    @Override
    public String toString() {
        return dataSource;
    }
}

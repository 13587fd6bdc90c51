package jov.jdbc.odbc.it;

import java.util.Arrays;
import java.util.List;
import java.util.stream.Collectors;
import java.util.stream.Stream;

/**
 * The data sources of the test rig (scripts/odbc-env.sh writes them). Every
 * parameterised test runs once per data source; where the drivers answer
 * differently the test says so.
 *
 * <p>The system property {@code jov.it.dataSources} (comma-separated data
 * source names) narrows the run, e.g. to JovSqlite when no PostgreSQL or
 * MariaDB is at hand.
 *
 * <p>With {@code jov.it.connectionStrings=true} the real clients
 * (jov.jdbc.odbc.clients) name each data source by {@link #connectionString()}
 * instead, as the run with the iODBC library does (scripts/test-iodbc.sh).
 *
 * <p>Public for the tests that drive the JDBC driver through real clients
 * (jov.jdbc.odbc.clients).
 */
public enum Rig {
    SQLITE("JovSqlite", "", "", "double", "blob", "text", "timestamp"),
    POSTGRES("JovPg", env("JOV_PG_USER", "jov"), env("JOV_PG_PASSWORD", "jovpass"),
            "double precision", "bytea", "text", "timestamp"),
    // MariaDB's DATETIME and TIMESTAMP keep no fraction of a second unless told.
    MARIA("JovMaria", env("JOV_MARIA_USER", "jov"), env("JOV_MARIA_PASSWORD", "jovpass"),
            "double", "longblob", "longtext", "datetime(6)");

    public final String dataSource;
    public final String user;
    public final String password;
    /** Column type names that differ between the SQL dialects. */
    final String doubleType;
    final String binaryType;
    final String longTextType;
    /** A date and time with microseconds. */
    final String timestampType;

    Rig(String dataSource, String user, String password, String doubleType, String binaryType,
            String longTextType, String timestampType) {
        this.dataSource = dataSource;
        this.user = user;
        this.password = password;
        this.doubleType = doubleType;
        this.binaryType = binaryType;
        this.longTextType = longTextType;
        this.timestampType = timestampType;
    }

    /** A literal of the binary column type holding the bytes given in hex. */
    String binaryLiteral(String hex) {
        return this == POSTGRES ? "'\\x" + hex + "'::bytea" : "x'" + hex + "'";
    }

    /**
     * The SQLSTATE of a statement the server cannot parse: sqliteodbc gives
     * HY000 for every failure, psqlODBC the server's 42601, MariaDB's driver
     * its ODBC 3 class 42000.
     */
    String syntaxErrorState() {
        return this == SQLITE ? "HY000" : this == POSTGRES ? "42601" : "42000";
    }

    /** The SQLSTATE of a query naming a missing table. */
    String missingTableState() {
        return this == SQLITE ? "HY000" : this == POSTGRES ? "42P01" : "42S02";
    }

    /** The SQLSTATE of a duplicate key. */
    String duplicateKeyState() {
        return this == SQLITE ? "HY000" : this == POSTGRES ? "23505" : "23000";
    }

    /**
     * What the library answers for a searched UPDATE or DELETE that matches
     * no row: sqliteodbc and psqlODBC give SQL_NO_DATA (0); MariaDB's driver
     * SQL_SUCCESS (1) with a row count of 0.
     */
    int noRowMatchedAnswer() {
        return this == MARIA ? 1 : 0;
    }

    /**
     * An ODBC connection string reaching the same database as the data
     * source without odbc.ini: the driver by its odbcinst.ini name, the rest
     * from the variables of scripts/odbc-env.sh; no login.
     */
    public String connectionString() {
        String odbc = env("JOV_ODBC_DIR", "build/odbc");
        switch (this) {
            case SQLITE:
                return "Driver={JovSQLite3};Database={" + odbc + "/jov.sqlite};Timeout=10000";
            case POSTGRES:
                return "Driver={JovPsqlAnsi};Servername={" + System.getenv("JOV_PG_DIR") + "};Port="
                        + env("JOV_PG_PORT", "54329") + ";Database=" + env("JOV_PG_DATABASE", "jovtest");
            default:
                return "Driver={JovMariaDB};Socket={" + System.getenv("JOV_MARIA_DIR") + "/mariadb.sock};Database="
                        + env("JOV_MARIA_DATABASE", "jovtest");
        }
    }

    /** The URL the real clients connect with: by data source name, or by connection string when the run says so. */
    public String url() {
        boolean byString = Boolean.getBoolean("jov.it.connectionStrings");
        return "jdbc:jov:odbc:" + (byString ? connectionString() : dataSource);
    }

    /** Whether this run goes through the iODBC driver manager (scripts/test-iodbc.sh), which answers some calls its own way. */
    public static boolean underIodbc() {
        return Boolean.getBoolean("jov.it.iodbc");
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

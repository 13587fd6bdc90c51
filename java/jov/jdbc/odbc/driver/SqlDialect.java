package jov.jdbc.odbc.driver;

import java.util.Locale;
import java.util.regex.Matcher;
import java.util.regex.Pattern;

/**
 * Which database is behind a data source, as far as the driver's own SQL
 * text depends on it: how its string literals treat a backslash (for
 * counting markers), which quoting forms its lexer knows, which catalogue
 * answers metadata.
 *
 * <p>Learned once at connect by {@link #detect}, then never changed: a
 * session that later runs {@code SET standard_conforming_strings} is not
 * followed. Only the lexer's marker count depends on the string mode; no
 * value is ever written into SQL text, so no mode can turn data into SQL.
 */
final class SqlDialect {

    /** The databases the driver tells apart; anything else is {@link #OTHER}. */
    enum Database {
        SQLITE, POSTGRESQL, MYSQL, OTHER
    }

    private static final Pattern LEADING_NUMBERS = Pattern.compile("^(\\d+)(?:\\.(\\d+))?");

    private final Database database;
    private final String productName;
    private final String productVersion;
    private final boolean backslashEscapes;

    SqlDialect(Database database, String productName, String productVersion, boolean backslashEscapes) {
        this.database = database;
        this.productName = productName;
        this.productVersion = productVersion;
        this.backslashEscapes = backslashEscapes;
    }

    /** A database of which nothing is known: standard SQL, an empty version. */
    static SqlDialect other() {
        return new SqlDialect(Database.OTHER, "", "", false);
    }

    /**
     * Learns the database from the name its ODBC driver reports (SQLGetInfo's
     * SQL_DBMS_NAME), then its version and string mode from that database's
     * own queries only; without a name it is found by probing, as below.
     */
    static SqlDialect detect(String dbmsName, SqlProbe probe) {
        String name = dbmsName.toLowerCase(Locale.ROOT);
        if (name.contains("postgres")) {
            SqlDialect found = postgresql(probe, probe.firstValue("SELECT version()"));
            return found != null ? found : new SqlDialect(Database.POSTGRESQL, "PostgreSQL", "", false);
        }
        if (name.contains("mysql") || name.contains("mariadb")) {
            SqlDialect found = mysql(probe, probe.firstValue("SELECT version()"));
            return found != null ? found : new SqlDialect(Database.MYSQL, dbmsName, "", true);
        }
        if (name.contains("sqlite")) {
            String version = probe.firstValue("SELECT sqlite_version()");
            return new SqlDialect(Database.SQLITE, "SQLite", version == null ? "" : version, false);
        }
        return name.isEmpty() ? detect(probe) : other();
    }

    private static SqlDialect postgresql(SqlProbe probe, String version) {
        if (version == null || !version.startsWith("PostgreSQL ")) {
            return null;
        }
        String number = version.substring("PostgreSQL ".length()).split(" ", 2)[0];
        String conforming = probe.firstValue("SHOW standard_conforming_strings");
        // Off only when the server says so: unknown means a modern server, where it is on.
        return new SqlDialect(Database.POSTGRESQL, "PostgreSQL", number, "off".equalsIgnoreCase(conforming));
    }

    private static SqlDialect mysql(SqlProbe probe, String version) {
        if (version == null || !LEADING_NUMBERS.matcher(version).find()) {
            return null;
        }
        String mode = probe.firstValue("SELECT @@SESSION.sql_mode");
        if (mode == null) {
            return null;
        }
        String name = version.toLowerCase(Locale.ROOT).contains("mariadb") ? "MariaDB" : "MySQL";
        boolean escapes = !mode.toUpperCase(Locale.ROOT).contains("NO_BACKSLASH_ESCAPES");
        return new SqlDialect(Database.MYSQL, name, version, escapes);
    }

    /**
     * Learns the database with at most three queries, each of which fails
     * harmlessly elsewhere. {@code SELECT version()} comes first because
     * PostgreSQL aborts an open transaction on a failed statement and SQLite
     * does not; it also answers on MySQL and MariaDB.
     */
    static SqlDialect detect(SqlProbe probe) {
        String version = probe.firstValue("SELECT version()");
        SqlDialect known = postgresql(probe, version);
        if (known == null) {
            known = mysql(probe, version);
        }
        if (known != null) {
            return known;
        }
        String sqlite = probe.firstValue("SELECT sqlite_version()");
        if (sqlite != null) {
            return new SqlDialect(Database.SQLITE, "SQLite", sqlite, false);
        }
        return other();
    }

    Database database() {
        return database;
    }

    /** The product name as the database's own JDBC driver reports it ("PostgreSQL", "SQLite"). */
    String productName() {
        return productName;
    }

    /** The version text the database reports, "" when unknown. */
    String productVersion() {
        return productVersion;
    }

    /** The character that quotes an identifier: MySQL's backtick works whatever its sql_mode. */
    char identifierQuote() {
        return database == Database.MYSQL ? '`' : '"';
    }

    /**
     * The name as a delimited identifier: quoted, inner quotes doubled, so the
     * database reads exactly the name and nothing of it as SQL (inside quotes
     * none of these databases gives a backslash a meaning).
     */
    String quoteIdentifier(String name) {
        String quote = String.valueOf(identifierQuote());
        return quote + name.replace(quote, quote + quote) + quote;
    }

    /** Whether a backslash inside an ordinary '...' literal escapes the next character. */
    boolean backslashEscapes() {
        return backslashEscapes;
    }

    /** The leading number of the version, 0 when unknown. */
    int majorVersion() {
        return versionPart(1);
    }

    /** The number after the first dot of the version, 0 when unknown. */
    int minorVersion() {
        return versionPart(2);
    }

    private int versionPart(int group) {
        Matcher m = LEADING_NUMBERS.matcher(productVersion);
        if (!m.find() || m.group(group) == null) {
            return 0;
        }
        try {
            return Integer.parseInt(m.group(group));
        } catch (NumberFormatException tooLong) {
            return 0;
        }
    }

    @Override
    public String toString() {
        return database + " " + productName + " " + productVersion + (backslashEscapes ? " (backslash escapes)" : "");
    }
}

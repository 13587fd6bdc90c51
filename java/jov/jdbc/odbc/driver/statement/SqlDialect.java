package jov.jdbc.odbc.driver.statement;

import java.util.Locale;

/**
 * Which database is behind a data source, as far as the driver's own SQL
 * text depends on it: how its string literals treat a backslash (for
 * counting markers), which quoting forms its lexer knows.
 *
 * <p>The database is learned at connect from the name its ODBC driver
 * reports (SQLGetInfo's SQL_DBMS_NAME), without a query. The string mode is
 * asked of the database once, the first time SQL text with a backslash is
 * parsed, and then kept: a session that later changes it is not followed.
 * Only the lexer's marker count depends on it; no value is ever written into
 * SQL text, so no mode can turn data into SQL.
 */
public final class SqlDialect {

    /** The databases the driver tells apart; anything else is {@link #OTHER}. */
    public enum Database {
        SQLITE, POSTGRESQL, MYSQL, OTHER
    }

    private final Database database;
    private final SqlProbe probe;
    /** Null until asked; guarded by this. */
    private Boolean backslashEscapes;

    private SqlDialect(Database database, SqlProbe probe, Boolean backslashEscapes) {
        this.database = database;
        this.probe = probe;
        this.backslashEscapes = backslashEscapes;
    }

    /** A database whose string mode is known already. */
    SqlDialect(Database database, boolean backslashEscapes) {
        this(database, null, backslashEscapes);
    }

    /** A database of which nothing is known: standard SQL. */
    static SqlDialect other() {
        return new SqlDialect(Database.OTHER, false);
    }

    /**
     * The database its ODBC driver's SQL_DBMS_NAME names; the probe runs that
     * database's own query for the string mode when it is first needed.
     */
    public static SqlDialect detect(String dbmsName, SqlProbe probe) {
        String name = dbmsName.toLowerCase(Locale.ROOT);
        if (name.contains("postgres")) {
            return new SqlDialect(Database.POSTGRESQL, probe, null);
        }
        if (name.contains("mysql") || name.contains("mariadb")) {
            return new SqlDialect(Database.MYSQL, probe, null);
        }
        return new SqlDialect(name.contains("sqlite") ? Database.SQLITE : Database.OTHER, false);
    }

    public Database database() {
        return database;
    }

    /** The character that quotes an identifier: MySQL's backtick works whatever its sql_mode. */
    public char identifierQuote() {
        return database == Database.MYSQL ? '`' : '"';
    }

    /**
     * The name as a delimited identifier: quoted, inner quotes doubled, so the
     * database reads exactly the name and nothing of it as SQL (inside quotes
     * none of these databases gives a backslash a meaning).
     */
    public String quoteIdentifier(String name) {
        String quote = String.valueOf(identifierQuote());
        return quote + name.replace(quote, quote + quote) + quote;
    }

    /**
     * Whether a backslash inside an ordinary '...' literal escapes the next
     * character. PostgreSQL: only when standard_conforming_strings is off (an
     * unanswered question means a modern server, where it is on); MySQL and
     * MariaDB: unless sql_mode has NO_BACKSLASH_ESCAPES (unanswered: their
     * default, escapes).
     */
    synchronized boolean backslashEscapes() {
        if (backslashEscapes == null) {
            if (database == Database.POSTGRESQL) {
                backslashEscapes = "off".equalsIgnoreCase(probe.firstValue("SHOW standard_conforming_strings"));
            } else {
                String mode = probe.firstValue("SELECT @@SESSION.sql_mode");
                backslashEscapes = mode == null || !mode.toUpperCase(Locale.ROOT).contains("NO_BACKSLASH_ESCAPES");
            }
        }
        return backslashEscapes;
    }

    @Override
    public String toString() {
        return database.toString();
    }
}

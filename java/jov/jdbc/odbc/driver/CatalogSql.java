package jov.jdbc.odbc.driver;

import java.sql.SQLException;
import java.util.StringJoiner;

/** Pieces of catalogue queries shared by the databases: filters and empty answers. */
final class CatalogSql {

    /** The escape of JDBC search patterns, and so of every LIKE below. */
    static final String SEARCH_ESCAPE = "\\";

    private CatalogSql() {
    }

    /** " AND column LIKE pattern", or nothing for a null pattern, which narrows nothing. */
    static String like(String column, String pattern, SqlDialect dialect) throws SQLException {
        if (pattern == null) {
            return "";
        }
        return " AND " + column + " LIKE " + Literals.string(pattern, dialect) + " ESCAPE "
                + Literals.string(SEARCH_ESCAPE, dialect);
    }

    /** " AND column = value", or nothing for a null value. */
    static String equal(String column, String value, SqlDialect dialect) throws SQLException {
        return value == null ? "" : " AND " + column + " = " + Literals.string(value, dialect);
    }

    /** " AND column IN (values)"; nothing for null, and no row for an empty array. */
    static String in(String column, String[] values, SqlDialect dialect) throws SQLException {
        if (values == null) {
            return "";
        }
        if (values.length == 0) {
            return " AND 1 = 0";
        }
        StringJoiner list = new StringJoiner(", ", " AND " + column + " IN (", ")");
        for (String value : values) {
            list.add(Literals.string(value, dialect));
        }
        return list.toString();
    }

    /**
     * Whether a row whose catalogue or schema is NULL (a database without
     * them) passes the caller's argument: null narrows nothing, "" asks for
     * exactly the rows without one, and a pattern of only '%' matches all.
     */
    static boolean admitsMissingName(String nameOrPattern) {
        return nameOrPattern == null || nameOrPattern.chars().allMatch(c -> c == '%');
    }

    /** A query with the given columns and no row, for questions whose honest answer is none. */
    static String empty(String... columns) {
        StringJoiner select = new StringJoiner(", ", "SELECT ", " WHERE 1 = 0");
        for (String column : columns) {
            select.add("NULL AS \"" + column + "\"");
        }
        return select.toString();
    }
}

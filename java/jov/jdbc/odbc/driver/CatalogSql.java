package jov.jdbc.odbc.driver;

import java.util.List;
import java.util.StringJoiner;

/**
 * Pieces of catalogue queries shared by the databases: filters and empty
 * answers. A filter's values are parameters: each adds its {@code ?} to the
 * text and its value to the query's arguments, in the order of the text.
 */
final class CatalogSql {

    /** The escape of JDBC search patterns, and so of every LIKE below. */
    static final String SEARCH_ESCAPE = "\\";

    private CatalogSql() {
    }

    /** " AND column LIKE ? ESCAPE ?", or nothing for a null pattern, which narrows nothing. */
    static String like(String column, String pattern, List<String> args) {
        if (pattern == null) {
            return "";
        }
        args.add(pattern);
        args.add(SEARCH_ESCAPE);
        return " AND " + column + " LIKE ? ESCAPE ?";
    }

    /** " AND column = ?", or nothing for a null value. */
    static String equal(String column, String value, List<String> args) {
        if (value == null) {
            return "";
        }
        args.add(value);
        return " AND " + column + " = ?";
    }

    /** " AND column IN (?, ...)"; nothing for null, and no row for an empty array. */
    static String in(String column, String[] values, List<String> args) {
        if (values == null) {
            return "";
        }
        if (values.length == 0) {
            return " AND 1 = 0";
        }
        StringJoiner list = new StringJoiner(", ", " AND " + column + " IN (", ")");
        for (String value : values) {
            args.add(value);
            list.add("?");
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

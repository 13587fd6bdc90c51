package jov.jdbc.odbc.driver.statement;

import java.util.List;

/**
 * An SQL text cut at its parameter markers: {@code n} markers leave
 * {@code n + 1} pieces of text, the first and last possibly empty.
 * Immutable, and safe to share between threads.
 */
final class ParsedSql {

    private final String[] pieces;
    private final String firstKeyword;
    private final int questionOperatorAt;
    private final boolean insertsOneRow;

    ParsedSql(List<String> pieces, String firstKeyword, int questionOperatorAt, boolean insertsOneRow) {
        this.pieces = pieces.toArray(new String[0]);
        this.firstKeyword = firstKeyword;
        this.questionOperatorAt = questionOperatorAt;
        this.insertsOneRow = insertsOneRow;
    }

    /** How many {@code ?} markers the text holds. */
    int parameterCount() {
        return pieces.length - 1;
    }

    /**
     * The first word of the statement, upper-cased, past leading blanks,
     * comments and opening parentheses; "" when the statement starts with
     * anything else ({@code {call ...}}, a number) or is empty. It no longer
     * tells queries from updates (the ODBC driver does); the row count of
     * SQLite's WITH statements (JovStatement.counted) and
     * {@link #insertsOneRow} ask it.
     */
    String firstKeyword() {
        return firstKeyword;
    }

    /**
     * Where the first PostgreSQL operator written with {@code ?} starts
     * ({@code ??}, {@code ?|}, {@code ?&}), or -1: such a statement cannot be
     * sent through ODBC, which would take its {@code ?} for a marker.
     */
    int questionOperatorAt() {
        return questionOperatorAt;
    }

    /** Whether each execution inserts at most one row: see {@link SingleRowInsert}. */
    boolean insertsOneRow() {
        return insertsOneRow;
    }
}

package jov.jdbc.odbc.driver;

import java.sql.SQLException;
import java.util.List;

/**
 * An SQL text cut at its parameter markers: {@code n} markers leave
 * {@code n + 1} pieces of text, the first and last possibly empty. The
 * pieces are the text as the database must see it (a PostgreSQL {@code ??}
 * already reduced to {@code ?}), so binding only joins them. Immutable, and
 * safe to share between threads.
 */
final class ParsedSql {

    private final String[] pieces;
    private final String firstKeyword;

    ParsedSql(List<String> pieces, String firstKeyword) {
        this.pieces = pieces.toArray(new String[0]);
        this.firstKeyword = firstKeyword;
    }

    /** How many {@code ?} markers the text holds. */
    int parameterCount() {
        return pieces.length - 1;
    }

    /**
     * The first word of the statement, upper-cased, past leading blanks,
     * comments and opening parentheses; "" when the statement starts with
     * anything else ({@code {call ...}}, a number) or is empty. It no longer
     * tells queries from updates (the ODBC driver does); only the row count
     * of SQLite's WITH statements (JovStatement.counted) still asks it.
     */
    String firstKeyword() {
        return firstKeyword;
    }

    /**
     * The SQL text with marker {@code i} replaced by {@code literals[i]}, each
     * already a complete SQL literal; a blank keeps a negative number from
     * joining a '-' before it into a comment. Throws an SQLException (07001) when the
     * number of literals differs from the number of markers, and (07002) when
     * one of them is null, that is when a parameter was never set.
     */
    String bind(String[] literals) throws SQLException {
        if (literals.length != parameterCount()) {
            throw new SQLException("The statement has " + parameterCount() + " parameters, "
                    + literals.length + " values were given", "07001");
        }
        int length = 0;
        for (String piece : pieces) {
            length += piece.length();
        }
        for (int i = 0; i < literals.length; i++) {
            if (literals[i] == null) {
                throw new SQLException("No value was set for parameter " + (i + 1), "07002");
            }
            length += literals[i].length();
        }
        StringBuilder sql = new StringBuilder(length + literals.length);
        sql.append(pieces[0]);
        for (int i = 0; i < literals.length; i++) {
            // "5-?" bound to -3 must not become "5--3", a comment that silently drops the rest of the line.
            if (literals[i].startsWith("-") && pieces[i].endsWith("-")) {
                sql.append(' ');
            }
            sql.append(literals[i]).append(pieces[i + 1]);
        }
        return sql.toString();
    }
}

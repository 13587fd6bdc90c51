package jov.jdbc.odbc.tool;

import java.util.ArrayList;
import java.util.Arrays;
import java.util.HashSet;
import java.util.List;
import java.util.Locale;
import java.util.Set;

/**
 * SQL text as the query tool reads it: a script of statements separated by
 * ';', and the first keyword of one statement, which decides whether it is run
 * as a query (opening a cursor) or as a statement without a result set.
 *
 * <p>A ';' separates statements only outside single-quoted strings ('' inside
 * one is a quote, not its end), double-quoted identifiers, "--" line comments
 * and block comments. Statements are handed on exactly as written, comments
 * included, minus the white space around them.
 */
final class SqlScript {

    /** First keywords of statements that return rows. */
    private static final Set<String> QUERY_KEYWORDS =
            new HashSet<>(Arrays.asList("SELECT", "WITH", "VALUES", "PRAGMA", "SHOW", "EXPLAIN", "TABLE"));

    private SqlScript() {
    }

    /**
     * The statements of a script, in order. A statement holding nothing but
     * white space and comments is left out; a missing ';' after the last
     * statement, or an unterminated string or comment, ends it at the end of
     * the text.
     */
    static List<String> split(String script) {
        List<String> statements = new ArrayList<>();
        Scanner scanner = new Scanner(script);
        int start = 0;
        boolean hasCode = false;
        while (scanner.position < script.length()) {
            char c = script.charAt(scanner.position);
            if (c == ';') {
                addIfCode(statements, script.substring(start, scanner.position), hasCode);
                scanner.position++;
                start = scanner.position;
                hasCode = false;
            } else if (scanner.skipComment()) {
                continue;
            } else {
                hasCode |= !Character.isWhitespace(c);
                scanner.skipToken();
            }
        }
        addIfCode(statements, script.substring(start), hasCode);
        return statements;
    }

    /** True when the statement's first keyword is one of a query (SELECT, WITH, VALUES, ...). */
    static boolean isQuery(String statement) {
        return QUERY_KEYWORDS.contains(firstKeyword(statement));
    }

    /**
     * The first word of a statement in upper case, after white space, comments
     * and opening parentheses ("(SELECT 1)" gives SELECT); "" when it does not
     * start with a letter.
     */
    static String firstKeyword(String statement) {
        Scanner scanner = new Scanner(statement);
        while (scanner.position < statement.length()) {
            char c = statement.charAt(scanner.position);
            if (Character.isWhitespace(c) || c == '(') {
                scanner.position++;
            } else if (!scanner.skipComment()) {
                break;
            }
        }
        int start = scanner.position;
        int end = start;
        while (end < statement.length() && Character.isLetter(statement.charAt(end))) {
            end++;
        }
        return statement.substring(start, end).toUpperCase(Locale.ROOT);
    }

    private static void addIfCode(List<String> statements, String statement, boolean hasCode) {
        if (hasCode) {
            statements.add(Blanks.strip(statement));
        }
    }

    /** A position in SQL text that moves over comments and quoted tokens as units. */
    private static final class Scanner {
        private final String text;
        int position;

        Scanner(String text) {
            this.text = text;
        }

        /** Moves past a comment starting here; false (not moved) when none starts here. */
        boolean skipComment() {
            if (text.startsWith("--", position)) {
                int end = text.indexOf('\n', position);
                position = end < 0 ? text.length() : end + 1;
                return true;
            }
            if (text.startsWith("/*", position)) {
                int end = text.indexOf("*/", position + 2);
                position = end < 0 ? text.length() : end + 2;
                return true;
            }
            return false;
        }

        /**
         * Moves past one character, or past a whole quoted string or identifier
         * starting here. A doubled quote inside one ('it''s') reads as two
         * quoted parts in a row, which ends in the same place.
         */
        void skipToken() {
            char c = text.charAt(position);
            if (c == '\'' || c == '"') {
                int end = text.indexOf(c, position + 1);
                position = end < 0 ? text.length() : end + 1;
            } else {
                position++;
            }
        }
    }
}

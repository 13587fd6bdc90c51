package jov.jdbc.odbc.driver.statement;

import java.util.Arrays;
import java.util.List;
import java.util.Locale;

/**
 * Recognises an INSERT that adds at most one row each time it runs:
 *
 * <pre>
 * INSERT [modifiers] [INTO] name[.name...] [(columns)] VALUES (values) [;]
 * </pre>
 *
 * with nothing else at the top level: no second row of values, no SELECT,
 * no ON DUPLICATE KEY UPDATE or ON CONFLICT (which may count a row twice),
 * no RETURNING. Modifiers are MySQL's (IGNORE, LOW_PRIORITY, DELAYED,
 * HIGH_PRIORITY) and SQLite's (OR REPLACE, OR IGNORE, ...). Such a row
 * counts 0 or 1, so a total of n over n executions is 1 for each: what lets
 * a batch go as a parameter array to an ODBC driver that counts only the
 * array's total. Anything it does not recognise is answered false, which
 * only costs speed.
 */
final class SingleRowInsert {

    private static final List<String> MODIFIERS = Arrays.asList("IGNORE", "LOW_PRIORITY", "DELAYED",
            "HIGH_PRIORITY", "OR", "REPLACE", "ABORT", "FAIL", "ROLLBACK");

    private final String sql;
    private final SqlLexer.Quoting quoting;
    private int at;

    private SingleRowInsert(String sql, SqlLexer.Quoting quoting) {
        this.sql = sql;
        this.quoting = quoting;
    }

    /** Whether sql, which starts with INSERT, has the shape above. */
    static boolean matches(String sql, SqlLexer.Quoting quoting) {
        return new SingleRowInsert(sql, quoting).matches();
    }

    private boolean matches() {
        if (!"INSERT".equals(word())) {
            return false;
        }
        String next = word();
        while (next != null && MODIFIERS.contains(next)) {
            next = word();
        }
        // The word read last is INTO, or the name's first part (null: a quoted name comes).
        if (!name("INTO".equals(next) ? null : next)) {
            return false;
        }
        if (peek() == '(') {
            group();
        }
        String values = word();
        if (!"VALUES".equals(values) && !"VALUE".equals(values) || peek() != '(') {
            return false;
        }
        group();
        while (peek() == ';') {
            at++;
        }
        return peek() == '\0';
    }

    /** A name, dotted parts included; first is its first part when already read as a word, else null. */
    private boolean name(String first) {
        if (first == null && word() == null && !quotedName()) {
            return false;
        }
        while (peek() == '.') {
            at++;
            if (word() == null && !quotedName()) {
                return false;
            }
        }
        return true;
    }

    /** Skips blanks and comments; the next character, '\0' at the end. */
    private char peek() {
        while (at < sql.length()) {
            if (Character.isWhitespace(sql.charAt(at))) {
                at++;
            } else if (quoting.isComment(sql, at)) {
                at = quoting.skip(sql, at);
            } else {
                return sql.charAt(at);
            }
        }
        return '\0';
    }

    /** The next word, upper-cased, or null (nothing consumed) when a word does not come next. */
    private String word() {
        if (!SqlLexer.isIdentifierStart(peek())) {
            return null;
        }
        int start = at;
        while (at < sql.length() && SqlLexer.isIdentifierPart(sql.charAt(at))) {
            at++;
        }
        return sql.substring(start, at).toUpperCase(Locale.ROOT);
    }

    /** Steps over a quoted name next; false (nothing consumed) when none comes. */
    private boolean quotedName() {
        if (peek() == '\0') {
            return false;
        }
        int after = quoting.skip(sql, at);
        if (after == at) {
            return false;
        }
        at = after;
        return true;
    }

    /** From the '(' next, past its matching ')' (or to the end). */
    private void group() {
        int depth = 0;
        while (at < sql.length()) {
            int after = quoting.skip(sql, at);
            if (after != at) {
                at = after;
                continue;
            }
            char c = sql.charAt(at++);
            if (c == '(') {
                depth++;
            } else if (c == ')' && --depth == 0) {
                return;
            }
        }
    }
}

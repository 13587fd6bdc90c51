package jov.jdbc.odbc.driver.statement;

import java.util.ArrayList;
import java.util.List;
import java.util.Locale;

/**
 * Finds the {@code ?} parameter markers of an SQL text in one left-to-right
 * pass, each character looked at a bounded number of times.
 *
 * <p>A {@code ?} is a marker except inside:
 * <ul>
 * <li>'...' strings, where '' is a quote; a backslash escapes the next
 * character where the dialect says so ({@link SqlDialect#backslashEscapes});
 * <li>"..." names (MySQL: "..." strings, with its backslash rule), `...` names
 * on MySQL and SQLite, [...] names on SQLite;
 * <li>-- comments to the end of the line (MySQL also #), and block comments,
 * which nest on PostgreSQL only;
 * <li>PostgreSQL E'...' strings, where a backslash always escapes, and
 * dollar-quoted bodies $$...$$ and $tag$...$tag$ (a $ inside or right after
 * an identifier belongs to the identifier, and $1 is no tag).
 * </ul>
 *
 * <p>PostgreSQL's JSON operators {@code ?}, {@code ?|} and {@code ?&} cannot
 * all be told from markers. The rules, after pgjdbc's: {@code ??} stands for
 * one literal {@code ?} (the key-exists operator); {@code ?|} and {@code ?&}
 * are operators unless the next character repeats the second one, since
 * {@code ?||} and {@code ?&&} are a marker before the concatenation and the
 * overlap operators. No such operator can reach the server: an ODBC driver
 * takes every {@code ?} outside quotes and comments for a marker of its own
 * (psqlODBC has no escape for it), so the first one is reported
 * ({@link ParsedSql#questionOperatorAt}) for the statement to be refused
 * with a pointer to the operators' functions.
 *
 * <p>Elsewhere every {@code ?} outside quotes is a marker; the
 * numbered and named forms of SQLite ({@code ?1}, {@code :name}) are not
 * supported.
 *
 * <p>An unterminated string, name or comment runs to the end of the text: its
 * markers are not counted and the database reports the syntax error.
 */
final class SqlLexer {

    private SqlLexer() {
    }

    /** Cuts {@code sql} at its markers, as {@code dialect} quotes and comments. */
    static ParsedSql parse(String sql, SqlDialect dialect) {
        SqlDialect.Database db = dialect.database();
        boolean pg = db == SqlDialect.Database.POSTGRESQL;
        boolean mysql = db == SqlDialect.Database.MYSQL;
        // Only text with a backslash needs the mode, which may cost the database a query.
        boolean backslash = sql.indexOf('\\') >= 0 && dialect.backslashEscapes();
        List<String> pieces = new ArrayList<>();
        StringBuilder piece = new StringBuilder(sql.length());
        int n = sql.length();
        int copied = 0;
        int questionOperatorAt = -1;
        int i = 0;
        Quoting quoting = new Quoting(db, backslash);
        while (i < n) {
            int after = quoting.skip(sql, i);
            if (after != i) {
                i = after;
                continue;
            }
            char c = sql.charAt(i);
            char next = i + 1 < n ? sql.charAt(i + 1) : '\0';
            if (c == '?' && pg && next == '?') {
                questionOperatorAt = questionOperatorAt < 0 ? i : questionOperatorAt;
                piece.append(sql, copied, i + 1);
                copied = i + 2;
                i += 2;
            } else if (c == '?' && pg && (next == '|' || next == '&') && !(i + 2 < n && sql.charAt(i + 2) == next)) {
                questionOperatorAt = questionOperatorAt < 0 ? i : questionOperatorAt;
                i += 2;
            } else if (c == '?') {
                piece.append(sql, copied, i);
                pieces.add(piece.toString());
                piece.setLength(0);
                copied = i + 1;
                i++;
            } else {
                i++;
            }
        }
        piece.append(sql, copied, n);
        pieces.add(piece.toString());
        String first = firstKeyword(sql, pg, mysql);
        return new ParsedSql(pieces, first, questionOperatorAt,
                "INSERT".equals(first) && SingleRowInsert.matches(sql, quoting));
    }

    /**
     * The dialect's strings, quoted names and comments: what a scan of SQL
     * text steps over whole, since nothing inside them is SQL.
     */
    static final class Quoting {
        private final boolean pg;
        private final boolean mysql;
        private final boolean sqlite;
        private final boolean backslash;

        Quoting(SqlDialect.Database db, boolean backslash) {
            this.pg = db == SqlDialect.Database.POSTGRESQL;
            this.mysql = db == SqlDialect.Database.MYSQL;
            this.sqlite = db == SqlDialect.Database.SQLITE;
            this.backslash = backslash;
        }

        /** The index after the string, name or comment that starts at i, or i when none does. */
        int skip(String sql, int i) {
            int n = sql.length();
            char c = sql.charAt(i);
            char next = i + 1 < n ? sql.charAt(i + 1) : '\0';
            if (c == '\'') {
                return skipQuoted(sql, i, '\'', backslash);
            } else if (c == '"') {
                return skipQuoted(sql, i, '"', mysql && backslash);
            } else if (c == '`' && (mysql || sqlite)) {
                return skipQuoted(sql, i, '`', false);
            } else if (c == '[' && sqlite) {
                int close = sql.indexOf(']', i + 1);
                return close < 0 ? n : close + 1;
            } else if ((c == '-' && next == '-') || (c == '#' && mysql)) {
                int end = sql.indexOf('\n', i);
                return end < 0 ? n : end + 1;
            } else if (c == '/' && next == '*') {
                return skipBlockComment(sql, i, pg);
            } else if (pg && (c == 'E' || c == 'e') && next == '\'' && !followsIdentifier(sql, i)) {
                return skipQuoted(sql, i + 1, '\'', true);
            } else if (pg && c == '$' && !followsIdentifier(sql, i)) {
                return skipDollarQuoted(sql, i);
            }
            return i;
        }

        /** Whether the element at i, which {@link #skip} steps over, is a comment. */
        boolean isComment(String sql, int i) {
            char c = sql.charAt(i);
            char next = i + 1 < sql.length() ? sql.charAt(i + 1) : '\0';
            return (c == '-' && next == '-') || (c == '#' && mysql) || (c == '/' && next == '*');
        }
    }

    /**
     * From the opening {@code quote} at {@code open}, the index after its
     * closing one (a doubled quote stays inside), or the end of the text.
     */
    private static int skipQuoted(String sql, int open, char quote, boolean backslash) {
        int n = sql.length();
        int i = open + 1;
        while (i < n) {
            char c = sql.charAt(i);
            if (backslash && c == '\\') {
                i += 2;
            } else if (c == quote) {
                if (i + 1 < n && sql.charAt(i + 1) == quote) {
                    i += 2;
                } else {
                    return i + 1;
                }
            } else {
                i++;
            }
        }
        return n;
    }

    /** From the "/*" at {@code open}, the index after the comment's end. */
    private static int skipBlockComment(String sql, int open, boolean nests) {
        int n = sql.length();
        int depth = 1;
        int i = open + 2;
        while (i < n) {
            char c = sql.charAt(i);
            char next = i + 1 < n ? sql.charAt(i + 1) : '\0';
            if (c == '*' && next == '/') {
                i += 2;
                if (--depth == 0) {
                    return i;
                }
            } else if (nests && c == '/' && next == '*') {
                depth++;
                i += 2;
            } else {
                i++;
            }
        }
        return n;
    }

    /**
     * From a '$' at {@code open}: past the closing tag when a dollar quote
     * opens here, else just past the '$' (a $1 parameter, an operator).
     */
    private static int skipDollarQuoted(String sql, int open) {
        int n = sql.length();
        int i = open + 1;
        if (i < n && isIdentifierStart(sql.charAt(i))) {
            while (i < n && isIdentifierPart(sql.charAt(i)) && sql.charAt(i) != '$') {
                i++;
            }
        }
        if (i >= n || sql.charAt(i) != '$') {
            return open + 1;
        }
        String tag = sql.substring(open, i + 1);
        int close = sql.indexOf(tag, i + 1);
        return close < 0 ? n : close + tag.length();
    }

    /** Whether the character before {@code at} continues an identifier, so {@code at} does too. */
    static boolean followsIdentifier(String sql, int at) {
        return at > 0 && isIdentifierPart(sql.charAt(at - 1));
    }

    static boolean isIdentifierStart(char c) {
        return Character.isLetter(c) || c == '_';
    }

    static boolean isIdentifierPart(char c) {
        return Character.isLetterOrDigit(c) || c == '_' || c == '$';
    }

    private static String firstKeyword(String sql, boolean pg, boolean mysql) {
        int n = sql.length();
        int i = 0;
        while (i < n) {
            char c = sql.charAt(i);
            char next = i + 1 < n ? sql.charAt(i + 1) : '\0';
            if (Character.isWhitespace(c) || c == '(') {
                i++;
            } else if ((c == '-' && next == '-') || (c == '#' && mysql)) {
                int end = sql.indexOf('\n', i);
                i = end < 0 ? n : end + 1;
            } else if (c == '/' && next == '*') {
                i = skipBlockComment(sql, i, pg);
            } else {
                break;
            }
        }
        int start = i;
        while (i < n && Character.isLetter(sql.charAt(i))) {
            i++;
        }
        return sql.substring(start, i).toUpperCase(Locale.ROOT);
    }
}

package jov.jdbc.odbc.driver.statement;

import static jov.jdbc.odbc.driver.statement.Dialects.MYSQL;
import static jov.jdbc.odbc.driver.statement.Dialects.OTHER;
import static jov.jdbc.odbc.driver.statement.Dialects.PG;
import static jov.jdbc.odbc.driver.statement.Dialects.PG_ESCAPES;
import static jov.jdbc.odbc.driver.statement.Dialects.SQLITE;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.params.provider.Arguments.arguments;

import java.util.List;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Markers found only outside each quoting form; the first keyword; INSERTs of one row. */
class SqlLexerTest {

    /** Dialect, SQL, the SQL with marker i bound to "<i>". */
    static List<Arguments> texts() {
        return List.of(
                Arguments.of(OTHER, "SELECT ?, ? FROM t WHERE a = ?", "SELECT <1>, <2> FROM t WHERE a = <3>"),
                Arguments.of(OTHER, "SELECT '?', 'it''s ?', ?", "SELECT '?', 'it''s ?', <1>"),
                Arguments.of(OTHER, "SELECT \"a?\"\"b\", ?", "SELECT \"a?\"\"b\", <1>"),
                Arguments.of(OTHER, "SELECT 1 -- ?\n, ?", "SELECT 1 -- ?\n, <1>"),
                Arguments.of(OTHER, "/* ? /* ? */ ?", "/* ? /* ? */ <1>"),
                Arguments.of(PG, "/* ? /* ? */ ? */ ?", "/* ? /* ? */ ? */ <1>"),
                Arguments.of(OTHER, "x ?? ?|", "x <1><2> <3>|"),
                Arguments.of(OTHER, "SELECT ?, 'open ?", "SELECT <1>, 'open ?"),
                // A backslash escapes only where the dialect says so.
                Arguments.of(PG, "SELECT 'a\\', ?", "SELECT 'a\\', <1>"),
                Arguments.of(PG_ESCAPES, "SELECT 'a\\', ?", "SELECT 'a\\', ?"),
                Arguments.of(PG, "SELECT E'\\'?', e'?', ?", "SELECT E'\\'?', e'?', <1>"),
                Arguments.of(OTHER, "SELECT E'\\'?', ?", "SELECT E'\\'<1>', ?"),
                Arguments.of(PG, "SELECT $$ ? $$, $tag$ ?$$ ? $tag$, ?", "SELECT $$ ? $$, $tag$ ?$$ ? $tag$, <1>"),
                Arguments.of(PG, "SELECT a$b, $1, ?, $$ ?", "SELECT a$b, $1, <1>, $$ ?"),
                Arguments.of(PG, "SELECT j ?? 'k', j ?| a, j ?& b, ? || 'x', ?||'y', ?&&c",
                        "SELECT j ? 'k', j ?| a, j ?& b, <1> || 'x', <2>||'y', <3>&&c"),
                Arguments.of(MYSQL, "SELECT \"a\\\"?\", `?`, ? # ?\n", "SELECT \"a\\\"?\", `?`, <1> # ?\n"),
                Arguments.of(SQLITE, "SELECT [a?], `b?`, ?", "SELECT [a?], `b?`, <1>"));
    }

    /** The SQL goes to the ODBC driver as written; the count refuses an index out of range at once. */
    @ParameterizedTest
    @MethodSource("texts")
    void countsMarkersOutsideQuotesAndComments(SqlDialect dialect, String sql, String bound) {
        assertEquals(bound.split("<", -1).length - 1, SqlLexer.parse(sql, dialect).parameterCount());
    }

    static List<Arguments> keywords() {
        return List.of(
                Arguments.of(OTHER, " /* c */ -- x\n ( (select 1))", "SELECT"),
                Arguments.of(PG, "/* /* */ */ update t", "UPDATE"),
                Arguments.of(OTHER, "With x AS (SELECT 1) SELECT * FROM x", "WITH"),
                Arguments.of(OTHER, "{call p(?)}", ""),
                Arguments.of(OTHER, "  -- only a comment", ""));
    }

    @ParameterizedTest
    @MethodSource("keywords")
    void firstKeywordSkipsCommentsAndParentheses(SqlDialect dialect, String sql, String keyword) {
        assertEquals(keyword, SqlLexer.parse(sql, dialect).firstKeyword());
    }

    /** Dialect, SQL, whether each execution inserts at most one row (a batch may then count by total). */
    static List<Arguments> inserts() {
        return List.of(
                arguments(OTHER, "INSERT INTO t VALUES (?, ?)", true),
                arguments(MYSQL, " /* c */ insert ignore into `s`.`t` (a, `b)`) value (?, (SELECT 1), ')');", true),
                arguments(SQLITE, "INSERT OR REPLACE INTO [t] VALUES (?) -- ;", true),
                arguments(OTHER, "INSERT INTO t VALUES (?), (?)", false),
                arguments(MYSQL, "INSERT INTO t VALUES (?) ON DUPLICATE KEY UPDATE a = 1", false),
                arguments(PG, "INSERT INTO t VALUES (?) RETURNING id", false),
                arguments(PG, "INSERT INTO t SELECT a UNION VALUES (?)", false),
                arguments(OTHER, "INSERT INTO t SELECT ? FROM u", false),
                arguments(OTHER, "INSERT INTO t DEFAULT VALUES", false),
                arguments(OTHER, "INSERT INTO t VALUES (?); DELETE FROM t", false),
                arguments(OTHER, "REPLACE INTO t VALUES (?)", false));
    }

    @ParameterizedTest
    @MethodSource("inserts")
    void recognisesInsertsOfOneRow(SqlDialect dialect, String sql, boolean oneRow) {
        assertEquals(oneRow, SqlLexer.parse(sql, dialect).insertsOneRow(), sql);
    }
}

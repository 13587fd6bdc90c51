package jov.jdbc.odbc.tool;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Splitting scripts at ';' and telling queries from other statements. */
class SqlScriptTest {

    static List<Arguments> scripts() {
        return List.of(
                Arguments.of("SELECT 1", List.of("SELECT 1")),
                Arguments.of("SELECT 1;SELECT 2;", List.of("SELECT 1", "SELECT 2")),
                Arguments.of("  SELECT 1 ;\n\n SELECT 2\n", List.of("SELECT 1", "SELECT 2")),
                Arguments.of(";; ;\n;", List.of()),
                Arguments.of("", List.of()),
                Arguments.of("INSERT INTO t VALUES ('a;b');SELECT 1",
                        List.of("INSERT INTO t VALUES ('a;b')", "SELECT 1")),
                Arguments.of("SELECT 'it''s; fine'; SELECT 2",
                        List.of("SELECT 'it''s; fine'", "SELECT 2")),
                Arguments.of("SELECT \"a;b\" FROM t; SELECT 2", List.of("SELECT \"a;b\" FROM t", "SELECT 2")),
                Arguments.of("SELECT 1 -- one; two\n; SELECT 2", List.of("SELECT 1 -- one; two", "SELECT 2")),
                Arguments.of("SELECT /* a; b */ 1; SELECT 2", List.of("SELECT /* a; b */ 1", "SELECT 2")),
                Arguments.of("-- only a comment;\n; /* and; another */ ;SELECT 3", List.of("SELECT 3")),
                Arguments.of("SELECT '山田;太郎'；SELECT 2", List.of("SELECT '山田;太郎'；SELECT 2")),
                Arguments.of("\u3000SELECT 1\u3000; SELECT 2\u3000", List.of("SELECT 1", "SELECT 2")),
                Arguments.of("SELECT 'unterminated; still one", List.of("SELECT 'unterminated; still one")),
                Arguments.of("SELECT 1 /* unterminated; comment", List.of("SELECT 1 /* unterminated; comment")));
    }

    @ParameterizedTest
    @MethodSource("scripts")
    void splitsAtSemicolonsOutsideQuotesAndComments(String script, List<String> statements) {
        assertEquals(statements, SqlScript.split(script));
    }

    static List<Arguments> keywords() {
        return List.of(
                Arguments.of("SELECT 1", "SELECT", true),
                Arguments.of("  select\n1", "SELECT", true),
                Arguments.of("(SELECT 1) UNION (SELECT 2)", "SELECT", true),
                Arguments.of("-- heading\n/* note */ WITH x AS (SELECT 1) SELECT * FROM x", "WITH", true),
                Arguments.of("VALUES (1)", "VALUES", true),
                Arguments.of("pragma table_info(t)", "PRAGMA", true),
                Arguments.of("SHOW client_encoding", "SHOW", true),
                Arguments.of("EXPLAIN SELECT 1", "EXPLAIN", true),
                Arguments.of("TABLE t", "TABLE", true),
                Arguments.of("INSERT INTO t VALUES (1)", "INSERT", false),
                Arguments.of("UPDATE t SET a = 1", "UPDATE", false),
                Arguments.of("CREATE TABLE selected (a int)", "CREATE", false),
                Arguments.of("SELECTED", "SELECTED", false),
                Arguments.of("", "", false),
                Arguments.of("1 + 1", "", false));
    }

    @ParameterizedTest
    @MethodSource("keywords")
    void firstKeywordDecidesWhetherItIsAQuery(String statement, String keyword, boolean query) {
        assertEquals(keyword, SqlScript.firstKeyword(statement));
        assertEquals(query, SqlScript.isQuery(statement));
    }
}

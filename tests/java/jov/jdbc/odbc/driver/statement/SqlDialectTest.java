package jov.jdbc.odbc.driver.statement;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/**
 * The ODBC driver's SQL_DBMS_NAME picks the database without a query; the
 * string mode is asked once, only when SQL text with a backslash is parsed,
 * and only of the database it concerns.
 */
class SqlDialectTest {

    @ParameterizedTest
    @CsvSource({
        "PostgreSQL, SHOW standard_conforming_strings, off, POSTGRESQL, true",
        "PostgreSQL, SHOW standard_conforming_strings, on, POSTGRESQL, false",
        "MariaDB, SELECT @@SESSION.sql_mode, STRICT_TRANS_TABLES, MYSQL, true",
        "MySQL, SELECT @@SESSION.sql_mode, 'ANSI_QUOTES,NO_BACKSLASH_ESCAPES', MYSQL, false",
        "SQLite, -, -, SQLITE, false",
        "Db2, -, -, OTHER, false",
        "'', -, -, OTHER, false"})
    void learnsTheDatabaseByNameAndItsStringModeOnlyWhenABackslashNeedsIt(String dbmsName, String query,
            String answer, String database, boolean escapes) {
        List<String> asked = new ArrayList<>();
        SqlDialect d = SqlDialect.detect(dbmsName, sql -> {
            asked.add(sql);
            return Map.of(query, answer).get(sql);
        });
        assertEquals(database, d.database().toString());
        SqlLexer.parse("SELECT ? FROM t WHERE a = 'x'", d);
        assertEquals(List.of(), asked, "no query at connect, none for text without a backslash");
        SqlLexer.parse("SELECT 'a\\', ?", d);
        SqlLexer.parse("SELECT 'b\\', ?", d);
        assertEquals(escapes, d.backslashEscapes());
        assertEquals(query.equals("-") ? List.of() : List.of(query), asked);
    }
}

package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** What detect() learns from the answers of each database; a query any other database refuses answers null. */
class SqlDialectTest {

    static List<Arguments> answers() {
        return List.of(
                Arguments.of(Map.of("SELECT version()", "PostgreSQL 15.4 (Debian 15.4-1) on x86_64-pc-linux-gnu",
                        "SHOW standard_conforming_strings", "on"), "POSTGRESQL PostgreSQL 15.4 15 4 false"),
                Arguments.of(Map.of("SELECT version()", "PostgreSQL 9.1.2 on x86_64",
                        "SHOW standard_conforming_strings", "off"), "POSTGRESQL PostgreSQL 9.1.2 9 1 true"),
                Arguments.of(Map.of("SELECT sqlite_version()", "3.40.1"), "SQLITE SQLite 3.40.1 3 40 false"),
                Arguments.of(Map.of("SELECT version()", "10.11.6-MariaDB-0+deb12u1", "SELECT @@SESSION.sql_mode",
                        "STRICT_TRANS_TABLES"), "MYSQL MariaDB 10.11.6-MariaDB-0+deb12u1 10 11 true"),
                Arguments.of(Map.of("SELECT version()", "8.0.36", "SELECT @@SESSION.sql_mode",
                        "ANSI_QUOTES,NO_BACKSLASH_ESCAPES"), "MYSQL MySQL 8.0.36 8 0 false"),
                Arguments.of(Map.of(), "OTHER   0 0 false"));
    }

    @ParameterizedTest
    @MethodSource("answers")
    void learnsTheDatabaseInAFewProbes(Map<String, String> answers, String learned) {
        List<String> asked = new ArrayList<>();
        SqlDialect d = SqlDialect.detect(sql -> {
            asked.add(sql);
            return answers.get(sql);
        });
        assertEquals(learned, d.database() + " " + d.productName() + " " + d.productVersion() + " "
                + d.majorVersion() + " " + d.minorVersion() + " " + d.backslashEscapes());
        assertTrue(asked.size() <= 3, asked.toString());
        assertEquals("SELECT version()", asked.get(0), "the first probe must not abort a PostgreSQL transaction");
    }

    /** The driver's SQL_DBMS_NAME picks the database: only its own queries run, none that fails elsewhere. */
    @ParameterizedTest
    @MethodSource("answers")
    void theDriversNameSkipsProbesOfOtherDatabases(Map<String, String> answers, String learned) {
        String database = learned.split(" ")[0];
        String name = Map.of("POSTGRESQL", "PostgreSQL", "SQLITE", "SQLite", "MYSQL", "MariaDB", "OTHER", "Db2")
                .get(database);
        List<String> asked = new ArrayList<>();
        SqlDialect d = SqlDialect.detect(name, sql -> {
            asked.add(sql);
            return answers.get(sql);
        });
        assertEquals(database, d.database().toString());
        assertTrue(asked.stream().allMatch(answers::containsKey), asked.toString());
    }
}

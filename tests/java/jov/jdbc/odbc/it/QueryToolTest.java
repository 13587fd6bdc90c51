package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.util.ArrayList;
import java.util.List;
import jov.jdbc.odbc.tool.QueryTool;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The query tool as a user runs it, in-process: arguments and standard input
 * in, standard output, standard error and the exit status out. Each data
 * source gets a small known table made through the natives; the bundled
 * sample data source is read as the tool fills it.
 */
class QueryToolTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    /** What one run of the tool printed and answered. */
    private record Run(int status, String out, String err) {
    }

    private static Run run(String stdin, String... args) {
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        ByteArrayOutputStream err = new ByteArrayOutputStream();
        int status = QueryTool.run(args, new ByteArrayInputStream(stdin.getBytes(StandardCharsets.UTF_8)),
                new PrintStream(out, true, StandardCharsets.UTF_8),
                new PrintStream(err, true, StandardCharsets.UTF_8));
        return new Run(status, out.toString(StandardCharsets.UTF_8), err.toString(StandardCharsets.UTF_8));
    }

    /** Runs the tool on the rig's data source with the given further arguments. */
    private static Run runOn(Rig rig, String stdin, String... args) {
        List<String> all = new ArrayList<>(List.of("-d", rig.dataSource, "-u", rig.user, "-p", rig.password));
        all.addAll(List.of(args));
        return run(stdin, all.toArray(new String[0]));
    }

    private static String lines(String... lines) {
        return String.join("\n", lines) + "\n";
    }

    /** A table with wide, half-width, empty and NULL text; returns its name. */
    private static String peopleTable(Db db) {
        String table = db.createTable("id integer, name varchar(20), city varchar(20)");
        db.exec("INSERT INTO " + table + " VALUES (1, '山田太郎', '東京')");
        db.exec("INSERT INTO " + table + " VALUES (2, 'Smith', '')");
        db.exec("INSERT INTO " + table + " VALUES (3, 'ｽｽﾞｷ', NULL)");
        return table;
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void tableIsAlignedByDisplayWidth(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = peopleTable(db);
            Run run = runOn(rig, "", "SELECT id, name, city FROM " + table + " ORDER BY id");
            assertEquals(new Run(0, lines(
                    "id | name     | city",
                    "---+----------+-----",
                    " 1 | 山田太郎 | 東京",
                    " 2 | Smith    |",
                    " 3 | ｽｽﾞｷ     | NULL",
                    "(3 rows)"), ""), run);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void csvKeepsNullApartFromEmptyText(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = peopleTable(db);
            db.exec("INSERT INTO " + table + " VALUES (4, 'a,\"b\"', 'x')");
            Run run = runOn(rig, "", "--csv", "SELECT id, name, city FROM " + table + " ORDER BY id");
            assertEquals(new Run(0, lines(
                    "id,name,city",
                    "1,山田太郎,東京",
                    "2,Smith,\"\"",
                    "3,ｽｽﾞｷ,",
                    "4,\"a,\"\"b\"\"\",x"), ""), run);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void statementsFromStandardInput(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = peopleTable(db);
            String script = "INSERT INTO " + table + " VALUES (5, '大阪;京都', 'a''b');\n"
                    + "  ;\n"
                    + "UPDATE " + table + " SET city = 'none' WHERE id = 99;\n"
                    + "-- the new row\n"
                    + "SELECT name, city FROM " + table + " WHERE id = 5";
            // sqliteodbc and psqlODBC answer SQL_NO_DATA for an UPDATE that
            // matches no row, MariaDB's driver success.
            assertEquals(new Run(0, lines(
                    "OK (1)",
                    rig.noRowMatchedAnswer() == 1 ? "OK (1)" : "no data (0)",
                    "name      | city",
                    "----------+-----",
                    "大阪;京都 | a'b",
                    "(1 row)"), ""), runOn(rig, script));

            // With --csv standard output stays CSV; the answers go to standard error.
            Run csv = runOn(rig, "DELETE FROM " + table + " WHERE id = 5; SELECT count(*) AS n FROM " + table,
                    "--csv");
            assertEquals(new Run(0, lines("n", "3"), lines("OK (1)")), csv);
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void sqlErrorGivesStatusOneAndTheRecord(Rig rig) {
        String expected = rig == Rig.SQLITE
                ? "error [HY000] [SQLite]no such table: jov_no_such_table (1)\n"
                : rig == Rig.POSTGRES
                ? "error [42P01] ERROR: relation \"jov_no_such_table\" does not exist;\n"
                : "error [42S02] Table 'jov_no_such_table' doesn't exist\n";
        Run stopped = runOn(rig, "", "SELECT 1 AS a; SELECT * FROM jov_no_such_table; SELECT 2 AS b");
        assertEquals(1, stopped.status);
        assertEquals(lines("a", "-", "1", "(1 row)"), stopped.out, "stops at the first error");
        // MariaDB's driver tags its messages with its own and the server's
        // version, and the server names the table with its database.
        String err = stopped.err.replaceFirst("^(error \\[42S02\\] )\\[ma-[^]]*\\]\\[[^]]*\\](Table ')[^.']*\\.", "$1$2");
        assertTrue(err.startsWith(expected), stopped.err);
        assertTrue(stopped.err.endsWith("\n  statement: SELECT * FROM jov_no_such_table\n"), stopped.err);

        Run kept = runOn(rig, "", "--continue", "SELECT * FROM jov_no_such_table; SELECT 2 AS b");
        assertEquals(1, kept.status, "a failure still fails the run");
        assertEquals(lines("b", "-", "2", "(1 row)"), kept.out);
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void dataSourceTextAndDateStyle(Rig rig) {
        try (Db db = Db.open(rig)) {
            String table = db.createTable("ts timestamp");
            db.exec("INSERT INTO " + table + " VALUES ('2004-04-30 21:50:08')");
            String select = "SELECT ts FROM " + table;
            Run styled = run("", "-d", "A:B:" + rig.dataSource, "-u", rig.user, "-p", rig.password,
                    "--csv", "--date-style", "10", select);
            assertEquals(new Run(0, lines("ts", "30/04/2004 21:50:08"), ""), styled);
            assertEquals(new Run(0, lines("ts", "04/04/30 21:50:08"), ""), runOn(rig, "", "--csv", select),
                    "the library's default style 21");
        }
    }

    @Test
    void unknownDataSourceFailsToOpen() {
        Run run = run("", "-d", "JovNoSuchSource", "SELECT 1");
        assertEquals(1, run.status);
        assertEquals("", run.out);
        // unixODBC's driver manager: data source not found.
        assertTrue(run.err.startsWith("error [IM002] [unixODBC][Driver Manager]Data source name not found"),
                run.err);
        assertTrue(run.err.endsWith("\n  cannot open data source JovNoSuchSource\n"), run.err);
    }

    @Test
    void bundledSampleIsTheDefault() {
        Run staff = run("", "SELECT id, name, city, salary FROM staff WHERE id IN (1, 3) ORDER BY id");
        // sqliteodbc reports a DECIMAL column as SQL_VARCHAR: left-aligned.
        assertEquals(new Run(0, lines(
                "id | name     | city | salary",
                "---+----------+------+---------",
                " 1 | 山田太郎 | 東京 | 350000.5",
                " 3 | 鈴木一郎 | NULL | NULL",
                "(2 rows)"), ""), staff);

        Run values = run("", "--csv", "--date-style", "0",
                "SELECT kana, photo, hired FROM staff WHERE id IN (1, 4) ORDER BY id;"
                + "SELECT item, discount, note FROM sales WHERE id IN (2, 3, 4) ORDER BY id");
        assertAll(
                () -> assertEquals(0, values.status, values.err),
                () -> assertEquals(lines(
                        "kana,photo,hired",
                        "ﾔﾏﾀﾞ ﾀﾛｳ,89504e47,2001-04-01 00:00:00",
                        "\"\",\"\",2004-04-30 00:00:00",
                        "",
                        "item,discount,note",
                        "マウス,0.0,",
                        "机,0.125,\"\"",
                        "ﾃﾞｨｽﾌﾟﾚｲ,,在庫: 残り1台"), values.out));
    }
}

package jov.jdbc.odbc.clients;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.nio.charset.StandardCharsets;
import java.util.List;
import java.util.regex.Pattern;
import jov.jdbc.odbc.it.Rig;
import org.apache.derby.tools.ij;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Derby's ij shell running a script over the driver, in-process, asserted on
 * what ij prints. ソ, 表 and 能 have 0x5C (a backslash) as their second
 * Windows-31J byte, so a driver that escapes or splits bytes instead of
 * characters shows here as changed text.
 */
class IjTest {
    static {
        // ij ships its messages in Japanese too; the assertions read English.
        System.setProperty("derby.ui.locale", "en_US");
    }

    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void scriptCreatesFillsQueriesAndDescribes(Rig rig) throws Exception {
        try (Scratch db = Scratch.open(rig, null)) {
            String t = db.table;
            String script = String.join("\n",
                    "create table " + t + " (id integer, name varchar(20));",
                    "insert into " + t + " values (1, 'abc');",
                    "select id, name from " + t + ";",
                    "update " + t + " set name = 'x' where id = 99;",
                    "prepare p as 'insert into " + t + " values (?, ?)';",
                    "execute p using 'select 2, ''ソ表能''';",
                    "select name from " + t + " where id = 2;",
                    "show tables;",
                    "describe '" + t + "';");
            ByteArrayOutputStream out = new ByteArrayOutputStream();
            int failures = ij.runScript(db.connection,
                    new ByteArrayInputStream(script.getBytes(StandardCharsets.UTF_8)), "UTF-8", out, "UTF-8");
            String printed = out.toString(StandardCharsets.UTF_8);

            assertEquals(0, failures, printed);
            assertInOrder(printed, List.of(
                    "1 row inserted/updated/deleted",
                    "\\n1 *\\|abc *\\n",
                    "\\n1 row selected",
                    "0 rows inserted/updated/deleted",
                    "1 row inserted/updated/deleted",
                    "\\nソ表能 *\\n",
                    "\\|REMARKS",
                    "\\|" + t + " *\\|",
                    "\\|COLUMN_NAME",
                    "\\|id *\\|",
                    "\\|name *\\|",
                    "\\n2 rows selected"));
            assertEquals("ソ表能", db.value("SELECT name FROM " + t + " WHERE id = 2"));
        }
    }

    /** Each pattern must match after the previous one's match. */
    private static void assertInOrder(String text, List<String> patterns) {
        int from = 0;
        for (String pattern : patterns) {
            var matcher = Pattern.compile(pattern).matcher(text);
            boolean found = matcher.find(from);
            assertTrue(found, () -> "no /" + pattern + "/ in order in:\n" + text);
            from = matcher.end();
        }
    }
}

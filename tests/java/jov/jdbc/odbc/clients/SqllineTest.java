package jov.jdbc.odbc.clients;

import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.ByteArrayOutputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.Properties;
import jov.jdbc.odbc.it.Rig;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;
import sqlline.SqlLine;

/**
 * sqlline (Debian's 1.0.2) connecting by URL and driver class and listing
 * tables and columns from the driver's DatabaseMetaData, in-process, asserted
 * on what it prints as CSV.
 */
class SqllineTest {

    @ParameterizedTest
    @MethodSource(Scratch.RIGS)
    void tablesAndColumnsComeFromTheDriversMetadata(Rig rig, @TempDir Path home) throws Exception {
        try (Scratch db = Scratch.open(rig, "id integer, name varchar(20)")) {
            String out = run(home, "!tables\n!columns " + db.table + "\n!quit\n", "--outputFormat=csv",
                    "-d", Scratch.DRIVER_CLASS, "-u", Scratch.url(rig), "-n", rig.user, "-p", rig.password);

            String t = "'" + db.table + "'";
            assertTrue(out.contains(t + ",'TABLE'"), out);
            // DATA_TYPE is the java.sql.Types number: 4 INTEGER, 12 VARCHAR; MariaDB's ODBC driver calls its
            // text wide, -9 NVARCHAR.
            assertTrue(out.contains(t + ",'id','4',"), out);
            assertTrue(out.contains(t + ",'name','" + (rig == Rig.MARIA ? -9 : 12) + "',"), out);
        }
    }

    /**
     * Runs sqlline on the commands with standard output captured. It prints
     * through System.out, keeps its history under user.home and would exit the
     * JVM at the end; the properties set here prevent that and keep the
     * terminal out of it, and are restored afterwards.
     */
    private static String run(Path home, String commands, String... args) throws Exception {
        Properties saved = (Properties) System.getProperties().clone();
        PrintStream stdout = System.out;
        ByteArrayOutputStream out = new ByteArrayOutputStream();
        try {
            System.setProperty("user.home", home.toString());
            System.setProperty("sqlline.system.exit", "true");
            System.setProperty("jline.terminal", "jline.UnsupportedTerminal");
            System.setOut(new PrintStream(out, true, StandardCharsets.UTF_8));
            SqlLine.mainWithInputRedirection(args,
                    new ByteArrayInputStream(commands.getBytes(StandardCharsets.UTF_8)));
        } finally {
            System.setOut(stdout);
            System.setProperties(saved);
        }
        return out.toString(StandardCharsets.UTF_8);
    }
}

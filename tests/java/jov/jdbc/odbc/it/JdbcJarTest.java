package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.List;
import java.util.concurrent.TimeUnit;
import java.util.jar.JarFile;
import jov.jdbc.odbc.JOVODBCDLL;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The built jar as an application meets it: a JVM of its own with nothing on
 * its class path but the jar and nothing set but the library's location finds
 * the driver through DriverManager and connects. The jar lies beside the
 * library (scripts/build-jar.sh).
 */
class JdbcJarTest {

    /** A program run from its source, so that the jar is all its class path holds. */
    private static final String PROBE = String.join("\n",
            "import java.sql.*;",
            "public class Probe {",
            "    public static void main(String[] args) throws Exception {",
            "        java.util.Properties props = new java.util.Properties();",
            "        props.setProperty(\"user\", args[1]);",
            "        props.setProperty(\"password\", args[2]);",
            "        try (Connection c = DriverManager.getConnection(\"jdbc:jov:odbc:\" + args[0], props);",
            "                Statement s = c.createStatement();",
            "                ResultSet rs = s.executeQuery(\"SELECT 20 + 22, '日本語'\")) {",
            "            rs.next();",
            "            System.out.println(c.getMetaData().getDriverName() + \" \" + rs.getInt(1) + \" \" + rs.getString(2));",
            "        } catch (SQLException e) {",
            "            System.out.println(\"failed \" + e.getSQLState() + \" \" + e.getMessage());",
            "        }",
            "    }",
            "}",
            "");

    private static Path jar() {
        String library = System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        assertTrue(library != null, "the tests run with " + JOVODBCDLL.LIBRARY_PROPERTY + " set");
        return Path.of(library).resolveSibling("jovjdbcodbc.jar");
    }

    @Test
    void theJarNamesItsModuleAndRegistersTheDriver() throws Exception {
        try (JarFile jar = new JarFile(jar().toFile())) {
            assertEquals("jov.jdbc.odbc", jar.getManifest().getMainAttributes().getValue("Automatic-Module-Name"));
            String services = new String(jar.getInputStream(jar.getEntry("META-INF/services/java.sql.Driver"))
                    .readAllBytes(), StandardCharsets.UTF_8);
            assertEquals("jov.jdbc.odbc.driver.JovDriver", services.trim());
            assertEquals(null, jar.getEntry("jov/jdbc/odbc/tool/QueryTool.class"), "no tool in the driver's jar");
        }
    }

    /** Runs the probe with the jar alone on the class path and the one setting given. */
    private static String runProbe(Rig rig, Path folder, String setting) throws Exception {
        Path source = Files.writeString(folder.resolve("Probe.java"), PROBE);
        List<String> command = List.of(Path.of(System.getProperty("java.home"), "bin", "java").toString(),
                setting, "-Dfile.encoding=UTF-8",
                "-cp", jar().toString(), source.toString(), rig.dataSource, rig.user, rig.password);
        Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
        String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertTrue(process.waitFor(120, TimeUnit.SECONDS), "probe finished");
        assertEquals(0, process.exitValue(), output);
        return output.trim();
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void aJvmWithOnlyTheJarConnects(Rig rig, @TempDir Path folder) throws Exception {
        String library = "-D" + JOVODBCDLL.LIBRARY_PROPERTY + "=" + System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        assertEquals("JovJdbcOdbc 42 日本語", runProbe(rig, folder, library));
        String nowhere = runProbe(rig, folder, "-Djava.library.path=" + folder);
        assertTrue(nowhere.startsWith("failed 08001 ") && nowhere.contains(JOVODBCDLL.LIBRARY_PROPERTY), nowhere);
    }
}

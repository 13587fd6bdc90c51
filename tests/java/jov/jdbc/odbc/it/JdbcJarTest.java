package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.DataInputStream;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.FileTime;
import java.security.MessageDigest;
import java.util.ArrayList;
import java.util.Collections;
import java.util.HexFormat;
import java.util.List;
import java.util.Properties;
import java.util.concurrent.TimeUnit;
import java.util.jar.JarEntry;
import java.util.jar.JarFile;
import java.util.stream.Stream;
import jov.jdbc.odbc.JOVODBCDLL;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * The built jar as an application meets it: a JVM of its own with nothing on
 * its class path but the jar finds the driver through DriverManager and
 * connects, with the library named by the property or with the one the jar
 * carries. The jar lies beside the library (scripts/build-jar.sh).
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
            assertEquals("8-25", jar.getManifest().getMainAttributes().getValue("Jov-Java-Versions"));
            String services = new String(jar.getInputStream(jar.getEntry("META-INF/services/java.sql.Driver"))
                    .readAllBytes(), StandardCharsets.UTF_8);
            assertEquals("jov.jdbc.odbc.driver.JovDriver", services.trim());
            assertEquals(null, jar.getEntry("jov/jdbc/odbc/tool/QueryTool.class"), "no tool in the driver's jar");
            Properties index = new Properties();
            index.load(jar.getInputStream(jar.getEntry("jov/jdbc/odbc/native/libraries.properties")));
            byte[] library = jar.getInputStream(jar.getEntry("jov/jdbc/odbc/native/linux-x86_64/libJovJdbcOdbc.so"))
                    .readAllBytes();
            assertEquals(HexFormat.of().formatHex(MessageDigest.getInstance("SHA-256").digest(library)),
                    index.getProperty("linux-x86_64"));
        }
    }

    /** A Java 8 JVM refuses the whole driver over one class file newer than its own (major version 52). */
    @Test
    void everyClassOfTheJarLoadsOnJava8() throws Exception {
        List<String> newer = new ArrayList<>();
        try (JarFile jar = new JarFile(jar().toFile())) {
            for (JarEntry entry : Collections.list(jar.entries())) {
                if (entry.getName().endsWith(".class")) {
                    try (DataInputStream in = new DataInputStream(jar.getInputStream(entry))) {
                        in.skipBytes(Integer.BYTES + Short.BYTES); // magic number, minor version
                        int major = in.readUnsignedShort();
                        if (major != 52) {
                            newer.add(entry.getName() + " " + major);
                        }
                    }
                }
            }
            assertTrue(jar.getEntry("jov/jdbc/odbc/driver/JovDriver.class") != null, "the driver's classes");
        }
        assertEquals(List.of(), newer);
    }

    /** Runs the probe with the jar alone on the class path and the settings given. */
    private static String runProbe(Rig rig, Path folder, String... settings) throws Exception {
        Path source = Files.writeString(folder.resolve("Probe.java"), PROBE);
        List<String> command = new ArrayList<>();
        command.add(Path.of(System.getProperty("java.home"), "bin", "java").toString());
        // As README.md tells users of Java 24 and later: else the JVM warns that JNI is restricted.
        command.add("--enable-native-access=ALL-UNNAMED");
        command.addAll(List.of(settings));
        command.addAll(List.of("-Dfile.encoding=UTF-8", "-cp", jar().toString(), source.toString(),
                rig.dataSource, rig.user, rig.password));
        Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
        String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertTrue(process.waitFor(120, TimeUnit.SECONDS), "probe finished");
        assertEquals(0, process.exitValue(), output);
        return output.trim();
    }

    private static List<String> names(Path folder) throws Exception {
        try (Stream<Path> files = Files.list(folder)) {
            return files.map(p -> p.getFileName().toString()).sorted().toList();
        }
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void aJvmWithOnlyTheJarConnects(Rig rig, @TempDir Path folder) throws Exception {
        String library = "-D" + JOVODBCDLL.LIBRARY_PROPERTY + "=" + System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        assertEquals("JovJdbcOdbc 42 日本語", runProbe(rig, folder, library));
        // No library installed anywhere: the jar's own, extracted into the default temporary folder.
        String noLibraryPath = "-Djava.library.path=" + folder;
        assertEquals("JovJdbcOdbc 42 日本語", runProbe(rig, folder, noLibraryPath));
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void theJarsLibraryIsExtractedOnceAndEarlierVersionsRemoved(Rig rig, @TempDir Path folder) throws Exception {
        Path copies = Files.createDirectories(folder.resolve("jovjdbcodbc-" + System.getProperty("user.name")));
        Files.writeString(copies.resolve("0.9-linux-x86_64-0123456789abcdef-libJovJdbcOdbc.so"), "earlier");
        String[] settings = {"-Djava.library.path=" + folder, "-Djov.jdbc.odbc.tempdir=" + folder};
        assertEquals("JovJdbcOdbc 42 日本語", runProbe(rig, folder, settings));
        List<String> extracted = names(copies);
        assertEquals(1, extracted.size(), extracted.toString());
        assertTrue(extracted.get(0).matches("[0-9.]+-linux-x86_64-[0-9a-f]{16}-libJovJdbcOdbc.so"), extracted.get(0));
        Path copy = copies.resolve(extracted.get(0));
        FileTime made = Files.getLastModifiedTime(copy);
        assertEquals("JovJdbcOdbc 42 日本語", runProbe(rig, folder, settings));
        assertEquals(made, Files.getLastModifiedTime(copy), "the second JVM reuses the copy");
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void anotherPlatformIsToldWhatTheJarCarries(Rig rig, @TempDir Path folder) throws Exception {
        String elsewhere = runProbe(rig, folder, "-Djava.library.path=" + folder, "-Dos.arch=sparcv9");
        assertTrue(elsewhere.startsWith("failed 08001 ") && elsewhere.contains("for linux-x86_64")
                && elsewhere.contains("not for linux-sparcv9") && elsewhere.contains(JOVODBCDLL.LIBRARY_PROPERTY),
                elsewhere);
    }
}

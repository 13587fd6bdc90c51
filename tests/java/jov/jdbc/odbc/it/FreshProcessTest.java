package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.nio.file.Path;
import java.util.ArrayList;
import java.util.List;
import java.util.concurrent.TimeUnit;
import jov.jdbc.odbc.JOVODBCDLL;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/** What a process sees right after loading the library: a table nobody has used. */
class FreshProcessTest {

    private static List<String> runProbe(Rig rig) throws Exception {
        List<String> command = new ArrayList<>();
        command.add(Path.of(System.getProperty("java.home"), "bin", "java").toString());
        // As README.md tells users of Java 24 and later: else the JVM warns that JNI is restricted.
        command.add("--enable-native-access=ALL-UNNAMED");
        String library = System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        if (library != null) {
            command.add("-D" + JOVODBCDLL.LIBRARY_PROPERTY + "=" + library);
        }
        String libraryPath = System.getProperty("java.library.path");
        if (libraryPath != null) {
            command.add("-Djava.library.path=" + libraryPath);
        }
        // The console launcher loads the test classes itself; hand the probe
        // the folder they came from.
        String classes = Path.of(FreshProcessProbe.class.getProtectionDomain().getCodeSource()
                .getLocation().toURI()).toString();
        command.addAll(List.of("-cp", classes,
                FreshProcessProbe.class.getName(), rig.dataSource, rig.user, rig.password));
        Process process = new ProcessBuilder(command).redirectErrorStream(true).start();
        String output = new String(process.getInputStream().readAllBytes(), StandardCharsets.UTF_8);
        assertTrue(process.waitFor(120, TimeUnit.SECONDS), "probe finished");
        assertEquals(0, process.exitValue(), output);
        return List.of(output.split("\\R"));
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void firstIdentifiersAndAnEmptyRecord(Rig rig) throws Exception {
        assertEquals(List.of("code=", "message=", "opens=1,2", "reopen=1"), runProbe(rig));
    }
}

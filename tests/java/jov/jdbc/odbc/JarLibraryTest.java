package jov.jdbc.odbc;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.attribute.PosixFilePermissions;
import java.util.List;
import java.util.stream.Stream;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.io.TempDir;

/** Copies of the jar's library: made once, checked, replaced when changed, earlier versions removed. */
class JarLibraryTest {

    private static final byte[] LIBRARY = "the library's bytes".getBytes(StandardCharsets.US_ASCII);

    private static List<String> names(Path folder) throws IOException {
        try (Stream<Path> files = Files.list(folder)) {
            return files.map(p -> p.getFileName().toString()).sorted().toList();
        }
    }

    @Test
    void oneCopyPerVersionReusedWhileWholeAndEarlierVersionsRemoved(@TempDir Path folder) throws IOException {
        String sha = JarLibrary.sha256Of(Files.write(folder.resolve("source"), LIBRARY));
        Files.delete(folder.resolve("source"));
        String earlier = "0.9-linux-x86_64-0123456789abcdef-libJovJdbcOdbc.so";
        String otherPlatform = "0.9-windows-x86-0123456789abcdef-JovJdbcOdbc.dll";
        Files.write(folder.resolve(earlier), LIBRARY);
        Files.write(folder.resolve(otherPlatform), LIBRARY);

        Path copy = JarLibrary.extract(NativePlatform.LINUX_X86_64, "1.0", sha,
                () -> new ByteArrayInputStream(LIBRARY), folder);
        assertEquals("1.0-linux-x86_64-" + sha.substring(0, 16) + "-libJovJdbcOdbc.so", copy.getFileName().toString());
        assertEquals(List.of(otherPlatform, copy.getFileName().toString()), names(folder));

        JarLibrary.Content unused = () -> {
            throw new IOException("a whole copy is not extracted again");
        };
        assertEquals(copy, JarLibrary.extract(NativePlatform.LINUX_X86_64, "1.0", sha, unused, folder));

        Files.write(copy, "changed".getBytes(StandardCharsets.US_ASCII));
        JarLibrary.extract(NativePlatform.LINUX_X86_64, "1.0", sha, () -> new ByteArrayInputStream(LIBRARY), folder);
        assertArrayEquals(LIBRARY, Files.readAllBytes(copy));
    }

    @Test
    void contentNotMatchingTheIndexLeavesNothing(@TempDir Path folder) throws IOException {
        String wrong = "0".repeat(64);
        IOException e = assertThrows(IOException.class, () -> JarLibrary.extract(NativePlatform.WINDOWS_X86,
                "1.0", wrong, () -> new ByteArrayInputStream(LIBRARY), folder));
        assertTrue(e.getMessage().contains("jov/jdbc/odbc/native/windows-x86/JovJdbcOdbc.dll has SHA-256 "),
                e.getMessage());
        assertThrows(IOException.class, () -> JarLibrary.extract(NativePlatform.WINDOWS_X86, "1.0", null,
                () -> new ByteArrayInputStream(LIBRARY), folder));
        assertEquals(List.of(), names(folder));
    }

    @Test
    void theUsersFolderIsClosedToOthers(@TempDir Path base) throws IOException {
        Path folder = JarLibrary.userFolder(base.resolve("made"));
        assertEquals("rwx------", PosixFilePermissions.toString(Files.getPosixFilePermissions(folder)));
        Path open = Files.createDirectories(base.resolve("jovjdbcodbc-" + System.getProperty("user.name")));
        Files.setPosixFilePermissions(open, PosixFilePermissions.fromString("rwxrwxrwx"));
        IOException e = assertThrows(IOException.class, () -> JarLibrary.userFolder(base));
        assertTrue(e.getMessage().contains("closed to others"), e.getMessage());
    }
}

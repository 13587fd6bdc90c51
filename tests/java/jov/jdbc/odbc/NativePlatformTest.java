package jov.jdbc.odbc;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.List;
import java.util.Optional;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.CsvSource;

/** Which carried library fits a JVM, from os.name and os.arch as JVMs report them. */
class NativePlatformTest {

    @ParameterizedTest
    @CsvSource({
        "Linux,               amd64,   LINUX_X86_64,   jov/jdbc/odbc/native/linux-x86_64/libJovJdbcOdbc.so",
        "Linux,               x86_64,  LINUX_X86_64,   jov/jdbc/odbc/native/linux-x86_64/libJovJdbcOdbc.so",
        "Windows 11,          amd64,   WINDOWS_X86_64, jov/jdbc/odbc/native/windows-x86_64/JovJdbcOdbc.dll",
        "Windows Server 2019, x86,     WINDOWS_X86,    jov/jdbc/odbc/native/windows-x86/JovJdbcOdbc.dll",
        "Windows 7,           i686,    WINDOWS_X86,    jov/jdbc/odbc/native/windows-x86/JovJdbcOdbc.dll",
    })
    void eachCarriedPlatformHasItsOwnFile(String osName, String osArch, NativePlatform expected, String resource) {
        assertEquals(Optional.of(expected), NativePlatform.of(osName, osArch));
        assertEquals(resource, expected.resource());
    }

    @ParameterizedTest
    @CsvSource({
        "Linux,    aarch64, linux-aarch64",
        "Linux,    i386,    linux-x86",
        "Mac OS X, x86_64,  macos-x86_64",
        "FreeBSD,  amd64,   freebsd-x86_64",
    })
    void anotherPlatformGetsNoneAndIsToldWhatToDo(String osName, String osArch, String name) {
        assertEquals(Optional.empty(), NativePlatform.of(osName, osArch));
        String message = NativePlatform.notCarried(osName, osArch,
                List.of(NativePlatform.LINUX_X86_64, NativePlatform.WINDOWS_X86));
        assertTrue(message.contains(" for linux-x86_64, windows-x86, not for " + name + " ")
                && message.contains(JOVODBCDLL.LIBRARY_PROPERTY) && message.contains("java.library.path"), message);
    }
}

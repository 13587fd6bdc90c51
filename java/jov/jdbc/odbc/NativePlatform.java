package jov.jdbc.odbc;

import java.util.Arrays;
import java.util.Collections;
import java.util.HashMap;
import java.util.List;
import java.util.Locale;
import java.util.Map;
import java.util.Optional;
import java.util.stream.Collectors;

/**
 * The platforms a jar may carry the library for, each named
 * {@code <os>-<arch>} and kept at {@code jov/jdbc/odbc/native/<name>/<file>}.
 *
 * <p>Which one fits a JVM is decided from {@code os.name} and {@code os.arch}
 * alone, through the two tables below: JVMs spell the same architecture
 * several ways (amd64 and x86_64, x86 and i386 to i686).
 */
enum NativePlatform {
    LINUX_X86_64("linux-x86_64", "libJovJdbcOdbc.so"),
    WINDOWS_X86_64("windows-x86_64", "JovJdbcOdbc.dll"),
    WINDOWS_X86("windows-x86", "JovJdbcOdbc.dll");

    /** Folder of the jar holding one folder per platform and the index of what it carries. */
    static final String FOLDER = "jov/jdbc/odbc/native/";

    /** Prefixes of {@code os.name}, lower-cased, and the operating system each names. */
    private static final Map<String, String> OS_PREFIXES = table(
            "linux", "linux",
            "windows", "windows",
            "mac", "macos",
            "darwin", "macos");

    /** Values of {@code os.arch}, lower-cased, and the architecture each names. */
    private static final Map<String, String> ARCHES = table(
            "amd64", "x86_64",
            "x86_64", "x86_64",
            "x64", "x86_64",
            "x86", "x86",
            "i386", "x86",
            "i486", "x86",
            "i586", "x86",
            "i686", "x86",
            "aarch64", "aarch64",
            "arm64", "aarch64");

    final String id;
    final String fileName;

    NativePlatform(String id, String fileName) {
        this.id = id;
        this.fileName = fileName;
    }

    private static Map<String, String> table(String... keysAndValues) {
        Map<String, String> table = new HashMap<>();
        for (int i = 0; i < keysAndValues.length; i += 2) {
            table.put(keysAndValues[i], keysAndValues[i + 1]);
        }
        return Collections.unmodifiableMap(table);
    }

    /** Where the jar keeps this platform's library. */
    String resource() {
        return FOLDER + id + "/" + fileName;
    }

    /** The name {@code os.name} and {@code os.arch} give, known or not, such as "linux-aarch64". */
    static String name(String osName, String osArch) {
        String os = osName.toLowerCase(Locale.ROOT);
        String arch = osArch.toLowerCase(Locale.ROOT);
        String knownOs = OS_PREFIXES.entrySet().stream().filter(e -> os.startsWith(e.getKey()))
                .map(Map.Entry::getValue).findFirst().orElse(os.replaceAll("[^a-z0-9]", ""));
        return knownOs + "-" + ARCHES.getOrDefault(arch, arch);
    }

    /** The platform a JVM reporting these {@code os.name} and {@code os.arch} runs on, if one of ours. */
    static Optional<NativePlatform> of(String osName, String osArch) {
        String name = name(osName, osArch);
        return Arrays.stream(values()).filter(p -> p.id.equals(name)).findFirst();
    }

    /** The message for a JVM on a platform the jar carries no library for. */
    static String notCarried(String osName, String osArch, List<NativePlatform> carried) {
        String list = carried.stream().map(p -> p.id).collect(Collectors.joining(", "));
        return "The jar carries the library " + JOVODBCDLL.LIBRARY_NAME + " for " + list + ", not for "
                + name(osName, osArch) + " (os.name " + osName + ", os.arch " + osArch + "): build it for"
                + " this platform and set the system property " + JOVODBCDLL.LIBRARY_PROPERTY
                + " to its absolute path, or put it on java.library.path";
    }
}

package jov.jdbc.odbc;

import java.io.File;
import java.nio.file.Files;
import java.nio.file.InvalidPathException;
import java.nio.file.Paths;
import java.util.Arrays;
import java.util.List;
import java.util.Optional;

/**
 * Loads libJovJdbcOdbc once per class loader, for every class that declares
 * natives of it.
 *
 * <p>Where the library comes from: the first of {@link #SOURCES} that applies,
 * in order, loads it; a source that applies and fails is the answer, with no
 * quiet fall-back to a different library. The sources: the absolute path in
 * the system property {@value JOVODBCDLL#LIBRARY_PROPERTY}; the library found
 * in a folder of {@code java.library.path} (where Debian's package installs
 * it); the library the jar carries for this platform ({@link JarLibrary});
 * and, for classes that come without libraries, {@code System.loadLibrary},
 * which always applies and says what it searched.
 */
public final class NativeLibrary {

    /** One place a library may come from: how to load it there, or empty when it does not apply. */
    @FunctionalInterface
    private interface Source {
        Optional<Runnable> loader();
    }

    private static final List<Source> SOURCES = Arrays.asList(
            NativeLibrary::fromProperty,
            NativeLibrary::installed,
            JarLibrary::loader,
            NativeLibrary::fromLibraryPath);

    private static boolean loaded;

    private NativeLibrary() {
    }

    /** Loads the library unless this class loader has already loaded it. */
    public static synchronized void load() {
        if (loaded) {
            return;
        }
        for (Source source : SOURCES) {
            Optional<Runnable> loader = source.loader();
            if (loader.isPresent()) {
                loader.get().run();
                loaded = true;
                return;
            }
        }
    }

    private static Optional<Runnable> fromProperty() {
        String path = System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        if (path == null || path.isEmpty()) {
            return Optional.empty();
        }
        return Optional.of(() -> System.load(path));
    }

    /** The library's file in a folder of java.library.path, when one holds it. */
    private static Optional<Runnable> installed() {
        String fileName = System.mapLibraryName(JOVODBCDLL.LIBRARY_NAME);
        for (String folder : System.getProperty("java.library.path", "").split(File.pathSeparator)) {
            try {
                if (!folder.isEmpty() && Files.isRegularFile(Paths.get(folder, fileName))) {
                    return fromLibraryPath();
                }
            } catch (InvalidPathException e) {
                // Not a folder this file system can name; the JVM skips it too.
            }
        }
        return Optional.empty();
    }

    private static Optional<Runnable> fromLibraryPath() {
        return Optional.of(() -> System.loadLibrary(JOVODBCDLL.LIBRARY_NAME));
    }
}

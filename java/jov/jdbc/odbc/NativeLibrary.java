package jov.jdbc.odbc;

import java.util.List;
import java.util.Optional;

/**
 * Loads libJovJdbcOdbc once per class loader, for every class that declares
 * natives of it.
 *
 * <p>Where the library comes from: the first of {@link #SOURCES} that applies,
 * in order, loads it; a source that applies and fails is the answer, with no
 * quiet fall-back to a different library. Today the sources are the absolute
 * path in the system property {@value JOVODBCDLL#LIBRARY_PROPERTY}, then
 * {@value JOVODBCDLL#LIBRARY_NAME} from {@code java.library.path}, which
 * always applies. A library carried inside the jar is one more source before
 * the last.
 */
final class NativeLibrary {

    /** One place a library may come from: how to load it there, or empty when it does not apply. */
    @FunctionalInterface
    private interface Source {
        Optional<Runnable> loader();
    }

    private static final List<Source> SOURCES = List.of(
            NativeLibrary::fromProperty,
            NativeLibrary::fromLibraryPath);

    private static boolean loaded;

    private NativeLibrary() {
    }

    /** Loads the library unless this class loader has already loaded it. */
    static synchronized void load() {
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

    private static Optional<Runnable> fromLibraryPath() {
        return Optional.of(() -> System.loadLibrary(JOVODBCDLL.LIBRARY_NAME));
    }
}

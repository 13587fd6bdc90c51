package jov.jdbc.odbc;

/**
 * Loads libJovJdbcOdbc once per class loader, for every class that declares
 * natives of it.
 *
 * <p>Where the library comes from, in order: the absolute path in the system
 * property {@value JOVODBCDLL#LIBRARY_PROPERTY}; otherwise
 * {@value JOVODBCDLL#LIBRARY_NAME} from {@code java.library.path}.
 */
final class NativeLibrary {

    private static boolean loaded;

    private NativeLibrary() {
    }

    /** Loads the library unless this class loader has already loaded it. */
    static synchronized void load() {
        if (loaded) {
            return;
        }
        String path = System.getProperty(JOVODBCDLL.LIBRARY_PROPERTY);
        if (path != null && !path.isEmpty()) {
            System.load(path);
        } else {
            System.loadLibrary(JOVODBCDLL.LIBRARY_NAME);
        }
        loaded = true;
    }
}

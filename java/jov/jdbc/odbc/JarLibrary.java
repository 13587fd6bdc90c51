package jov.jdbc.odbc;

import java.io.IOException;
import java.io.InputStream;
import java.io.UncheckedIOException;
import java.nio.file.DirectoryStream;
import java.nio.file.FileAlreadyExistsException;
import java.nio.file.FileSystemException;
import java.nio.file.FileSystems;
import java.nio.file.Files;
import java.nio.file.Path;
import java.nio.file.Paths;
import java.nio.file.StandardCopyOption;
import java.nio.file.attribute.PosixFilePermission;
import java.nio.file.attribute.PosixFilePermissions;
import java.nio.file.attribute.UserPrincipal;
import java.security.MessageDigest;
import java.security.NoSuchAlgorithmException;
import java.util.Arrays;
import java.util.EnumSet;
import java.util.List;
import java.util.Optional;
import java.util.Properties;
import java.util.Set;
import java.util.regex.Matcher;
import java.util.regex.Pattern;
import java.util.stream.Collectors;

/**
 * The library the jar carries for the running platform, copied out of the jar
 * into a file of its own, since a JVM loads libraries only from files.
 *
 * <p>The jar's index ({@value #INDEX}) holds the version and, per carried
 * platform, the SHA-256 of its library. The copy lives in a folder of the
 * user's own under the temporary folder ({@value #TEMP_FOLDER_PROPERTY}, else
 * {@code java.io.tmpdir}), named by version, platform and checksum, so each
 * version is extracted once and then reused by every JVM. A copy is loaded only
 * once its bytes match the index; copies of other versions are removed where
 * the platform lets them be (Windows keeps a DLL another process has loaded).
 * Copies appear by an atomic rename, so JVMs extracting at once never load
 * half a file.
 */
final class JarLibrary {

    /** The index of the carried libraries inside the jar. */
    static final String INDEX = NativePlatform.FOLDER + "libraries.properties";

    /** System property naming the folder to extract into instead of {@code java.io.tmpdir}. */
    static final String TEMP_FOLDER_PROPERTY = "jov.jdbc.odbc.tempdir";

    private static final String VERSION_KEY = "version";

    /** A copy's name: version, platform, the first 16 hex digits of its checksum, the library's file name. */
    private static final Pattern COPY_NAME = Pattern.compile("[0-9A-Za-z.]+-([a-z0-9_]+-[a-z0-9_]+)-[0-9a-f]{16}-.+");

    private JarLibrary() {
    }

    /**
     * How to load the jar's library for this JVM: empty when the classes come
     * without libraries (a folder of classes, or a jar built without them).
     * On a platform the jar does not carry, the loader throws an
     * {@link UnsatisfiedLinkError} that names the platforms it does carry.
     */
    static Optional<Runnable> loader() {
        Properties index = readIndex();
        if (index.isEmpty()) {
            return Optional.empty();
        }
        String osName = System.getProperty("os.name");
        String osArch = System.getProperty("os.arch");
        List<NativePlatform> carried = Arrays.stream(NativePlatform.values())
                .filter(p -> index.containsKey(p.id)).collect(Collectors.toList());
        Optional<NativePlatform> platform = NativePlatform.of(osName, osArch).filter(carried::contains);
        if (!platform.isPresent()) {
            return Optional.of(() -> {
                throw new UnsatisfiedLinkError(NativePlatform.notCarried(osName, osArch, carried));
            });
        }
        return Optional.of(() -> System.load(extracted(platform.get(), index).toString()));
    }

    private static Properties readIndex() {
        Properties index = new Properties();
        try (InputStream in = JarLibrary.class.getClassLoader().getResourceAsStream(INDEX)) {
            if (in != null) {
                index.load(in);
            }
        } catch (IOException e) {
            throw new UncheckedIOException("Cannot read " + INDEX + " of the jar", e);
        }
        return index;
    }

    private static Path extracted(NativePlatform platform, Properties index) {
        String folder = System.getProperty(TEMP_FOLDER_PROPERTY);
        Path base = Paths.get(folder == null || folder.isEmpty() ? System.getProperty("java.io.tmpdir") : folder);
        try {
            return extract(platform, index.getProperty(VERSION_KEY), index.getProperty(platform.id),
                    () -> JarLibrary.class.getClassLoader().getResourceAsStream(platform.resource()),
                    userFolder(base));
        } catch (IOException e) {
            UnsatisfiedLinkError error = new UnsatisfiedLinkError("Cannot extract the jar's library "
                    + platform.resource() + " into " + base + ": " + e + " (set the system property "
                    + TEMP_FOLDER_PROPERTY + " to a folder of your own, or " + JOVODBCDLL.LIBRARY_PROPERTY
                    + " to an installed library)");
            error.initCause(e);
            throw error;
        }
    }

    /** The jar's library content, opened afresh for each copy. */
    @FunctionalInterface
    interface Content {
        InputStream open() throws IOException;
    }

    /**
     * The copy of a library of this version and checksum in {@code folder}:
     * the one there when its bytes match, else a fresh one. Removes the copies
     * of the same platform with another name. Throws when the content itself
     * does not match the checksum.
     */
    static Path extract(NativePlatform platform, String version, String sha256, Content content, Path folder)
            throws IOException {
        if (version == null || sha256 == null || !sha256.matches("[0-9a-f]{64}")) {
            throw new IOException("the jar's index " + INDEX + " lacks the version or the checksum of " + platform.id);
        }
        Path copy = folder.resolve(version + "-" + platform.id + "-" + sha256.substring(0, 16) + "-"
                + platform.fileName);
        removeStale(platform, folder, copy);
        if (Files.isRegularFile(copy) && sha256.equals(sha256Of(copy))) {
            return copy;
        }
        Path part = Files.createTempFile(folder, ".extract", ".part");
        try {
            try (InputStream in = content.open()) {
                if (in == null) {
                    throw new IOException(platform.resource() + " is missing from the jar");
                }
                Files.copy(in, part, StandardCopyOption.REPLACE_EXISTING);
            }
            String actual = sha256Of(part);
            if (!sha256.equals(actual)) {
                throw new IOException(platform.resource() + " has SHA-256 " + actual + ", the jar's index says "
                        + sha256);
            }
            moveIntoPlace(part, copy, sha256);
            return copy;
        } finally {
            Files.deleteIfExists(part);
        }
    }

    /** Renames the checked copy into place; a copy another JVM put there meanwhile does as well. */
    private static void moveIntoPlace(Path part, Path copy, String sha256) throws IOException {
        try {
            Files.move(part, copy, StandardCopyOption.ATOMIC_MOVE, StandardCopyOption.REPLACE_EXISTING);
        } catch (IOException e) {
            // Windows refuses to replace a DLL in use; in use means whole.
            if (!(Files.isRegularFile(copy) && sha256.equals(sha256Of(copy)))) {
                throw e;
            }
        }
    }

    private static void removeStale(NativePlatform platform, Path folder, Path keep) throws IOException {
        try (DirectoryStream<Path> entries = Files.newDirectoryStream(folder)) {
            for (Path entry : entries) {
                Matcher name = COPY_NAME.matcher(entry.getFileName().toString());
                if (name.matches() && name.group(1).equals(platform.id) && !entry.equals(keep)) {
                    try {
                        Files.deleteIfExists(entry);
                    } catch (FileSystemException e) {
                        // Loaded by another process on Windows: it goes on a later run.
                    }
                }
            }
        }
    }

    /**
     * {@code jovjdbcodbc-<user>} under {@code base}, made when missing. Where
     * files have POSIX owners it must be the user's own and closed to others,
     * so that no other user can swap a checked copy before it is loaded.
     */
    static Path userFolder(Path base) throws IOException {
        String user = System.getProperty("user.name", "user").replaceAll("[^0-9A-Za-z._-]", "_");
        Path folder = base.resolve("jovjdbcodbc-" + user);
        boolean posix = FileSystems.getDefault().supportedFileAttributeViews().contains("posix");
        if (!Files.isDirectory(folder)) {
            Files.createDirectories(base);
            try {
                if (posix) {
                    Files.createDirectory(folder,
                            PosixFilePermissions.asFileAttribute(PosixFilePermissions.fromString("rwx------")));
                } else {
                    Files.createDirectory(folder);
                }
            } catch (FileAlreadyExistsException e) {
                // Another JVM made it first; it is checked below like any other.
            }
        }
        if (posix) {
            checkOwnFolder(folder);
        }
        return folder;
    }

    private static void checkOwnFolder(Path folder) throws IOException {
        UserPrincipal me = folder.getFileSystem().getUserPrincipalLookupService()
                .lookupPrincipalByName(System.getProperty("user.name"));
        Set<PosixFilePermission> open = EnumSet.of(PosixFilePermission.GROUP_WRITE, PosixFilePermission.OTHERS_WRITE);
        Set<PosixFilePermission> permissions = Files.getPosixFilePermissions(folder);
        if (!Files.getOwner(folder).equals(me) || permissions.stream().anyMatch(open::contains)) {
            throw new IOException(folder + " is not a folder of " + me.getName() + "'s own, closed to others");
        }
    }

    static String sha256Of(Path file) throws IOException {
        MessageDigest digest;
        try {
            digest = MessageDigest.getInstance("SHA-256");
        } catch (NoSuchAlgorithmException e) {
            throw new IllegalStateException("every JVM has SHA-256", e);
        }
        try (InputStream in = Files.newInputStream(file)) {
            byte[] buffer = new byte[65536];
            for (int n; (n = in.read(buffer)) > 0;) {
                digest.update(buffer, 0, n);
            }
        }
        StringBuilder hex = new StringBuilder();
        for (byte b : digest.digest()) {
            hex.append(String.format("%02x", b));
        }
        return hex.toString();
    }
}

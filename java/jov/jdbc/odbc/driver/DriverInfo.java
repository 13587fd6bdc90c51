package jov.jdbc.odbc.driver;

/** The driver's name, version and URL form, in one place for the driver and its metadata. */
public final class DriverInfo {

    /** Name reported by {@code DatabaseMetaData.getDriverName()}. */
    public static final String NAME = "JovJdbcOdbc";

    public static final int MAJOR_VERSION = 1;
    public static final int MINOR_VERSION = 0;

    /** Version text reported by {@code DatabaseMetaData.getDriverVersion()}. */
    public static final String VERSION = MAJOR_VERSION + "." + MINOR_VERSION;

    /** URLs the driver accepts start with this prefix, then the data source name. */
    static final String URL_PREFIX = "jdbc:jov:odbc:";

    /** Logger of the driver; its parent is the library's {@code jov.jdbc.odbc}. */
    public static final String LOGGER_NAME = "jov.jdbc.odbc.driver";

    private DriverInfo() {
    }
}

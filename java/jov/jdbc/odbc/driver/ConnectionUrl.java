package jov.jdbc.odbc.driver;

import java.sql.DriverPropertyInfo;
import java.sql.SQLException;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Properties;
import jov.jdbc.odbc.driver.link.Errors;
import jov.jdbc.odbc.driver.odbc.ConnectionString;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;

/**
 * A URL of the driver with its properties, in one of two forms told apart
 * by an '=' before the first ';' (which no data source name holds):
 * <ul>
 *   <li>{@code jdbc:jov:odbc:<data source>[;key=value...]}, whose keys are
 *       {@value #USER}, {@value #PASSWORD} and {@value #CHARSET}; given both
 *       in the URL and as a property, the URL's value counts, as with
 *       pgjdbc. An unknown key in the URL is an error (it is most likely
 *       misspelt).</li>
 *   <li>{@code jdbc:jov:odbc:<ODBC connection string>}, such as
 *       {@code Driver={SQLite3};Database=/data/f.db}, whose every key is the
 *       ODBC driver's; the properties user and password become UID and PWD
 *       where the string names none, and charset comes from the properties
 *       alone (MariaDB's driver has a CHARSET key of its own).</li>
 * </ul>
 * Unknown properties passed by a tool are ignored. The password appears in
 * nothing this class shows: {@link #url()} leaves it out.
 */
final class ConnectionUrl {

    static final String USER = "user";
    static final String PASSWORD = "password";
    static final String CHARSET = "charset";
    static final String UTF_8 = "UTF-8";
    static final String WINDOWS_31J = "Windows-31J";

    /** Every property, with what getPropertyInfo says of it. */
    private static final Map<String, String> PROPERTIES = new LinkedHashMap<>();

    static {
        PROPERTIES.put(USER, "User name handed to the ODBC data source (default: empty)");
        PROPERTIES.put(PASSWORD, "Password handed to the ODBC data source (default: empty); never logged");
        PROPERTIES.put(CHARSET, "Text encoding of the session: UTF-8 (default, any Unicode text exactly) or "
                + "Windows-31J (for data sources that hold Windows-31J bytes; other characters are refused)");
    }

    private final String shownUrl;
    private final String dataSource;
    private final ConnectionString target;
    private final Map<String, String> values;

    private ConnectionUrl(String shownUrl, String dataSource, ConnectionString target, Map<String, String> values) {
        this.shownUrl = shownUrl;
        this.dataSource = dataSource;
        this.target = target;
        this.values = values;
    }

    static boolean accepts(String url) {
        return url != null && url.startsWith(DriverInfo.URL_PREFIX);
    }

    /** Reads a URL the driver accepts, with the caller's properties (which may be null). */
    static ConnectionUrl parse(String url, Properties info) throws SQLException {
        String rest = url.substring(DriverInfo.URL_PREFIX.length());
        int semicolon = rest.indexOf(';');
        boolean odbcString = rest.substring(0, semicolon < 0 ? rest.length() : semicolon).indexOf('=') >= 0;
        Map<String, String> values = new LinkedHashMap<>();
        if (info != null) {
            for (String key : PROPERTIES.keySet()) {
                String value = info.getProperty(key);
                if (value != null) {
                    values.put(key, value);
                }
            }
        }
        ConnectionUrl parsed = odbcString ? ofConnectionString(rest, values) : ofDataSource(url, rest, values);
        String charset = values.get(CHARSET);
        if (charset != null && !charset.equalsIgnoreCase(UTF_8) && !charset.equalsIgnoreCase(WINDOWS_31J)) {
            throw Errors.create("The charset '" + charset + "' is not " + UTF_8 + " or " + WINDOWS_31J, "08001");
        }
        try {
            parsed.target.checkPins(parsed.charset());
        } catch (IllegalArgumentException e) {
            throw Errors.create("The URL's connection string: " + e.getMessage(), "08001");
        }
        return parsed;
    }

    private static ConnectionUrl ofDataSource(String url, String rest, Map<String, String> values)
            throws SQLException {
        String[] parts = rest.split(";", -1);
        String dataSource = parts[0].trim();
        if (dataSource.isEmpty()) {
            throw Errors.create("The URL names no data source: " + url, "08001");
        }
        StringBuilder shown = new StringBuilder(DriverInfo.URL_PREFIX).append(dataSource);
        for (int i = 1; i < parts.length; i++) {
            if (parts[i].trim().isEmpty()) {
                continue;
            }
            int equals = parts[i].indexOf('=');
            String key = equals < 0 ? parts[i].trim() : parts[i].substring(0, equals).trim();
            if (equals < 0 || !PROPERTIES.containsKey(key)) {
                throw Errors.create("The URL's setting '" + key + "' is not one of " + PROPERTIES.keySet(),
                        "08001");
            }
            values.put(key, parts[i].substring(equals + 1));
            if (!key.equals(PASSWORD)) {
                shown.append(';').append(parts[i]);
            }
        }
        ConnectionString target = ConnectionString.ofDataSource(dataSource)
                .withLogin(values.getOrDefault(USER, ""), values.getOrDefault(PASSWORD, ""));
        return new ConnectionUrl(shown.toString(), dataSource, target, values);
    }

    private static ConnectionUrl ofConnectionString(String rest, Map<String, String> values) throws SQLException {
        ConnectionString written;
        try {
            written = ConnectionString.parse(rest);
        } catch (IllegalArgumentException e) {
            throw Errors.create("The URL's connection string: " + e.getMessage(), "08001");
        }
        String shown = written.shown();
        ConnectionString target = written.withLogin(values.getOrDefault(USER, ""),
                values.getOrDefault(PASSWORD, ""));
        String user = target.user();
        if (user != null) {
            values.put(USER, user);
        }
        return new ConnectionUrl(DriverInfo.URL_PREFIX + shown, shown, target, values);
    }

    /** The URL without its password, as it may be shown. */
    String url() {
        return shownUrl;
    }

    /** What messages name: the data source, or the connection string without its password. */
    String dataSource() {
        return dataSource;
    }

    /** What the connection opens, user and password merged. */
    ConnectionString target() {
        return target;
    }

    String user() {
        return values.getOrDefault(USER, "");
    }

    /** The charset of OdbcNatives the session uses. */
    int charset() {
        return WINDOWS_31J.equalsIgnoreCase(values.get(CHARSET)) ? OdbcNatives.WINDOWS_31J : OdbcNatives.UNICODE;
    }

    /** Every property, with the value this URL and its properties give it (a password is not echoed). */
    DriverPropertyInfo[] propertyInfo() {
        DriverPropertyInfo user = new DriverPropertyInfo(USER, values.get(USER));
        user.description = PROPERTIES.get(USER);
        DriverPropertyInfo password = new DriverPropertyInfo(PASSWORD, null);
        password.description = PROPERTIES.get(PASSWORD);
        DriverPropertyInfo charset = new DriverPropertyInfo(CHARSET, values.getOrDefault(CHARSET, UTF_8));
        charset.description = PROPERTIES.get(CHARSET);
        charset.choices = new String[] {UTF_8, WINDOWS_31J};
        return new DriverPropertyInfo[] {user, password, charset};
    }
}

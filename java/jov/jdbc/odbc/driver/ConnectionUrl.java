package jov.jdbc.odbc.driver;

import java.sql.DriverPropertyInfo;
import java.sql.SQLException;
import java.util.LinkedHashMap;
import java.util.Map;
import java.util.Properties;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;

/**
 * A URL of the driver with its properties:
 * {@code jdbc:jov:odbc:<data source>[;key=value...]}. The properties are
 * {@value #USER}, {@value #PASSWORD} and {@value #CHARSET}; given both in the URL and as a
 * property, the URL's value counts, as with pgjdbc. An unknown key in the URL
 * is an error (it is most likely misspelt); unknown properties passed by a
 * tool are ignored.
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

    private final String url;
    private final String dataSource;
    private final Map<String, String> values;

    private ConnectionUrl(String url, String dataSource, Map<String, String> values) {
        this.url = url;
        this.dataSource = dataSource;
        this.values = values;
    }

    static boolean accepts(String url) {
        return url != null && url.startsWith(DriverInfo.URL_PREFIX);
    }

    /** Reads a URL the driver accepts, with the caller's properties (which may be null). */
    static ConnectionUrl parse(String url, Properties info) throws SQLException {
        String[] parts = url.substring(DriverInfo.URL_PREFIX.length()).split(";", -1);
        String dataSource = parts[0].trim();
        if (dataSource.isEmpty()) {
            throw Errors.create("The URL names no data source: " + url, "08001");
        }
        Map<String, String> values = new LinkedHashMap<>();
        if (info != null) {
            for (String key : PROPERTIES.keySet()) {
                String value = info.getProperty(key);
                if (value != null) {
                    values.put(key, value);
                }
            }
        }
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
        }
        String charset = values.get(CHARSET);
        if (charset != null && !charset.equalsIgnoreCase(UTF_8) && !charset.equalsIgnoreCase(WINDOWS_31J)) {
            throw Errors.create("The charset '" + charset + "' is not " + UTF_8 + " or " + WINDOWS_31J, "08001");
        }
        return new ConnectionUrl(url, dataSource, values);
    }

    String url() {
        return url;
    }

    String dataSource() {
        return dataSource;
    }

    String user() {
        return values.getOrDefault(USER, "");
    }

    String password() {
        return values.getOrDefault(PASSWORD, "");
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

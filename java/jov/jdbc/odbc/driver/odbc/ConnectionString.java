package jov.jdbc.odbc.driver.odbc;

/**
 * The SQLDriverConnect string the driver opens a data source with. Values
 * that hold what would end them are braced with inner braces doubled; plain
 * values are not, because psqlODBC reads no braces around the DSN.
 *
 * <p>In {@link OdbcNatives#UNICODE} the session's character set is pinned at
 * connect, the only moment both drivers take it: MariaDB's
 * {@code CHARSET=utf8mb4}, and psqlODBC's ConnSettings, which replace the
 * data source's own, so those come first and the pin last. Each driver
 * ignores the other's keyword. In {@link OdbcNatives#WINDOWS_31J} nothing is
 * pinned: the data source's own settings count, as with the older path.
 */
public final class ConnectionString {

    private static final String UTF8_PIN = "SET client_encoding TO 'UTF8'";

    private ConnectionString() {
    }

    /** The connection string; user and password are left out when the user is empty. */
    public static String build(String dataSource, String user, String password, int charset) {
        StringBuilder s = new StringBuilder("DSN=").append(braced(dataSource));
        if (!user.isEmpty() || !password.isEmpty()) {
            s.append(";UID=").append(braced(user)).append(";PWD=").append(braced(password));
        }
        if (charset == OdbcNatives.UNICODE) {
            String own = OdbcNatives.dataSourceSetting(dataSource, "ConnSettings");
            s.append(";CHARSET=utf8mb4;ConnSettings=")
                    .append(braced(own.isEmpty() ? UTF8_PIN : own + ";" + UTF8_PIN));
        }
        return s.toString();
    }

    private static String braced(String value) {
        boolean plain = !value.isEmpty() && value.equals(value.trim()) && !needsBraces(value);
        return plain ? value : "{" + value.replace("}", "}}") + "}";
    }

    private static boolean needsBraces(String value) {
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            if (c == ';' || c == '{' || c == '}' || c == '=') {
                return true;
            }
        }
        return false;
    }
}

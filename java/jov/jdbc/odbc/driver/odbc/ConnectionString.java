package jov.jdbc.odbc.driver.odbc;

import java.util.LinkedHashMap;
import java.util.Locale;
import java.util.Map;

/**
 * An ODBC connection string read into its attributes, and the string the
 * driver opens a data source with. Keys compare without case and, as ODBC
 * has it, of a key given twice the first counts: later ones are dropped
 * here, so none reaches the driver twice. A braced value ends at the first
 * right brace that is not doubled; written back, values that hold what would
 * end them are braced with inner right braces doubled, plain values are not,
 * because psqlODBC reads no braces around the DSN. Immutable.
 *
 * <p>In {@link OdbcNatives#UNICODE} the session's character set is pinned at
 * connect, the only moment both drivers take it: MariaDB's
 * {@code CHARSET=utf8mb4}, and psqlODBC's ConnSettings, which replace the
 * data source's own, so those (or the string's own) come first and the pin
 * last. The pins are added whatever the driver: each driver ignores a
 * keyword it does not know, so no driver need be known before connecting.
 * In {@link OdbcNatives#WINDOWS_31J} nothing is pinned: the data source's
 * and the string's own settings count, as with the older path.
 *
 * <p>The values of {@link #SECRET_KEYS} never leave this class but in the
 * string handed to the natives; error messages name keys, never values.
 */
public final class ConnectionString {

    private static final String UTF8_PIN = "SET client_encoding TO 'UTF8'";
    private static final String CHARSET = "CHARSET";
    private static final String MARIA_PIN = "utf8mb4";
    private static final String CONN_SETTINGS = "ConnSettings";
    private static final String CONN_SETTINGS_KEY = "CONNSETTINGS";
    private static final String DSN = "DSN";
    private static final String DRIVER = "DRIVER";
    /** Keys whose values are passwords in the drivers at hand. */
    private static final String[] SECRET_KEYS = {"PWD", "PASSWORD"};
    /** Keys naming the user in the drivers at hand (MariaDB takes both). */
    private static final String[] USER_KEYS = {"UID", "USER"};

    /** Upper-cased key to {key as written, value}, in the order given. */
    private final Map<String, String[]> attributes;

    private ConnectionString(Map<String, String[]> attributes) {
        this.attributes = attributes;
    }

    /**
     * Reads {@code key=value;...}; empty attributes are skipped. A key
     * without '=', an empty key, an unclosed brace or text after a closing
     * brace is refused with IllegalArgumentException naming the key.
     */
    public static ConnectionString parse(String text) {
        Map<String, String[]> attributes = new LinkedHashMap<>();
        int at = 0;
        while (at < text.length()) {
            int end = text.indexOf(';', at);
            int equals = text.indexOf('=', at);
            if (equals < 0 || (end >= 0 && end < equals)) {
                String rest = end < 0 ? text.substring(at) : text.substring(at, end);
                if (!rest.trim().isEmpty()) {
                    // Not echoed: a misplaced ';' may have cut a password in two.
                    throw new IllegalArgumentException("the attribute at offset " + at + " has no '='");
                }
                at = end < 0 ? text.length() : end + 1;
                continue;
            }
            String key = text.substring(at, equals).trim();
            if (key.isEmpty()) {
                throw new IllegalArgumentException("an attribute at offset " + at + " has no key");
            }
            StringBuilder value = new StringBuilder();
            at = readValue(text, equals + 1, key, value);
            String upper = key.toUpperCase(Locale.ROOT);
            if (!attributes.containsKey(upper)) {
                attributes.put(upper, new String[] {key, value.toString()});
            }
        }
        return new ConnectionString(attributes);
    }

    /** Reads the value from start into value; answers where the next attribute starts. */
    private static int readValue(String text, int start, String key, StringBuilder value) {
        int open = start;
        while (open < text.length() && text.charAt(open) == ' ') {
            open++;
        }
        if (open == text.length() || text.charAt(open) != '{') {
            int end = text.indexOf(';', start);
            value.append(end < 0 ? text.substring(start) : text.substring(start, end));
            return end < 0 ? text.length() : end + 1;
        }
        int i = open + 1;
        while (true) {
            int close = text.indexOf('}', i);
            if (close < 0) {
                throw new IllegalArgumentException("the value of '" + key + "' opens a brace it does not close");
            }
            value.append(text, i, close);
            if (close + 1 < text.length() && text.charAt(close + 1) == '}') {
                value.append('}');
                i = close + 2;
                continue;
            }
            int next = close + 1;
            while (next < text.length() && text.charAt(next) == ' ') {
                next++;
            }
            if (next < text.length() && text.charAt(next) != ';') {
                throw new IllegalArgumentException("the value of '" + key + "' goes on after its closing brace");
            }
            return next + 1;
        }
    }

    /** A string naming a data source of odbc.ini. */
    public static ConnectionString ofDataSource(String name) {
        Map<String, String[]> attributes = new LinkedHashMap<>();
        attributes.put(DSN, new String[] {DSN, name});
        return new ConnectionString(attributes);
    }

    /**
     * The string with UID and PWD added where it names no user and no
     * password, when either is given; what the string says counts.
     */
    public ConnectionString withLogin(String user, String password) {
        if (user.isEmpty() && password.isEmpty()) {
            return this;
        }
        Map<String, String[]> merged = new LinkedHashMap<>(attributes);
        if (find(USER_KEYS) == null) {
            merged.put("UID", new String[] {"UID", user});
        }
        if (find(SECRET_KEYS) == null) {
            merged.put("PWD", new String[] {"PWD", password});
        }
        return new ConnectionString(merged);
    }

    /** The value of a key in any case, or null when the string has none. */
    public String value(String key) {
        String[] attribute = attributes.get(key.toUpperCase(Locale.ROOT));
        return attribute == null ? null : attribute[1];
    }

    /** The user the string names, or null. */
    public String user() {
        return find(USER_KEYS);
    }

    private String find(String[] keys) {
        for (String key : keys) {
            String value = value(key);
            if (value != null) {
                return value;
            }
        }
        return null;
    }

    /**
     * The data source whose odbc.ini entry the connection reads: the DSN,
     * unless a DRIVER comes first (then ODBC takes the driver); "" for none.
     */
    String dataSourceName() {
        for (String key : attributes.keySet()) {
            if (key.equals(DSN)) {
                return attributes.get(key)[1];
            }
            if (key.equals(DRIVER)) {
                return "";
            }
        }
        return "";
    }

    /**
     * Refuses, with IllegalArgumentException, a MariaDB CHARSET the
     * charset's pin would contradict.
     */
    public void checkPins(int charset) {
        String own = value(CHARSET);
        if (charset == OdbcNatives.UNICODE && own != null && !own.equalsIgnoreCase(MARIA_PIN)) {
            throw new IllegalArgumentException("CHARSET=" + own + " contradicts the UTF-8 session's "
                    + CHARSET + "=" + MARIA_PIN + " (use the charset Windows-31J, or drop it)");
        }
    }

    /** The string to connect with in a charset of OdbcNatives, pins included. */
    public String build(int charset) {
        StringBuilder s = new StringBuilder();
        for (Map.Entry<String, String[]> a : attributes.entrySet()) {
            boolean pinned = a.getKey().equals(CHARSET) || a.getKey().equals(CONN_SETTINGS_KEY);
            if (charset != OdbcNatives.UNICODE || !pinned) {
                append(s, a.getValue()[0], a.getValue()[1]);
            }
        }
        if (charset == OdbcNatives.UNICODE) {
            String own = value(CONN_SETTINGS);
            if (own == null) {
                String dsn = dataSourceName();
                own = dsn.isEmpty() ? "" : OdbcNatives.dataSourceSetting(dsn, CONN_SETTINGS);
            }
            append(s, CHARSET, MARIA_PIN);
            append(s, CONN_SETTINGS, own.isEmpty() ? UTF8_PIN : own + ";" + UTF8_PIN);
        }
        return s.toString();
    }

    /** The string as it may be shown: without the values of passwords. */
    public String shown() {
        StringBuilder s = new StringBuilder();
        for (String[] a : attributes.values()) {
            if (!isSecret(a[0])) {
                append(s, a[0], a[1]);
            }
        }
        return s.toString();
    }

    private static boolean isSecret(String key) {
        for (String secret : SECRET_KEYS) {
            if (secret.equalsIgnoreCase(key)) {
                return true;
            }
        }
        return false;
    }

    private static void append(StringBuilder s, String key, String value) {
        s.append(s.length() == 0 ? "" : ";").append(key).append('=').append(braced(value));
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

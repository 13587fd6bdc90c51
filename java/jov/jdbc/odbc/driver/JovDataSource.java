package jov.jdbc.odbc.driver;

import java.io.PrintWriter;
import java.sql.Connection;
import java.sql.SQLException;
import java.util.Properties;
import java.util.logging.Logger;
import javax.sql.DataSource;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * A DataSource for pools and frameworks, configured by bean setters: either
 * the ODBC data source name or a whole URL, and user and password. Each
 * getConnection opens a new connection; pooling is the pool's business.
 */
public final class JovDataSource implements DataSource {

    private String url;
    private String user = "";
    private String password = "";
    private String charset;
    private PrintWriter logWriter;
    private volatile int loginTimeoutSeconds;

    /** The ODBC data source name; the same as setting the URL {@code jdbc:jov:odbc:<name>}. */
    public void setDataSourceName(String name) {
        this.url = DriverInfo.URL_PREFIX + name;
    }

    /** The data source part of the URL, or null when none is set. */
    public String getDataSourceName() {
        if (url == null) {
            return null;
        }
        int end = url.indexOf(';');
        return url.substring(DriverInfo.URL_PREFIX.length(), end < 0 ? url.length() : end);
    }

    public void setUrl(String url) {
        this.url = url;
    }

    public String getUrl() {
        return url;
    }

    public void setUser(String user) {
        this.user = user == null ? "" : user;
    }

    public String getUser() {
        return user;
    }

    public void setPassword(String password) {
        this.password = password == null ? "" : password;
    }

    /** UTF-8 (the default) or Windows-31J; see the URL key charset. */
    public void setCharset(String charset) {
        this.charset = charset;
    }

    public String getCharset() {
        return charset;
    }

    @Override
    public Connection getConnection() throws SQLException {
        return getConnection(user, password);
    }

    @Override
    public Connection getConnection(String user, String password) throws SQLException {
        if (url == null || !ConnectionUrl.accepts(url)) {
            throw Errors.create("Set a data source name or a URL starting " + DriverInfo.URL_PREFIX
                    + " first (URL: " + url + ")", "08001");
        }
        Properties info = new Properties();
        info.setProperty(ConnectionUrl.USER, user == null ? "" : user);
        info.setProperty(ConnectionUrl.PASSWORD, password == null ? "" : password);
        if (charset != null) {
            info.setProperty(ConnectionUrl.CHARSET, charset);
        }
        return JovConnection.open(ConnectionUrl.parse(url, info), loginTimeoutSeconds);
    }

    /** Offered to the ODBC driver as its login timeout; 0, the start, for its own default. */
    @Override
    public void setLoginTimeout(int seconds) throws SQLException {
        if (seconds < 0) {
            throw Errors.create("Login timeout " + seconds + " is negative", Errors.INVALID_ARGUMENT);
        }
        loginTimeoutSeconds = seconds;
    }

    @Override
    public int getLoginTimeout() {
        return loginTimeoutSeconds;
    }

    @Override
    public PrintWriter getLogWriter() {
        return logWriter;
    }

    @Override
    public void setLogWriter(PrintWriter out) {
        logWriter = out;
    }

    @Override
    public Logger getParentLogger() {
        return Logger.getLogger("jov.jdbc.odbc");
    }

    @Override
    public <T> T unwrap(Class<T> iface) throws SQLException {
        return Wrappers.unwrap(this, iface);
    }

    @Override
    public boolean isWrapperFor(Class<?> iface) {
        return iface.isInstance(this);
    }
}

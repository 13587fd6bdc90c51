package jov.jdbc.odbc.driver;

import java.sql.Connection;
import java.sql.Driver;
import java.sql.DriverManager;
import java.sql.DriverPropertyInfo;
import java.sql.SQLException;
import java.util.Properties;
import java.util.logging.Logger;

/**
 * The JDBC driver over the library: {@code jdbc:jov:odbc:<data source>[;user=...;password=...]}
 * or {@code jdbc:jov:odbc:<ODBC connection string>} (see {@link ConnectionUrl}).
 *
 * <p>Registers itself with DriverManager when loaded, and is named in
 * {@code META-INF/services/java.sql.Driver} so that DriverManager finds it
 * on the class path. Not JDBC compliant: no stored procedures, no updatable
 * results, parameters bound on the client.
 */
public final class JovDriver implements Driver {

    static {
        try {
            DriverManager.registerDriver(new JovDriver());
        } catch (SQLException e) {
            throw new ExceptionInInitializerError(e);
        }
    }

    /**
     * Answers null for a URL of another driver, as DriverManager expects.
     * DriverManager's login timeout is offered to the ODBC driver.
     */
    @Override
    public Connection connect(String url, Properties info) throws SQLException {
        if (!acceptsURL(url)) {
            return null;
        }
        return JovConnection.open(ConnectionUrl.parse(url, info), DriverManager.getLoginTimeout());
    }

    @Override
    public boolean acceptsURL(String url) {
        return ConnectionUrl.accepts(url);
    }

    @Override
    public DriverPropertyInfo[] getPropertyInfo(String url, Properties info) throws SQLException {
        if (!acceptsURL(url)) {
            return new DriverPropertyInfo[0];
        }
        return ConnectionUrl.parse(url, info).propertyInfo();
    }

    @Override
    public int getMajorVersion() {
        return DriverInfo.MAJOR_VERSION;
    }

    @Override
    public int getMinorVersion() {
        return DriverInfo.MINOR_VERSION;
    }

    @Override
    public boolean jdbcCompliant() {
        return false;
    }

    /** The library's logger; the driver logs under it, SQL at FINE. */
    @Override
    public Logger getParentLogger() {
        return Logger.getLogger("jov.jdbc.odbc");
    }
}

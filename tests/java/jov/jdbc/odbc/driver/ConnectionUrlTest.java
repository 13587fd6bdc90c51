package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.sql.SQLException;
import java.util.Properties;
import org.junit.jupiter.api.Test;

/** URLs and properties as the driver reads them. */
class ConnectionUrlTest {

    @Test
    void theUrlsSettingsWinOverProperties() throws SQLException {
        Properties info = new Properties();
        info.setProperty("user", "fromProperties");
        info.setProperty("password", "secret");
        info.setProperty("somePoolSetting", "ignored");
        ConnectionUrl url = ConnectionUrl.parse("jdbc:jov:odbc:Sales;user=fromUrl;", info);
        assertEquals("Sales", url.dataSource());
        assertEquals("fromUrl", url.user());
        assertEquals("secret", url.password());
        assertEquals("", ConnectionUrl.parse("jdbc:jov:odbc:Sales", null).password());
    }

    @Test
    void badUrlsAreRefused() {
        assertFalse(ConnectionUrl.accepts("jdbc:odbc:Sales"));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:;user=x", null));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:Sales;usr=x", null));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:Sales;user", null));
    }
}

package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.SQLException;
import java.util.Properties;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;
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
        assertEquals("DSN=Sales;UID=fromUrl;PWD=secret", url.target().build(OdbcNatives.WINDOWS_31J));
        assertEquals("jdbc:jov:odbc:Sales;user=fromUrl", url.url());
        assertEquals("DSN=Sales", ConnectionUrl.parse("jdbc:jov:odbc:Sales", null).target()
                .build(OdbcNatives.WINDOWS_31J));
    }

    /** An '=' before the first ';' makes it a connection string, whose own UID counts over the properties. */
    @Test
    void aConnectionStringTakesTheLoginItLacks() throws SQLException {
        Properties info = new Properties();
        info.setProperty("user", "taro");
        info.setProperty("password", "p;w");
        info.setProperty("charset", "Windows-31J");
        ConnectionUrl url = ConnectionUrl.parse("jdbc:jov:odbc:Driver={My Driver};Server=h;PWD={s}}x}", info);
        assertEquals("Driver=My Driver;Server=h;PWD={s}}x};UID=taro", url.target().build(OdbcNatives.WINDOWS_31J));
        assertEquals("jdbc:jov:odbc:Driver=My Driver;Server=h", url.url());
        assertEquals("taro", url.user());
        assertEquals("own", ConnectionUrl.parse("jdbc:jov:odbc:DSN=Pg;uid=own", info).user());
        SQLException refused = assertThrows(SQLException.class,
                () -> ConnectionUrl.parse("jdbc:jov:odbc:DSN=Pg;PWD={secret", info));
        assertEquals("08001", refused.getSQLState());
        assertFalse(refused.getMessage().contains("secret"), refused.getMessage());
    }

    @Test
    void badUrlsAreRefused() {
        assertFalse(ConnectionUrl.accepts("jdbc:odbc:Sales"));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:;user=x", null));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:Sales;usr=x", null));
        assertThrows(SQLException.class, () -> ConnectionUrl.parse("jdbc:jov:odbc:Sales;user", null));
    }

    /** UTF-8 by default, Windows-31J in any case from the URL or a property; anything else is refused by name. */
    @Test
    void theCharsetIsOneOfTwo() throws SQLException {
        assertEquals(OdbcNatives.UNICODE, ConnectionUrl.parse("jdbc:jov:odbc:Sales", null).charset());
        Properties info = new Properties();
        info.setProperty("charset", "windows-31j");
        assertEquals(OdbcNatives.WINDOWS_31J, ConnectionUrl.parse("jdbc:jov:odbc:Sales", info).charset());
        assertEquals(OdbcNatives.UNICODE, ConnectionUrl.parse("jdbc:jov:odbc:Sales;charset=utf-8", info).charset());
        SQLException refused = assertThrows(SQLException.class,
                () -> ConnectionUrl.parse("jdbc:jov:odbc:Sales;charset=Shift_JIS", null));
        assertEquals("08001", refused.getSQLState());
        assertTrue(refused.getMessage().contains("Shift_JIS"), refused.getMessage());
    }
}

package jov.jdbc.odbc.driver;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.sql.DatabaseMetaData;
import java.sql.SQLFeatureNotSupportedException;
import org.junit.jupiter.api.Test;

/** A database the driver does not know: nothing is invented, no query is even tried. */
class JovDatabaseMetaDataTest {

    @Test
    void refusesCataloguesOfAnUnknownDatabase() throws Exception {
        DatabaseMetaData md = new JovDatabaseMetaData(null, "jdbc:jov:odbc:Other", "scott", Dialects.OTHER);
        assertEquals("0A000", assertThrows(SQLFeatureNotSupportedException.class,
                () -> md.getTables(null, null, "%", null)).getSQLState());
        assertThrows(SQLFeatureNotSupportedException.class, md::getClientInfoProperties);
        assertThrows(SQLFeatureNotSupportedException.class, () -> md.getProcedures(null, null, "%"));
        assertEquals("", md.getDatabaseProductName());
        assertFalse(md.supportsSavepoints() || md.supportsUnion() || md.supportsColumnAliasing());
        assertEquals("jdbc:jov:odbc:Other scott", md.getURL() + " " + md.getUserName());
    }
}

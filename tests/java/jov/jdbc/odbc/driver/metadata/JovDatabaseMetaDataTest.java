package jov.jdbc.odbc.driver.metadata;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.ResultSet;
import java.sql.Types;
import java.util.Arrays;
import java.util.List;
import java.util.Map;
import java.util.regex.Pattern;
import org.junit.jupiter.api.Test;

/**
 * What the catalogue answers make of any ODBC driver's rows, without a
 * database: positions over names, type codes as JDBC's, the columns a driver
 * leaves out as NULL.
 */
class JovDatabaseMetaDataTest {

    @Test
    void reshapesAnOdbcRowIntoJdbcColumns() throws Exception {
        // An ODBC 2 driver: 12 columns (no CHAR_OCTET_LENGTH and after), SQL_TIMESTAMP as 11, sizes as "23.0".
        Map<Integer, String> odbc = Map.of(3, "t", 4, "stamp", 5, "11", 7, "23.0", 11, "1");
        Object[] row = CatalogShapes.COLUMNS.convert(odbc::get, 12);
        assertEquals(24, row.length);
        assertArrayEquals(new Object[] {null, null, "t", "stamp", Types.TIMESTAMP, null, 23}, Arrays.copyOf(row, 7));
        assertEquals(1, row[10]);
        assertEquals(null, row[16], "ORDINAL_POSITION: a column past the driver's");
        assertEquals("", row[22], "IS_AUTOINCREMENT: unknown");

        ResultSet rs = new CatalogResult(null, CatalogShapes.COLUMNS, List.<Object[]>of(row), null);
        assertEquals("DATA_TYPE", rs.getMetaData().getColumnName(5));
        assertTrue(rs.next());
        assertEquals(Types.TIMESTAMP, rs.getInt("data_type"));
        assertEquals(0, rs.getInt("ORDINAL_POSITION"));
        assertTrue(rs.wasNull());
        assertFalse(rs.next());
    }

    @Test
    void readsJdbcPatternsWithTheDriversEscape() {
        Pattern p = CatalogShapes.likePattern("a\\_b%", "\\", false);
        assertTrue(p.matcher("a_bcd").matches());
        assertFalse(p.matcher("axb").matches());
        assertTrue(CatalogShapes.likePattern("p_b", "", false).matcher("pub").matches());
        assertFalse(CatalogShapes.likePattern("p_b", "", false).matcher("PUB").matches());
        assertTrue(CatalogShapes.likePattern("p_b", "", true).matcher("PUB").matches());
        assertTrue(CatalogShapes.likePattern("表😀_%", "\\", false).matcher("表😀😀").matches(), "by code points");
    }

    @Test
    void readsTheVersionNumbersDriversReport() {
        assertEquals("16 2", JovDatabaseMetaData.versionPart("16.2 (Debian 16.2-1)", 1) + " "
                + JovDatabaseMetaData.versionPart("16.2 (Debian 16.2-1)", 2));
        assertEquals(10, JovDatabaseMetaData.versionPart("10.11.0006 - MariaDB", 1));
        assertEquals(0, JovDatabaseMetaData.versionPart("", 1));
    }
}

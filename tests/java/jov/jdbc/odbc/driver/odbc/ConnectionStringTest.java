package jov.jdbc.odbc.driver.odbc;

import static org.junit.jupiter.api.Assertions.assertEquals;

import org.junit.jupiter.api.Test;

/** Values that would end or change the connection string stay one value; plain ones stay unbraced. */
class ConnectionStringTest {

    @Test
    void valuesAreBracedOnlyWhereTheyMustBe() {
        assertEquals("DSN=Sales;UID=taro;PWD={p;w}}d=}", ConnectionString.build("Sales", "taro", "p;w}d=",
                OdbcNatives.WINDOWS_31J));
        assertEquals("DSN={ Sales};UID={};PWD={a{b}", ConnectionString.build(" Sales", "", "a{b",
                OdbcNatives.WINDOWS_31J));
        assertEquals("DSN=Sales", ConnectionString.build("Sales", "", "", OdbcNatives.WINDOWS_31J));
    }
}

package jov.jdbc.odbc.driver.odbc;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;

import org.junit.jupiter.api.Test;

/** Values that would end or change the connection string stay one value; plain ones stay unbraced. */
class ConnectionStringTest {

    @Test
    void valuesAreBracedOnlyWhereTheyMustBe() {
        assertEquals("DSN=Sales;UID=taro;PWD={p;w}}d=}", ConnectionString.ofDataSource("Sales")
                .withLogin("taro", "p;w}d=").build(OdbcNatives.WINDOWS_31J));
        assertEquals("DSN={ Sales};UID={};PWD={a{b}", ConnectionString.ofDataSource(" Sales")
                .withLogin("", "a{b").build(OdbcNatives.WINDOWS_31J));
        assertEquals("DSN=Sales", ConnectionString.ofDataSource("Sales").withLogin("", "")
                .build(OdbcNatives.WINDOWS_31J));
    }

    /** Braces hold ';' and doubled '}'; the first of a repeated key counts, in any case; empty attributes vanish. */
    @Test
    void readsAsOdbcDoes() {
        ConnectionString s = ConnectionString.parse(
                "Driver={SQLite3};;Database= {/a;b}}c} ;PWD={x}}};pwd=second;Empty=;");
        assertEquals("SQLite3", s.value("DRIVER"));
        assertEquals("/a;b}c", s.value("database"));
        assertEquals("x}", s.value("Pwd"));
        assertEquals("", s.value("Empty"));
        assertEquals("Driver=SQLite3;Database={/a;b}}c};PWD={x}}};Empty={}",
                s.build(OdbcNatives.WINDOWS_31J));
    }

    /** A login never adds keys beside what the string says, whatever it holds; shown, no password remains. */
    @Test
    void theStringsLoginCountsAndPasswordsAreNotShown() {
        ConnectionString s = ConnectionString.parse("DSN=Pg;User=own;Password={s;}}x}")
                .withLogin("other;PWD=evil", "p}w;UID=evil");
        assertEquals("DSN=Pg;User=own;Password={s;}}x}", s.build(OdbcNatives.WINDOWS_31J));
        assertEquals("DSN=Pg;User=own", s.shown());
        ConnectionString merged = ConnectionString.parse("DSN=Pg").withLogin("a}b", "p}w;UID=evil");
        assertEquals("DSN=Pg;UID={a}}b};PWD={p}}w;UID=evil}", merged.build(OdbcNatives.WINDOWS_31J));
        assertFalse(merged.shown().contains("evil"));
    }

    @Test
    void brokenStringsAreRefusedWithoutEchoingValues() {
        for (String bad : new String[] {"DSN=x;secret", "DSN=x;=v", "DSN=x;PWD={secret", "DSN=x;PWD={a}secret"}) {
            IllegalArgumentException e = assertThrows(IllegalArgumentException.class,
                    () -> ConnectionString.parse(bad), bad);
            assertFalse(e.getMessage().contains("secret"), e.getMessage());
        }
        assertThrows(IllegalArgumentException.class,
                () -> ConnectionString.parse("Driver=M;CHARSET=latin1").checkPins(OdbcNatives.UNICODE));
        ConnectionString.parse("Driver=M;CHARSET=latin1").checkPins(OdbcNatives.WINDOWS_31J);
    }
}

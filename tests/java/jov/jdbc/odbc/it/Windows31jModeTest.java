package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertFalse;
import static org.junit.jupiter.api.Assertions.assertThrows;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.sql.BatchUpdateException;
import java.sql.Connection;
import java.sql.DriverManager;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.SQLException;
import java.util.Properties;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;
import org.junit.jupiter.params.provider.ValueSource;

/**
 * charset=Windows-31J (URL key or connection property) keeps the older
 * driver's encoding, for SQLite files that hold Windows-31J bytes. A
 * character Windows-31J lacks is refused with 22021 naming it, never
 * replaced with '?'. Java's Windows-31J has no é and no 〜 U+301C (its 0x8160
 * is ～ U+FF5E).
 */
class Windows31jModeTest {
    private static final String RIGS = "jov.jdbc.odbc.it.Rig#all";

    private static Connection connect(Rig rig, boolean inUrl) throws SQLException {
        Properties props = new Properties();
        props.setProperty("user", rig.user);
        props.setProperty("password", rig.password);
        if (!inUrl) {
            props.setProperty("charset", "Windows-31J");
        }
        return DriverManager.getConnection(Jdbc.url(rig) + (inUrl ? ";charset=Windows-31J" : ""), props);
    }

    /** ソ表能 is 83 5C 95 5C 94 5C in Windows-31J, in SQL text and as a parameter. */
    @ParameterizedTest(name = "charset in the URL: {0}")
    @ValueSource(booleans = {true, false})
    void sqliteHoldsWindows31jBytes(boolean inUrl) throws SQLException {
        try (Connection c = connect(Rig.SQLITE, inUrl)) {
            c.createStatement().executeUpdate("CREATE TEMP TABLE w (v text)");
            c.createStatement().executeUpdate("INSERT INTO w VALUES ('ソ表能')");
            try (PreparedStatement insert = c.prepareStatement("INSERT INTO w VALUES (?)")) {
                insert.setString(1, "ソ表能");
                insert.executeUpdate();
            }
            try (ResultSet rows = c.createStatement().executeQuery("SELECT v, hex(v) FROM w")) {
                for (int row = 0; row < 2; row++) {
                    assertTrue(rows.next());
                    assertEquals("ソ表能", rows.getString(1));
                    assertEquals("835C955C945C", rows.getString(2));
                }
            }
        }
    }

    /**
     * Text read in blocks, which the library hands out as UTF-8: short
     * values, NULLs and values whose UTF-8 outgrows their bound width
     * (half-width kana take three bytes for one) all read exactly.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void textReadInBlocksIsExact(Rig rig) throws SQLException {
        String[] shorts = {"abc", "ソ表能～", null, "ｱ".repeat(10)};
        String[] longs = {"ｶﾀｶﾅ".repeat(50), null, "表".repeat(300), "x"};
        int rows = 300;
        try (Jdbc owner = Jdbc.open(rig); Connection c = connect(rig, true)) {
            String table = owner.createTable("id integer, s varchar(10), t " + rig.longTextType);
            c.setAutoCommit(false);
            try (PreparedStatement insert = c.prepareStatement("INSERT INTO " + table + " VALUES (?, ?, ?)")) {
                for (int id = 0; id < rows; id++) {
                    insert.setInt(1, id);
                    insert.setString(2, shorts[id % shorts.length]);
                    insert.setString(3, longs[id % longs.length]);
                    insert.addBatch();
                }
                insert.executeBatch();
            }
            c.commit();
            try (ResultSet read = c.createStatement().executeQuery("SELECT id, s, t FROM " + table + " ORDER BY id")) {
                for (int id = 0; id < rows; id++) {
                    assertTrue(read.next());
                    assertEquals(shorts[id % shorts.length], read.getString(2), "row " + id);
                    assertEquals(longs[id % longs.length], read.getString(3), "row " + id);
                }
                assertFalse(read.next());
            }
        }
    }

    /**
     * A batch row Windows-31J cannot carry stops the batch there: the rows
     * before it are counted and kept, whether the rows went as a parameter
     * array (refused whole at binding, then run row by row) or one by one.
     */
    @ParameterizedTest
    @MethodSource(RIGS)
    void anUnmappableBatchRowStopsTheBatchThere(Rig rig) throws SQLException {
        try (Jdbc owner = Jdbc.open(rig); Connection c = connect(rig, true)) {
            String table = owner.createTable("v " + rig.longTextType);
            try (PreparedStatement insert = c.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                for (String value : new String[] {"ソ", "😀", "表"}) {
                    insert.setString(1, value);
                    insert.addBatch();
                }
                BatchUpdateException stopped = assertThrows(BatchUpdateException.class, insert::executeBatch);
                assertEquals("22021", stopped.getSQLState(), stopped.getMessage());
                assertArrayEquals(new int[] {1}, stopped.getUpdateCounts());
            }
            try (ResultSet rows = c.createStatement().executeQuery("SELECT v FROM " + table)) {
                assertTrue(rows.next());
                assertEquals("ソ", rows.getString(1));
                assertFalse(rows.next());
            }
        }
    }

    @ParameterizedTest
    @MethodSource(RIGS)
    void unmappableCharactersAreRefused(Rig rig) throws SQLException {
        try (Jdbc owner = Jdbc.open(rig); Connection c = connect(rig, true)) {
            String table = owner.createTable("v " + rig.longTextType);
            for (String unmappable : new String[] {"😀", "é", "〜"}) {
                String named = String.format("U+%04X", unmappable.codePointAt(0));
                SQLException inParameter = assertThrows(SQLException.class, () -> {
                    try (PreparedStatement insert = c.prepareStatement("INSERT INTO " + table + " VALUES (?)")) {
                        insert.setString(1, "a" + unmappable);
                        insert.executeUpdate();
                    }
                });
                assertEquals("22021", inParameter.getSQLState(), inParameter.getMessage());
                assertTrue(inParameter.getMessage().contains(named), inParameter.getMessage());
                assertTrue(inParameter.getMessage().toLowerCase().contains("parameter"), inParameter.getMessage());
                SQLException inSql = assertThrows(SQLException.class, () -> c.createStatement()
                        .executeUpdate("INSERT INTO " + table + " VALUES ('a" + unmappable + "')"));
                assertEquals("22021", inSql.getSQLState(), inSql.getMessage());
                assertTrue(inSql.getMessage().contains(named), inSql.getMessage());
            }
            try (ResultSet rows = c.createStatement().executeQuery("SELECT count(*) FROM " + table)) {
                assertTrue(rows.next());
                assertEquals(0, rows.getInt(1), "rows stored");
            }
        }
    }
}

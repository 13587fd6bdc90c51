package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assumptions.assumeTrue;

import java.nio.charset.Charset;
import java.nio.charset.StandardCharsets;
import java.util.HexFormat;
import java.util.List;
import org.junit.jupiter.api.Test;

/** Cases only MariaDB's driver needs: the others have no such types or character set option. */
class MariaDbTest {
    private static final Charset WINDOWS_31J = Charset.forName("windows-31j");

    /**
     * With the session character set cp932 the server parses the Windows-31J
     * bytes of the SQL (a second byte 0x5C is no backslash escape there) and
     * stores the characters in utf8mb4, from which they come back as the same
     * Windows-31J bytes.
     */
    @Test
    void windows31jCharactersAreStoredAsTheirCharactersAndComeBackWhole() {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.MARIA), "JovMaria not selected");
        // Second byte 0x5C (ソ 表 能, and the IBM extension 纊), half-width
        // katakana, NEC extensions (① Ⅰ ㈱), and the wave dash as Windows-31J
        // has it (0x8160, U+FF5E).
        List<String> values = List.of("ソ表能", "ｱｲｳｴｵﾞ", "①Ⅰ㈱", "纊", "～", "ソ\\表'");
        try (Db db = Db.open(Rig.MARIA)) {
            String table = db.createTable("k integer, s varchar(20)");
            for (int k = 0; k < values.size(); k++) {
                String literal = values.get(k).replace("\\", "\\\\").replace("'", "''");
                db.exec("INSERT INTO " + table + " VALUES (" + k + ", '" + literal + "')");
            }
            List<List<String>> rows = db.rows(
                    "SELECT s, HEX(s), HEX(CONVERT(s USING cp932)) FROM " + table + " ORDER BY k");
            for (int k = 0; k < values.size(); k++) {
                String value = values.get(k);
                assertEquals(List.of(value, hex(value.getBytes(StandardCharsets.UTF_8)),
                        hex(value.getBytes(WINDOWS_31J))), rows.get(k), value);
            }
            // The wave dash as Unix writes it (U+301C) crosses as 0x8160 too,
            // so it comes back as Windows-31J's U+FF5E.
            assertEquals(List.of(List.of("8160", "\uFF5E")), db.rows("SELECT HEX('\u301C'), '\u301C'"));
        }
    }

    /**
     * The driver reports BIGINT UNSIGNED as SQL_BIGINT, whose values past
     * 2^63 - 1 no signed read holds, and writes a BIT read as a 64-bit
     * integer in one byte.
     */
    @Test
    void unsignedBigintAndBitComeWhole() {
        assumeTrue(Rig.all().anyMatch(r -> r == Rig.MARIA), "JovMaria not selected");
        try (Db db = Db.open(Rig.MARIA)) {
            String table = db.createTable("k integer, u bigint unsigned, b bit(1)");
            db.exec("INSERT INTO " + table + " VALUES (1, 18446744073709551615, b'1'), (2, 7, b'0')");
            // The bit is read where the long text before it was.
            assertEquals(List.of(List.of("18446744073709551615", "1"), List.of("7", "0")),
                    db.rows("SELECT u, b FROM " + table + " ORDER BY k"));
        }
    }

    private static String hex(byte[] bytes) {
        return HexFormat.of().withUpperCase().formatHex(bytes);
    }
}

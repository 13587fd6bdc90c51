package jov.jdbc.odbc.it;

import static org.junit.jupiter.api.Assertions.assertArrayEquals;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertNull;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.io.ByteArrayInputStream;
import java.io.Reader;
import java.io.StringReader;
import java.io.StringWriter;
import java.sql.PreparedStatement;
import java.sql.ResultSet;
import java.sql.Statement;
import java.util.Map;
import java.util.stream.Stream;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Values of any length read whole through every getter, with no
 * DataTruncation: 1 MiB and 16 MiB of text (characters of 1 to 4 UTF-8
 * bytes, so that the driver's pieces end inside them) and of bytes.
 */
class LongValueTest {
    private static final int MIB = 1 << 20;

    interface Getter<T> {
        T get(ResultSet rows) throws Exception;
    }

    private static final Map<String, Getter<String>> TEXT_GETTERS = Map.of(
            "getString", rows -> rows.getString(1),
            "getCharacterStream", rows -> {
                StringWriter all = new StringWriter();
                try (Reader reader = rows.getCharacterStream(1)) {
                    reader.transferTo(all);
                }
                return all.toString();
            },
            "getObject", rows -> (String) rows.getObject(1));
    private static final Map<String, Getter<byte[]>> BINARY_GETTERS = Map.of(
            "getBytes", rows -> rows.getBytes(1),
            "getBinaryStream", rows -> rows.getBinaryStream(1).readAllBytes(),
            "getObject", rows -> (byte[]) rows.getObject(1));

    static Stream<Arguments> sizes() {
        return Rig.all().flatMap(rig -> Stream.of(Arguments.of(rig, MIB), Arguments.of(rig, 16 * MIB)));
    }

    /** The 16 MiB values are written through the stream setters, the 1 MiB ones through setString and setBytes. */
    @ParameterizedTest(name = "{0}, {1} characters and bytes")
    @MethodSource("sizes")
    void wholeValuesThroughEveryGetter(Rig rig, int size) throws Exception {
        String text = UnicodeTextTest.text(size);
        byte[] bytes = new byte[size];
        for (int i = 0; i < size; i++) {
            bytes[i] = (byte) (i * 131 + (i >> 11));
        }
        try (Jdbc db = Jdbc.open(rig)) {
            String table = db.createTable("t " + UnicodeTextTest.textType(rig) + ", b " + rig.binaryType);
            try (PreparedStatement insert = db.connection.prepareStatement(
                    "INSERT INTO " + table + " (t, b) VALUES (?, ?)")) {
                if (size > MIB) {
                    insert.setCharacterStream(1, new StringReader(text), text.length());
                    insert.setBinaryStream(2, new ByteArrayInputStream(bytes), bytes.length);
                } else {
                    insert.setString(1, text);
                    insert.setBytes(2, bytes);
                }
                assertEquals(1, insert.executeUpdate());
            }
            for (Map.Entry<String, Getter<String>> getter : TEXT_GETTERS.entrySet()) {
                UnicodeTextTest.assertExact(text, read(db, "SELECT t FROM " + table, getter.getValue()), getter.getKey());
            }
            for (Map.Entry<String, Getter<byte[]>> getter : BINARY_GETTERS.entrySet()) {
                assertArrayEquals(bytes, read(db, "SELECT b FROM " + table, getter.getValue()), getter.getKey());
            }
        }
    }

    private static <T> T read(Jdbc db, String sql, Getter<T> getter) throws Exception {
        try (Statement statement = db.connection.createStatement(); ResultSet rows = statement.executeQuery(sql)) {
            assertTrue(rows.next());
            T value = getter.get(rows);
            assertNull(rows.getWarnings(), "warning");
            return value;
        }
    }
}

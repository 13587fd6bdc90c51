package jov.jdbc.odbc.driver.statement;

import static java.nio.charset.StandardCharsets.US_ASCII;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertThrows;

import java.io.ByteArrayInputStream;
import java.io.FilterInputStream;
import java.io.IOException;
import java.io.InputStream;
import java.sql.SQLException;
import org.junit.jupiter.api.Test;

/** Stream parameters are read whole, however few bytes each read hands out. */
class StreamsTest {

    /** Ten bytes, one per read, as a pipe or a socket may give them. */
    private static InputStream trickle() {
        return new FilterInputStream(new ByteArrayInputStream("0123456789".getBytes(US_ASCII))) {
            @Override
            public int read(byte[] buffer, int offset, int length) throws IOException {
                return super.read(buffer, offset, Math.min(length, 1));
            }
        };
    }

    @Test
    void aStreamIsReadToItsLengthOrToItsEnd() throws SQLException {
        assertEquals("01234", new String(Streams.bytes(trickle(), 5), US_ASCII));
        assertEquals("0123456789", new String(Streams.bytes(trickle(), -1), US_ASCII));
        assertEquals("22001", assertThrows(SQLException.class, () -> Streams.bytes(trickle(), 11)).getSQLState());
    }
}

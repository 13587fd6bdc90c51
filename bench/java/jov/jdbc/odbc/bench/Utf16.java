package jov.jdbc.odbc.bench;

import java.io.IOException;
import java.io.OutputStream;

/** Writes Java strings as UTF-16LE code units, the form of the value dumps. */
final class Utf16 {

    private Utf16() {
    }

    static void write(OutputStream out, String text) throws IOException {
        for (int i = 0; i < text.length(); i++) {
            char unit = text.charAt(i);
            out.write(unit & 0xFF);
            out.write(unit >>> 8);
        }
    }
}

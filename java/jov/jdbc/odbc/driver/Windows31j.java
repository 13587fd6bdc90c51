package jov.jdbc.odbc.driver;

import java.nio.charset.Charset;

/** Byte lengths of text in the library's code page, for its fixed-size limits. */
final class Windows31j {

    private static final Charset CHARSET = Charset.forName("windows-31j");

    private Windows31j() {
    }

    /** Bytes the text takes in Windows-31J. */
    static int length(String text) {
        return text.getBytes(CHARSET).length;
    }
}

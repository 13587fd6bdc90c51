package jov.jdbc.odbc.driver.text;

import java.nio.charset.Charset;

/** Byte lengths of text in Windows-31J, which a streamed text parameter announces in that charset. */
public final class Windows31j {

    private static final Charset CHARSET = Charset.forName("windows-31j");

    private Windows31j() {
    }

    /** Bytes the text takes in Windows-31J. */
    public static int length(String text) {
        return text.getBytes(CHARSET).length;
    }
}

package jov.jdbc.odbc.driver.text;

import java.nio.charset.StandardCharsets;

/**
 * UTF-8 decoded as the library decodes it, so that a value reads the same
 * whether Java or the library decoded it: well-formed text exactly, and every
 * byte that starts no well-formed sequence as one U+FFFD. Java's own decoder
 * does the work (it is several times faster than the library's loop and a
 * String built from UTF-16); only text it replaced something in is decoded
 * again here, since it replaces a cut sequence once where the library
 * replaces each of its bytes.
 */
public final class Utf8 {

    private static final char REPLACEMENT = '\uFFFD';

    private Utf8() {
    }

    /** The text of all of bytes. */
    public static String decode(byte[] bytes) {
        return decode(bytes, 0, bytes.length);
    }

    /** The text of length bytes from offset. */
    public static String decode(byte[] bytes, int offset, int length) {
        String text = new String(bytes, offset, length, StandardCharsets.UTF_8);
        return text.indexOf(REPLACEMENT) >= 0 ? exactly(bytes, offset, length) : text;
    }

    /**
     * Text Java's decoder replaced something in, decoded again: every byte
     * that starts no well-formed sequence (overlong, surrogate, past
     * U+10FFFF, cut short) is one U+FFFD.
     */
    private static String exactly(byte[] bytes, int offset, int length) {
        char[] text = new char[length];
        int chars = 0;
        int i = offset;
        int end = offset + length;
        while (i < end) {
            int n = sequenceLength(bytes, i, end);
            if (n == 0) {
                text[chars++] = REPLACEMENT;
                i++;
                continue;
            }
            int c = n == 1 ? bytes[i] : bytes[i] & (0xFF >> (n + 1));
            for (int k = 1; k < n; k++) {
                c = c << 6 | bytes[i + k] & 0x3F;
            }
            chars += Character.toChars(c, text, chars);
            i += n;
        }
        return new String(text, 0, chars);
    }

    /** The length of the well-formed sequence at i (no overlong form, surrogate or code point past U+10FFFF), 0 when none starts there. */
    private static int sequenceLength(byte[] b, int i, int end) {
        int lead = b[i] & 0xFF;
        int n;
        int min;
        if (lead < 0x80) {
            return 1;
        } else if (lead >= 0xC2 && lead <= 0xDF) {
            n = 2;
            min = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            n = 3;
            min = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            n = 4;
            min = 0x10000;
        } else {
            return 0;
        }
        if (n > end - i) {
            return 0;
        }
        int c = lead & (0xFF >> (n + 1));
        for (int k = 1; k < n; k++) {
            if ((b[i + k] & 0xC0) != 0x80) {
                return 0;
            }
            c = c << 6 | b[i + k] & 0x3F;
        }
        boolean surrogate = c >= 0xD800 && c <= 0xDFFF;
        return c < min || c > 0x10FFFF || surrogate ? 0 : n;
    }
}

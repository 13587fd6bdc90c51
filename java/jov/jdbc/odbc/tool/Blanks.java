package jov.jdbc.odbc.tool;

import java.util.Arrays;

/**
 * Blanks for the tool's layout and for trimming what it reads. White space is
 * what {@link Character#isWhitespace(char)} says, as everywhere in the tool:
 * the ideographic space U+3000 is white space, control characters are not
 * (unlike {@link String#trim()}).
 */
final class Blanks {

    private Blanks() {
    }

    /** {@code count} times {@code c}. */
    static String repeat(char c, int count) {
        char[] chars = new char[count];
        Arrays.fill(chars, c);
        return new String(chars);
    }

    /** The text without the white space at either end. */
    static String strip(String text) {
        int start = 0;
        while (start < text.length() && Character.isWhitespace(text.charAt(start))) {
            start++;
        }
        return stripTrailing(text.substring(start));
    }

    /** The text without the white space at its end. */
    static String stripTrailing(String text) {
        int end = text.length();
        while (end > 0 && Character.isWhitespace(text.charAt(end - 1))) {
            end--;
        }
        return text.substring(0, end);
    }
}

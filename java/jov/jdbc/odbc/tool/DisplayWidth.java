package jov.jdbc.odbc.tool;

/**
 * Columns a text takes on a terminal with a monospaced font: East Asian wide
 * and full-width characters (kanji, kana, hangul, full-width forms, most
 * emoji) take 2, combining marks and format characters 0, everything else 1.
 * Half-width katakana (U+FF61..U+FF9F) take 1. Characters of ambiguous width
 * (circled digits, Greek, box drawing) are counted as narrow, as terminals
 * outside an East Asian locale show them.
 */
final class DisplayWidth {

    /** Code point ranges, inclusive and ascending, of East Asian wide and full-width characters. */
    private static final int[][] WIDE = {
        {0x1100, 0x115F},   // Hangul Jamo initial consonants
        {0x231A, 0x231B},   // watch, hourglass
        {0x2329, 0x232A},   // angle brackets
        {0x2E80, 0x303E},   // CJK radicals, Kangxi radicals, CJK symbols and punctuation
        {0x3041, 0x33FF},   // hiragana, katakana, bopomofo, compatibility jamo, CJK compatibility
        {0x3400, 0x4DBF},   // CJK extension A
        {0x4E00, 0x9FFF},   // CJK unified ideographs
        {0xA000, 0xA4CF},   // Yi
        {0xA960, 0xA97F},   // Hangul Jamo extended A
        {0xAC00, 0xD7A3},   // Hangul syllables
        {0xF900, 0xFAFF},   // CJK compatibility ideographs
        {0xFE10, 0xFE19},   // vertical forms
        {0xFE30, 0xFE6F},   // CJK compatibility forms, small form variants
        {0xFF00, 0xFF60},   // full-width ASCII forms
        {0xFFE0, 0xFFE6},   // full-width signs
        {0x1B000, 0x1B16F}, // kana supplement and extensions
        {0x1F300, 0x1F64F}, // pictographs, emoticons
        {0x1F900, 0x1F9FF}, // supplemental pictographs
        {0x20000, 0x2FFFD}, // CJK extensions B and later
        {0x30000, 0x3FFFD}, // CJK extension G and later
    };

    private DisplayWidth() {
    }

    /** Columns of one code point: 0, 1 or 2. */
    static int of(int codePoint) {
        int type = Character.getType(codePoint);
        if (type == Character.NON_SPACING_MARK || type == Character.ENCLOSING_MARK
                || type == Character.FORMAT) {
            return 0;
        }
        return isWide(codePoint) ? 2 : 1;
    }

    /** Columns of a whole text. */
    static int of(String text) {
        return text.codePoints().map(DisplayWidth::of).sum();
    }

    /** The text followed by blanks up to the given width (unchanged when already as wide). */
    static String padRight(String text, int width) {
        return text + Blanks.repeat(' ', Math.max(0, width - of(text)));
    }

    /** Blanks up to the given width followed by the text. */
    static String padLeft(String text, int width) {
        return Blanks.repeat(' ', Math.max(0, width - of(text))) + text;
    }

    private static boolean isWide(int codePoint) {
        int low = 0;
        int high = WIDE.length - 1;
        while (low <= high) {
            int middle = (low + high) >>> 1;
            if (codePoint < WIDE[middle][0]) {
                high = middle - 1;
            } else if (codePoint > WIDE[middle][1]) {
                low = middle + 1;
            } else {
                return true;
            }
        }
        return false;
    }
}

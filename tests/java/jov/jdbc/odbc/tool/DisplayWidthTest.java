package jov.jdbc.odbc.tool;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** Terminal columns of text, East Asian wide characters counting 2. */
class DisplayWidthTest {

    static List<Arguments> texts() {
        return List.of(
                Arguments.of("", 0),
                Arguments.of("abc", 3),
                Arguments.of("山田太郎", 8),
                Arguments.of("ひらがな", 8),
                Arguments.of("カタカナ", 8),
                Arguments.of("ﾔﾏﾀﾞ ﾀﾛｳ", 8),          // half-width katakana are narrow
                Arguments.of("ノートPC", 8),
                Arguments.of("ＡＢＣ１２３", 12),      // full-width forms
                Arguments.of("　", 2),                // ideographic space
                Arguments.of("、。「」", 8),
                Arguments.of("한국어", 6),
                Arguments.of("①○", 2),               // ambiguous width: narrow
                Arguments.of("é", 1),                 // precomposed
                Arguments.of("e\u0301", 1),           // e and a combining acute accent
                Arguments.of("\u200b", 0),            // zero-width space (format character)
                Arguments.of("\uD842\uDFB7", 2),      // U+20BB7, a kanji outside the BMP
                Arguments.of("\uD83D\uDE00", 2));     // an emoji
    }

    @ParameterizedTest
    @MethodSource("texts")
    void countsColumns(String text, int width) {
        assertEquals(width, DisplayWidth.of(text));
    }

    @Test
    void rangeEdgesOfTheWideTable() {
        int[][] cases = {
            {0x10FF, 1}, {0x1100, 2}, {0x115F, 2},
            {0x4DFF, 1}, {0x4E00, 2}, {0x9FFF, 2},
            {0xFF00, 2}, {0xFF60, 2}, {0xFF61, 1}, {0xFF9F, 1}, {0xFFA0, 1}, {0xFFE0, 2}, {0xFFE6, 2},
            {0xFFE7, 1}, {0x3FFFD, 2},
        };
        for (int[] c : cases) {
            assertEquals(c[1], DisplayWidth.of(c[0]), Integer.toHexString(c[0]));
        }
    }

    @Test
    void padsByColumnsNotByChars() {
        assertEquals("東京  |", DisplayWidth.padRight("東京", 6) + "|");
        assertEquals("  東京", DisplayWidth.padLeft("東京", 6));
        assertEquals("山田太郎", DisplayWidth.padRight("山田太郎", 3), "never cut");
    }
}

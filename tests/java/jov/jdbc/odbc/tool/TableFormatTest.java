package jov.jdbc.odbc.tool;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;

/** Table layout: widths in display columns, alignment, NULL and control characters. */
class TableFormatTest {

    @Test
    void alignsWideTextNumbersAndNulls() {
        Result result = new Result(List.of("id", "name", "note"), List.of(true, false, false), List.of(
                Arrays.asList("1", "山田太郎", "初回"),
                Arrays.asList("10", "ﾔﾏﾀﾞ", ""),
                Arrays.asList(null, "", null)));
        assertEquals(List.of(
                "id | name     | note",
                "---+----------+-----",
                " 1 | 山田太郎 | 初回",
                "10 | ﾔﾏﾀﾞ     |",
                " - |          | -",
                "(3 rows)"), TableFormat.lines(result, "-"));
    }

    @Test
    void headerOnlyForNoRowsAndSingularForOne() {
        Result none = new Result(List.of("a"), List.of(false), List.of());
        assertEquals(List.of("a", "-", "(0 rows)"), TableFormat.lines(none, "NULL"));
        Result one = new Result(List.of("a"), List.of(false), List.of(Arrays.asList((String) null)));
        assertEquals(List.of("a", "----", "NULL", "(1 row)"), TableFormat.lines(one, "NULL"));
    }

    @Test
    void controlCharactersShowAsEscapes() {
        assertEquals("a\\nb\\r\\tc\\x00\\x7f 東京", TableFormat.escapeControls("a\nb\r\tc\u0000\u007f 東京"));
        Result result = new Result(List.of("t", "u"), List.of(false, false),
                List.of(List.of("x\ny", "z")));
        assertEquals("x\\ny | z", TableFormat.lines(result, "NULL").get(2));
    }
}

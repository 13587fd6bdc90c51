package jov.jdbc.odbc.tool;

import static org.junit.jupiter.api.Assertions.assertEquals;

import java.util.Arrays;
import java.util.List;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.Arguments;
import org.junit.jupiter.params.provider.MethodSource;

/** RFC 4180 fields, and NULL kept apart from the empty text. */
class CsvTest {

    static List<Arguments> fields() {
        return List.of(
                Arguments.of(null, ""),
                Arguments.of("", "\"\""),
                Arguments.of("abc", "abc"),
                Arguments.of("山田太郎", "山田太郎"),
                Arguments.of(" padded ", " padded "),
                Arguments.of("a,b", "\"a,b\""),
                Arguments.of("say \"hi\"", "\"say \"\"hi\"\"\""),
                Arguments.of("\"", "\"\"\"\""),
                Arguments.of("two\nlines", "\"two\nlines\""),
                Arguments.of("cr\rhere", "\"cr\rhere\""),
                Arguments.of("NULL", "NULL"));
    }

    @ParameterizedTest
    @MethodSource("fields")
    void quotesOnlyWhatNeedsIt(String value, String field) {
        assertEquals(field, Csv.field(value));
    }

    @Test
    void lineJoinsFieldsWithCommas() {
        assertEquals("1,,\"\",\"x,y\"", Csv.line(Arrays.asList("1", null, "", "x,y")));
        assertEquals("", Csv.line(List.of()));
        assertEquals("", Csv.line(Arrays.asList((String) null)), "a lone NULL is an empty line");
    }
}

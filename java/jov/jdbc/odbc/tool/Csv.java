package jov.jdbc.odbc.tool;

import java.util.List;

/**
 * Comma-separated values after RFC 4180: a field holding a comma, a double
 * quote, CR or LF is enclosed in double quotes, with each quote inside
 * doubled. Fields are otherwise written as they are, so a line is exactly as
 * long as its data.
 *
 * <p>SQL NULL and the empty text must stay apart: NULL is the empty field
 * with no quotes, the empty text is written as "" (two quotes).
 */
final class Csv {

    private Csv() {
    }

    /** One field: null (SQL NULL) gives nothing, "" gives two quotes. */
    static String field(String value) {
        if (value == null) {
            return "";
        }
        if (value.isEmpty()) {
            return "\"\"";
        }
        boolean quote = value.chars().anyMatch(c -> c == ',' || c == '"' || c == '\r' || c == '\n');
        return quote ? '"' + value.replace("\"", "\"\"") + '"' : value;
    }

    /** One line of fields, without its line end. */
    static String line(List<String> values) {
        StringBuilder line = new StringBuilder();
        for (int i = 0; i < values.size(); i++) {
            if (i > 0) {
                line.append(',');
            }
            line.append(field(values.get(i)));
        }
        return line.toString();
    }
}

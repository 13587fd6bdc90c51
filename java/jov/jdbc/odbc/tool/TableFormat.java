package jov.jdbc.odbc.tool;

import java.util.ArrayList;
import java.util.List;

/**
 * A query result as an aligned text table:
 *
 * <pre>
 * id | name     | city
 * ---+----------+---------
 *  1 | 山田太郎 | 東京
 *  2 | Smith    | New York
 * (2 rows)
 * </pre>
 *
 * Columns are as wide as their widest cell or name in display columns
 * ({@link DisplayWidth}), so kanji line up with ASCII. Number columns are
 * right-aligned, all others left-aligned; no line ends in blanks. SQL NULL
 * shows as the chosen NULL text, an empty value as nothing. Control characters
 * inside a value would break the layout, so they show as escapes: \n, \r, \t
 * and \x.. for the others.
 */
final class TableFormat {

    private static final String SEPARATOR = " | ";
    private static final String RULE_SEPARATOR = "-+-";

    private TableFormat() {
    }

    /** The lines of the table, the row count last, without line ends. */
    static List<String> lines(Result result, String nullText) {
        List<List<String>> cells = new ArrayList<>();
        for (List<String> row : result.rows()) {
            List<String> shown = new ArrayList<>();
            for (String value : row) {
                shown.add(value == null ? nullText : escapeControls(value));
            }
            cells.add(shown);
        }
        int[] widths = widths(result.columnNames(), cells);

        List<String> lines = new ArrayList<>();
        lines.add(line(result.columnNames(), widths, result.numeric()));
        List<String> rule = new ArrayList<>();
        for (int width : widths) {
            rule.add(Blanks.repeat('-', width));
        }
        lines.add(String.join(RULE_SEPARATOR, rule));
        for (List<String> row : cells) {
            lines.add(line(row, widths, result.numeric()));
        }
        int count = result.rows().size();
        lines.add("(" + count + (count == 1 ? " row)" : " rows)"));
        return lines;
    }

    /** The value with each control character replaced by a visible escape. */
    static String escapeControls(String value) {
        StringBuilder shown = new StringBuilder(value.length());
        for (int i = 0; i < value.length(); i++) {
            char c = value.charAt(i);
            switch (c) {
                case '\n':
                    shown.append("\\n");
                    break;
                case '\r':
                    shown.append("\\r");
                    break;
                case '\t':
                    shown.append("\\t");
                    break;
                default:
                    if (Character.isISOControl(c)) {
                        shown.append(String.format("\\x%02x", (int) c));
                    } else {
                        shown.append(c);
                    }
            }
        }
        return shown.toString();
    }

    private static int[] widths(List<String> names, List<List<String>> cells) {
        int[] widths = new int[names.size()];
        for (int c = 0; c < widths.length; c++) {
            widths[c] = DisplayWidth.of(names.get(c));
            for (List<String> row : cells) {
                widths[c] = Math.max(widths[c], DisplayWidth.of(row.get(c)));
            }
        }
        return widths;
    }

    private static String line(List<String> texts, int[] widths, List<Boolean> numeric) {
        List<String> padded = new ArrayList<>();
        for (int c = 0; c < widths.length; c++) {
            String text = texts.get(c);
            if (numeric.get(c)) {
                padded.add(DisplayWidth.padLeft(text, widths[c]));
            } else if (c == widths.length - 1) {
                padded.add(text);
            } else {
                padded.add(DisplayWidth.padRight(text, widths[c]));
            }
        }
        return Blanks.stripTrailing(String.join(SEPARATOR, padded));
    }
}

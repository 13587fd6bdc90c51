package jov.jdbc.odbc.tool;

import java.util.List;

/**
 * The rows of one query, read whole: the column names, whether each column
 * holds numbers (shown right-aligned in a table), and the values of every
 * row as text, where null stands for SQL NULL and "" for an empty value.
 * Every row has as many values as there are columns.
 */
record Result(List<String> columnNames, List<Boolean> numeric, List<List<String>> rows) {

    Result {
        columnNames = List.copyOf(columnNames);
        numeric = List.copyOf(numeric);
        rows = List.copyOf(rows);
    }

    int columnCount() {
        return columnNames.size();
    }
}

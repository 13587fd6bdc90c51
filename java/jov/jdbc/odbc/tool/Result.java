package jov.jdbc.odbc.tool;

import java.util.ArrayList;
import java.util.Collections;
import java.util.List;

/**
 * The rows of one query, read whole: the column names, whether each column
 * holds numbers (shown right-aligned in a table), and the values of every
 * row as text, where null stands for SQL NULL and "" for an empty value.
 * Every row has as many values as there are columns.
 */
final class Result {

    private final List<String> columnNames;
    private final List<Boolean> numeric;
    private final List<List<String>> rows;

    Result(List<String> columnNames, List<Boolean> numeric, List<List<String>> rows) {
        this.columnNames = Collections.unmodifiableList(new ArrayList<>(columnNames));
        this.numeric = Collections.unmodifiableList(new ArrayList<>(numeric));
        this.rows = Collections.unmodifiableList(new ArrayList<>(rows));
    }

    List<String> columnNames() {
        return columnNames;
    }

    List<Boolean> numeric() {
        return numeric;
    }

    List<List<String>> rows() {
        return rows;
    }

    int columnCount() {
        return columnNames.size();
    }
}

package jov.jdbc.odbc.bench;

import java.io.BufferedReader;
import java.io.IOException;
import java.nio.charset.StandardCharsets;
import java.nio.file.Files;
import java.nio.file.Path;
import java.util.Collections;
import java.util.List;
import java.util.function.UnaryOperator;

/**
 * Compares two value dumps (see {@link Variant#dump}) value by value: how
 * many values differ in each column, and where the first difference is.
 */
final class DumpComparison {

    final long rowsA;
    final long rowsB;
    final long[] differingByColumn;
    String firstDifference = "";

    private DumpComparison(int columns, long rowsA, long rowsB) {
        this.differingByColumn = new long[columns];
        this.rowsA = rowsA;
        this.rowsB = rowsB;
    }

    static DumpComparison compare(Path a, Path b, int columns) throws IOException {
        return compare(a, b, columns, Collections.nCopies(columns, UnaryOperator.identity()));
    }

    /** Compares with the values of a first passed through renderA's function of their column. */
    static DumpComparison compare(Path a, Path b, int columns,
            List<UnaryOperator<String>> renderA) throws IOException {
        DumpComparison result = new DumpComparison(columns, countLines(a), countLines(b));
        try (BufferedReader readerA = Files.newBufferedReader(a, StandardCharsets.UTF_16LE);
                BufferedReader readerB = Files.newBufferedReader(b, StandardCharsets.UTF_16LE)) {
            long row = 0;
            String lineA;
            String lineB;
            while ((lineA = readerA.readLine()) != null && (lineB = readerB.readLine()) != null) {
                row++;
                result.compareRow(row, lineA.split("\t", -1), lineB.split("\t", -1),
                        renderA);
            }
        }
        return result;
    }

    private void compareRow(long row, String[] valuesA, String[] valuesB,
            List<UnaryOperator<String>> renderA) {
        for (int c = 0; c < differingByColumn.length; c++) {
            String x = c < valuesA.length ? renderA.get(c).apply(valuesA[c]) : null;
            String y = c < valuesB.length ? valuesB[c] : null;
            if (x == null || !x.equals(y)) {
                differingByColumn[c]++;
                if (firstDifference.isEmpty()) {
                    firstDifference = "row " + row + ", column " + (c + 1) + ": '" + x + "' vs '"
                            + y + "'";
                }
            }
        }
    }

    private static long countLines(Path file) throws IOException {
        try (BufferedReader reader = Files.newBufferedReader(file, StandardCharsets.UTF_16LE)) {
            return reader.lines().count();
        }
    }

    long differing() {
        long total = 0;
        for (long n : differingByColumn) {
            total += n;
        }
        return total;
    }

    boolean identical() {
        return rowsA == rowsB && differing() == 0;
    }

    /** "n of m values differ (by column: a, b, ...)". */
    String summary() {
        StringBuilder text = new StringBuilder();
        text.append(differing()).append(" of ").append(rowsA * differingByColumn.length)
                .append(" values differ (by column:");
        for (long n : differingByColumn) {
            text.append(' ').append(n);
        }
        text.append(')');
        if (rowsA != rowsB) {
            text.append("; rows ").append(rowsA).append(" vs ").append(rowsB);
        }
        return text.toString();
    }
}

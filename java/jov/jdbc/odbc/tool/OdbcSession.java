package jov.jdbc.odbc.tool;

import static jov.jdbc.odbc.JOVODBCDLL.*;

import java.util.ArrayList;
import java.util.List;

/**
 * One open connection of the native library, seen as the query tool needs
 * it: queries read whole into a {@link Result}, statements without a result
 * set, the date style, and a group of statements run as one transaction.
 *
 * <p>Every failure becomes a {@link SqlFailure} carrying the last-error
 * record as it stood right after the failing call. A query's cursor is closed
 * on every way out, so a failed fetch leaves no cursor behind.
 */
final class OdbcSession implements AutoCloseable {

    /** SQL types of numbers (ODBC numbering), which tables show right-aligned. */
    private static final int[] NUMERIC_TYPES = {
        -6, // SQL_TINYINT
        -5, // SQL_BIGINT
        2,  // SQL_NUMERIC
        3,  // SQL_DECIMAL
        4,  // SQL_INTEGER
        5,  // SQL_SMALLINT
        6,  // SQL_FLOAT
        7,  // SQL_REAL
        8,  // SQL_DOUBLE
    };

    private final int id;

    private OdbcSession(int id) {
        this.id = id;
    }

    /** Opens a data source ("A:B:Name" names the data source Name). */
    static OdbcSession open(String dataSource, String user, String password) throws SqlFailure {
        int id = JNIODBCopen(dataSource, user, password);
        if (id < 1) {
            throw lastFailure();
        }
        return new OdbcSession(id);
    }

    /** Chooses how dates and times are rendered from now on (the library's date style codes). */
    void setDateStyle(short style) {
        JNIODBCsetDateStyle(id, style);
    }

    /** Runs a query and reads all its rows; a query without result columns gives no columns and no rows. */
    Result query(String sql) throws SqlFailure {
        int cursor = JNIODBCexecSQLQuery(id, sql);
        if (cursor < 1) {
            throw lastFailure();
        }
        try {
            return readAll(cursor);
        } finally {
            JNIODBCcloseCursor(id, cursor);
        }
    }

    /**
     * Runs a statement without a result set and returns the library's answer:
     * 1 executed, 0 the driver reported no data, 2 the driver asked for data.
     */
    int update(String sql) throws SqlFailure {
        int result = JNIODBCexecSQLUpdate(id, sql);
        if (result < 0) {
            throw lastFailure();
        }
        return result;
    }

    /**
     * Runs the statements as one transaction: all of them are committed, or,
     * when one fails, none of them. Auto-commit is on again afterwards.
     */
    void updateAll(List<String> statements) throws SqlFailure {
        JNIODBCsetAutoCommit(id, AUTO_COMMIT_OFF);
        try {
            for (String sql : statements) {
                update(sql);
            }
            if (JNIODBCcommitTran(id) != 0) {
                throw lastFailure();
            }
        } catch (SqlFailure failure) {
            JNIODBCrollbackTran(id);
            throw failure;
        } finally {
            JNIODBCsetAutoCommit(id, AUTO_COMMIT_ON);
        }
    }

    @Override
    public void close() {
        JNIODBCclose(id);
    }

    private Result readAll(int cursor) throws SqlFailure {
        int columns = JNIODBCgetColumnNum(id, cursor);
        if (columns < 0) {
            throw lastFailure();
        }
        List<String> names = new ArrayList<>();
        List<Boolean> numeric = new ArrayList<>();
        for (int c = 1; c <= columns; c++) {
            names.add(orEmpty(JNIODBCgetColumnName(id, cursor, c)));
            numeric.add(isNumericType(JNIODBCgetColumnType(id, cursor, c)));
        }
        List<List<String>> rows = new ArrayList<>();
        while (columns > 0 && fetch(cursor)) {
            List<String> row = new ArrayList<>(columns);
            for (int c = 1; c <= columns; c++) {
                row.add(JNIODBCisColumnDataNull(id, cursor, c) == 1
                        ? null : orEmpty(JNIODBCgetColumnDataString(id, cursor, c)));
            }
            rows.add(row);
        }
        return new Result(names, numeric, rows);
    }

    /** Moves to the next row: true on a row, false past the last one. */
    private boolean fetch(int cursor) throws SqlFailure {
        int result = JNIODBCfetch(id, cursor);
        if (result < 0) {
            throw lastFailure();
        }
        return result == 1;
    }

    private static boolean isNumericType(short type) {
        for (int numericType : NUMERIC_TYPES) {
            if (type == numericType) {
                return true;
            }
        }
        return false;
    }

    private static SqlFailure lastFailure() {
        return new SqlFailure(orEmpty(JNIODBCgetErrorCode()), orEmpty(JNIODBCgetErrorString()));
    }

    /** The library returns null only when the JVM could not make the string. */
    private static String orEmpty(String text) {
        return text == null ? "" : text;
    }
}

package jov.jdbc.odbc.driver.statement;

/**
 * Runs one query on an open connection and answers the text of the first
 * column of its first row: null when the query fails, returns no row or the
 * value is SQL NULL. Used to learn which database is behind a data source
 * without the caller ever seeing an exception.
 */
@FunctionalInterface
public interface SqlProbe {
    String firstValue(String sql);
}

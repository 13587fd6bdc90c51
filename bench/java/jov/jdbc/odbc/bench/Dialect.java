package jov.jdbc.odbc.bench;

/**
 * The SQL that differs between the benchmark's databases, for the tables the
 * suite makes (see {@link SuiteTables}): each generates its rows inside the
 * database from a series of integers i, so a table of a million rows takes
 * one statement. Every generated text is ASCII: every reader, whatever its
 * session's character set, sees the same values.
 */
enum Dialect {
    SQLITE, POSTGRESQL, MARIADB;

    static Dialect of(String name) {
        return valueOf(name.toUpperCase());
    }

    /** A FROM clause yielding the integers 1..count as column i. */
    String series(long count) {
        return switch (this) {
            case SQLITE -> "FROM (WITH RECURSIVE r(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM r"
                    + " WHERE i < " + count + ") SELECT i FROM r) s";
            case POSTGRESQL -> "FROM generate_series(1, " + count + ") AS s(i)";
            case MARIADB -> "FROM (SELECT seq AS i FROM seq_1_to_" + count + ") s";
        };
    }

    String concat(String a, String b) {
        return this == MARIADB ? "CONCAT(" + a + ", " + b + ")" : "(" + a + " || " + b + ")";
    }

    /** text, a quoted ASCII literal of two characters or more, repeated times times. */
    String repeat(String text, String times) {
        return this == SQLITE ? "replace(hex(zeroblob(" + times + ")), '00', " + text + ")"
                : "repeat(" + text + ", " + times + ")";
    }

    /** 2020-01-01 00:00:00 plus seconds seconds. */
    String timestampPlus(String seconds) {
        return switch (this) {
            case SQLITE -> "datetime('2020-01-01 00:00:00', '+' || " + seconds + " || ' seconds')";
            case POSTGRESQL -> "timestamp '2020-01-01 00:00:00' + " + seconds
                    + " * interval '1 second'";
            case MARIADB -> "TIMESTAMP('2020-01-01 00:00:00') + INTERVAL " + seconds + " SECOND";
        };
    }

    String timestampType() {
        return this == MARIADB ? "datetime" : "timestamp";
    }

    /** A text column for values of tens of kilobytes (MariaDB's text stops at 64 KiB). */
    String longTextType() {
        return this == MARIADB ? "mediumtext" : "text";
    }

    /** Empties a table fast. */
    String clear(String table) {
        return this == SQLITE ? "DELETE FROM " + table : "TRUNCATE TABLE " + table;
    }
}

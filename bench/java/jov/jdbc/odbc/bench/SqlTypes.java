package jov.jdbc.odbc.bench;

/** Names of the ODBC SQL type codes that the benchmark table shows. */
final class SqlTypes {

    private SqlTypes() {
    }

    static String name(int type) {
        return switch (type) {
            case 1 -> "CHAR";
            case 2 -> "NUMERIC";
            case 3 -> "DECIMAL";
            case 4 -> "INTEGER";
            case 5 -> "SMALLINT";
            case 6 -> "FLOAT";
            case 7 -> "REAL";
            case 8 -> "DOUBLE";
            case 9 -> "DATETIME";
            case 12 -> "VARCHAR";
            case -1 -> "LONGVARCHAR";
            case 93 -> "TYPE_TIMESTAMP";
            default -> "type " + type;
        };
    }
}

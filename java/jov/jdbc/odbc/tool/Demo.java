package jov.jdbc.odbc.tool;

import jov.jdbc.odbc.JOVODBCDLL;

/**
 * Opens one ODBC data source through the native library and prints its
 * identifier, name and auto-commit state.
 *
 * <p>Usage: {@code Demo [dataSource [user [password]]]}; the data source
 * defaults to JovSqlite. Exits with 1 when the open fails.
 */
public final class Demo {

    private Demo() {
    }

    public static void main(String[] args) {
        String dataSource = args.length > 0 ? args[0] : "JovSqlite";
        String user = args.length > 1 ? args[1] : "";
        String password = args.length > 2 ? args[2] : "";

        int id = JOVODBCDLL.JNIODBCopen(dataSource, user, password);
        if (id < 1) {
            System.out.println("open " + dataSource + " failed: ["
                    + JOVODBCDLL.JNIODBCgetErrorCode() + "] "
                    + JOVODBCDLL.JNIODBCgetErrorString());
            System.exit(1);
        }
        System.out.println("identifier  : " + id);
        System.out.println("data source : " + JOVODBCDLL.JNIODBCgetOpenDataSource(id));
        System.out.println("auto-commit : "
                + (JOVODBCDLL.JNIODBCgetAutoCommit(id) == 1 ? "on" : "off"));
        JOVODBCDLL.JNIODBCclose(id);
    }
}

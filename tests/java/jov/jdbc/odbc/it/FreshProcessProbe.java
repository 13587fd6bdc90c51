package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;

/**
 * Run in a JVM of its own by {@link FreshProcessTest}: prints, one per line,
 * what a process that has just loaded the library sees.
 *
 * <p>Arguments: data source, user, password.
 */
public final class FreshProcessProbe {
    private FreshProcessProbe() {
    }

    public static void main(String[] args) {
        String dataSource = args[0];
        String user = args[1];
        String password = args[2];
        System.out.println("code=" + JNIODBCgetErrorCode());
        System.out.println("message=" + JNIODBCgetErrorString());
        int first = JNIODBCopen(dataSource, user, password);
        int second = JNIODBCopen(dataSource, user, password);
        System.out.println("opens=" + first + "," + second);
        JNIODBCclose(first);
        int third = JNIODBCopen(dataSource, user, password);
        System.out.println("reopen=" + third);
        JNIODBCclose(third);
        JNIODBCclose(second);
    }
}

package jov.jdbc.odbc.tool;

/**
 * A native call that failed, with the code and the message that the native
 * library's last-error record held right after it.
 */
final class SqlFailure extends Exception {
    private static final long serialVersionUID = 1L;

    private final String code;
    private final String detail;

    SqlFailure(String code, String detail) {
        super("[" + code + "] " + detail);
        this.code = code;
        this.detail = detail;
    }

    /** The error code: a SQLSTATE, one of the library's own codes, or empty. */
    String code() {
        return code;
    }

    /** The error message as the library recorded it. */
    String detail() {
        return detail;
    }
}

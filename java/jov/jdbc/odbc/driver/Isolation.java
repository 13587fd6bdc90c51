package jov.jdbc.odbc.driver;

import java.sql.Connection;
import java.sql.SQLException;
import java.util.Locale;
import jov.jdbc.odbc.driver.link.Errors;

/** JDBC's isolation levels and their SQL names. */
final class Isolation {

    private Isolation() {
    }

    static String name(int level) throws SQLException {
        switch (level) {
            case Connection.TRANSACTION_READ_UNCOMMITTED: return "READ UNCOMMITTED";
            case Connection.TRANSACTION_READ_COMMITTED: return "READ COMMITTED";
            case Connection.TRANSACTION_REPEATABLE_READ: return "REPEATABLE READ";
            case Connection.TRANSACTION_SERIALIZABLE: return "SERIALIZABLE";
            default:
                throw Errors.create("Isolation level " + level + " is unknown", Errors.INVALID_ARGUMENT);
        }
    }

    /** The level of an SQL name such as "read committed" (MySQL: "READ-COMMITTED"); the fallback for any other text. */
    static int fromName(String name, int fallback) {
        switch (name.trim().replace('-', ' ').toUpperCase(Locale.ROOT)) {
            case "READ UNCOMMITTED": return Connection.TRANSACTION_READ_UNCOMMITTED;
            case "READ COMMITTED": return Connection.TRANSACTION_READ_COMMITTED;
            case "REPEATABLE READ": return Connection.TRANSACTION_REPEATABLE_READ;
            case "SERIALIZABLE": return Connection.TRANSACTION_SERIALIZABLE;
            default: return fallback;
        }
    }
}

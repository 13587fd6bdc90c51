package jov.jdbc.odbc.driver;

import java.sql.SQLException;
import java.sql.Savepoint;
import jov.jdbc.odbc.driver.link.Errors;

/**
 * A savepoint made through SQL. An unnamed one has a number and, for the SQL,
 * a generated name no caller's name collides with.
 */
final class JovSavepoint implements Savepoint {

    private final int id;
    private final String name;

    private JovSavepoint(int id, String name) {
        this.id = id;
        this.name = name;
    }

    static JovSavepoint named(String name) {
        return new JovSavepoint(0, name);
    }

    static JovSavepoint unnamed(int id) {
        return new JovSavepoint(id, null);
    }

    /** The savepoint's identifier as written into the SQL, quoted with {@code quote}. */
    String sqlName(char quote) {
        String plain = name != null ? name : "jov_savepoint_" + id;
        String q = String.valueOf(quote);
        return q + plain.replace(q, q + q) + q;
    }

    @Override
    public int getSavepointId() throws SQLException {
        if (name != null) {
            throw Errors.create("A named savepoint has no number", Errors.SEQUENCE);
        }
        return id;
    }

    @Override
    public String getSavepointName() throws SQLException {
        if (name == null) {
            throw Errors.create("An unnamed savepoint has no name", Errors.SEQUENCE);
        }
        return name;
    }
}

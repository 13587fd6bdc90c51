package jov.jdbc.odbc.driver;

import java.sql.SQLException;
import jov.jdbc.odbc.driver.link.Errors;

/** {@code unwrap} for the driver's objects, which wrap nothing but themselves. */
public final class Wrappers {

    private Wrappers() {
    }

    public static <T> T unwrap(Object self, Class<T> iface) throws SQLException {
        if (iface.isInstance(self)) {
            return iface.cast(self);
        }
        throw Errors.create(self.getClass().getSimpleName() + " is no " + iface.getName(),
                Errors.INVALID_ARGUMENT);
    }
}

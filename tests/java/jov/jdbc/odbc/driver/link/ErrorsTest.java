package jov.jdbc.odbc.driver.link;

import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertSame;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.nio.charset.StandardCharsets;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.SQLIntegrityConstraintViolationException;
import java.sql.SQLNonTransientConnectionException;
import java.sql.SQLSyntaxErrorException;
import java.sql.SQLTimeoutException;
import java.sql.SQLTransactionRollbackException;
import java.util.Map;
import org.junit.jupiter.api.Test;

/** The failure record becomes an exception whose state and class tools can dispatch on. */
class ErrorsTest {

    @Test
    void anSqlStateIsTheStateAndItsClassTheSubclass() {
        Map<String, Class<?>> byState = Map.of(
                "08001", SQLNonTransientConnectionException.class,
                "22003", SQLDataException.class,
                "23505", SQLIntegrityConstraintViolationException.class,
                "40001", SQLTransactionRollbackException.class,
                "42P01", SQLSyntaxErrorException.class,
                "0A000", SQLFeatureNotSupportedException.class,
                "HYT00", SQLTimeoutException.class,
                "HYT01", SQLTimeoutException.class,
                "HY000", SQLException.class);
        byState.forEach((state, type) -> {
            SQLException e = Errors.fromRecord("Query", state, "driver text", 1062);
            assertSame(type, e.getClass(), state);
            assertEquals(1062, e.getErrorCode(), state);
            assertEquals(state, e.getSQLState());
            assertEquals("Query: driver text", e.getMessage());
        });
    }

    @Test
    void theLibrarysOwnCodesBecomeAGeneralStateWithTheCodeKept() {
        SQLException own = Errors.fromRecord("Fetch", "JovJdbcOdbc-02", "(JovJdbcOdbc)not open", 0);
        assertEquals(Errors.GENERAL, own.getSQLState());
        assertTrue(own.getMessage().endsWith("(code JovJdbcOdbc-02)"), own.getMessage());
        SQLException none = Errors.fromRecord("Fetch", "", "", 0);
        assertEquals(Errors.GENERAL, none.getSQLState());
        assertEquals("Fetch: failed without a message (no code)", none.getMessage());
        assertEquals(Errors.GENERAL, Errors.fromRecord("Open", "12", "errno", 0).getSQLState());
    }

    /** sqliteodbc's doubly encoded message is read once more; Latin-1 text that is no UTF-8 stays. */
    @Test
    void aDoublyEncodedMessageIsDecodedOnce() {
        String doubled = new String("no such table: 表é😀".getBytes(StandardCharsets.UTF_8), StandardCharsets.ISO_8859_1);
        assertEquals("no such table: 表é😀", Errors.undoubled(doubled));
        assertEquals("Müller café", Errors.undoubled("Müller café"));
        assertEquals("表é", Errors.undoubled("表é"));
    }

    /** Every record of the failing call is in the chain, in order, each with its state, class and native code. */
    @Test
    void everyRecordIsChained() {
        SQLException first = Errors.fromRecords("Statement", new String[] {
            "23000", "1062", "Duplicate entry", "01004", "0", "String data, right truncated"});
        assertEquals("23000", first.getSQLState());
        assertEquals(1062, first.getErrorCode());
        assertTrue(first instanceof SQLIntegrityConstraintViolationException);
        SQLException second = first.getNextException();
        assertEquals("01004", second.getSQLState());
        assertTrue(second.getMessage().endsWith("String data, right truncated"), second.getMessage());
        assertEquals(null, second.getNextException());
        assertEquals(Errors.GENERAL, Errors.fromRecords("Fetch", new String[0]).getSQLState());
    }
}

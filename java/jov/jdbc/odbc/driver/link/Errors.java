package jov.jdbc.odbc.driver.link;

import java.nio.ByteBuffer;
import java.nio.charset.CharacterCodingException;
import java.nio.charset.CodingErrorAction;
import java.nio.charset.StandardCharsets;
import java.sql.SQLDataException;
import java.sql.SQLException;
import java.sql.SQLWarning;
import java.sql.SQLFeatureNotSupportedException;
import java.sql.SQLIntegrityConstraintViolationException;
import java.sql.SQLNonTransientConnectionException;
import java.sql.SQLSyntaxErrorException;
import java.sql.SQLTimeoutException;
import java.sql.SQLTransactionRollbackException;
import java.util.ArrayList;
import java.util.Arrays;
import java.util.List;
import jov.jdbc.odbc.driver.DriverInfo;
import jov.jdbc.odbc.driver.odbc.OdbcNatives;

/**
 * The one place where the driver's exceptions are made, so that every failure
 * carries a real SQLSTATE and the subclass JDBC tools dispatch on.
 *
 * <p>A code that is an SQLSTATE (five digits or capital letters) becomes the
 * exception's state. A code that is none (the empty code of a failure
 * without a record) becomes {@value #GENERAL} with the code kept in the
 * message, so nothing the natives said is lost.
 * The ODBC driver's native error code, where the failure has one, is the
 * exception's error code.
 */
public final class Errors {

    /** General error, for failures without an SQLSTATE of their own. */
    public static final String GENERAL = "HY000";
    /** The connection has been closed. */
    public static final String CONNECTION_CLOSED = "08003";
    /** The session ended under the connection. */
    static final String COMMUNICATION_LINK_FAILURE = "08S01";
    /** A statement or result set used after its close, or used out of order. */
    public static final String SEQUENCE = "HY010";
    /** An argument out of its range. */
    public static final String INVALID_ARGUMENT = "HY024";
    /** A column index or label the result does not have. */
    public static final String INVALID_COLUMN = "07009";
    /** A cursor not on a row, or a move a forward-only cursor cannot make. */
    public static final String INVALID_CURSOR = "24000";
    /** A value that cannot be read as the type asked for. */
    public static final String INVALID_VALUE = "22018";
    /** Something the driver does not do. */
    public static final String NOT_SUPPORTED = "0A000";
    /** A value longer than the buffer it was fetched into. */
    static final String TRUNCATED = "01004";

    /** A diagnostic record is an SQLSTATE, a native code and a message. */
    private static final int RECORD_FIELDS = 3;
    private static final char LATIN1_MAX = '\u00FF';
    private static final char ASCII_END = '\u0080';

    private Errors() {
    }

    /**
     * Every record the calling thread's failing native call left, as one
     * exception per record chained by getNextException; the first record's
     * is the one returned. A failure that left no record still becomes one.
     */
    static SQLException lastFailure(String doing) {
        return fromRecords(doing, OdbcNatives.takeDiagnostics());
    }

    /** Records as takeDiagnostics gives them: (SQLSTATE, native code, message) triples. */
    static SQLException fromRecords(String doing, String[] records) {
        if (records.length < RECORD_FIELDS) {
            return fromRecord(doing, "", "", 0);
        }
        SQLException first = null;
        for (int i = 0; i + RECORD_FIELDS <= records.length; i += RECORD_FIELDS) {
            SQLException one = fromRecord(doing, records[i], undoubled(records[i + 2]),
                    nativeCode(records[i + 1]));
            if (first == null) {
                first = one;
            } else {
                first.setNextException(one);
            }
        }
        return first;
    }

    /**
     * The records a call that answered SUCCESS_WITH_INFO left, as warnings
     * chained by getNextWarning, each with its state and native code; null
     * when it left none.
     */
    /** The records whose SQLSTATE is not state. */
    static String[] without(String state, String[] records) {
        List<String> kept = new ArrayList<>(records.length);
        for (int i = 0; i + RECORD_FIELDS <= records.length; i += RECORD_FIELDS) {
            if (!state.equals(records[i])) {
                kept.addAll(Arrays.asList(records).subList(i, i + RECORD_FIELDS));
            }
        }
        return kept.toArray(new String[0]);
    }

    static SQLWarning warnings(String doing, String[] records) {
        SQLWarning first = null;
        for (int i = 0; i + RECORD_FIELDS <= records.length; i += RECORD_FIELDS) {
            String state = isSqlState(records[i]) ? records[i] : "01000";
            SQLWarning one = new SQLWarning(doing + ": " + undoubled(records[i + 2]), state,
                    nativeCode(records[i + 1]));
            if (first == null) {
                first = one;
            } else {
                first.setNextWarning(one);
            }
        }
        return first;
    }

    /**
     * sqliteodbc gives a message that holds a character beyond U+FFFF (its
     * SQL named 😀) as UTF-8 read as Latin-1 and encoded again: measured,
     * "表é😀" came back as "è¡¨Ã©ð..." with the other characters intact. A
     * message that is exactly that (Latin-1 only, some of it above ASCII,
     * its bytes strict UTF-8) is decoded once more; any other is kept.
     */
    static String undoubled(String message) {
        boolean high = false;
        for (int i = 0; i < message.length(); i++) {
            char c = message.charAt(i);
            if (c > LATIN1_MAX) {
                return message;
            }
            high |= c >= ASCII_END;
        }
        if (!high) {
            return message;
        }
        try {
            return StandardCharsets.UTF_8.newDecoder().onMalformedInput(CodingErrorAction.REPORT)
                    .onUnmappableCharacter(CodingErrorAction.REPORT)
                    .decode(ByteBuffer.wrap(message.getBytes(StandardCharsets.ISO_8859_1))).toString();
        } catch (CharacterCodingException e) {
            return message;
        }
    }

    /** A native code beyond an int (none is) is shown in the message only. */
    private static int nativeCode(String decimal) {
        try {
            return Integer.parseInt(decimal);
        } catch (NumberFormatException e) {
            return 0;
        }
    }

    /**
     * An exception from a code and message as the library records them, with
     * the ODBC driver's native error code as its vendor code.
     */
    static SQLException fromRecord(String doing, String code, String message, int nativeCode) {
        String text = doing + ": " + (message.isEmpty() ? "failed without a message" : message);
        if (isSqlState(code)) {
            return create(text, code, nativeCode, null);
        }
        String shown = code.isEmpty() ? "no code" : "code " + code;
        return create(text + " (" + shown + ")", GENERAL, nativeCode, null);
    }

    /** An exception of the driver's own, with the subclass its state calls for. */
    public static SQLException create(String message, String state, Throwable cause) {
        return create(message, state, 0, cause);
    }

    /** The same with a vendor code, the database's or its ODBC driver's number for the failure. */
    static SQLException create(String message, String state, int vendorCode, Throwable cause) {
        if (state.equals(Execution.QUERY_TIMEOUT_EXPIRED) || state.equals(Execution.CONNECTION_TIMEOUT_EXPIRED)) {
            return new SQLTimeoutException(message, state, vendorCode, cause);
        }
        String stateClass = state.substring(0, 2);
        switch (stateClass) {
            case "08":
                return new SQLNonTransientConnectionException(message, state, vendorCode, cause);
            case "22":
                return new SQLDataException(message, state, vendorCode, cause);
            case "23":
                return new SQLIntegrityConstraintViolationException(message, state, vendorCode, cause);
            case "40":
                return new SQLTransactionRollbackException(message, state, vendorCode, cause);
            case "42":
                return new SQLSyntaxErrorException(message, state, vendorCode, cause);
            case "0A":
                return new SQLFeatureNotSupportedException(message, state, vendorCode, cause);
            default:
                return new SQLException(message, state, vendorCode, cause);
        }
    }

    public static SQLException create(String message, String state) {
        return create(message, state, null);
    }

    public static SQLFeatureNotSupportedException notSupported(String what) {
        return new SQLFeatureNotSupportedException(DriverInfo.NAME + " does not support: " + what,
                NOT_SUPPORTED);
    }

    static boolean isSqlState(String code) {
        if (code.length() != 5) {
            return false;
        }
        for (int i = 0; i < 5; i++) {
            char c = code.charAt(i);
            if (!(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z')) {
                return false;
            }
        }
        return true;
    }
}

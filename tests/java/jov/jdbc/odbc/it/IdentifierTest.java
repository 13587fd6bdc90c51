package jov.jdbc.odbc.it;

import static jov.jdbc.odbc.JOVODBCDLL.*;
import static jov.jdbc.odbc.it.Db.assertRecord;
import static org.junit.jupiter.api.Assertions.assertAll;
import static org.junit.jupiter.api.Assertions.assertEquals;
import static org.junit.jupiter.api.Assertions.assertTrue;

import java.util.ArrayList;
import java.util.List;
import java.util.Map;
import java.util.function.IntFunction;
import org.junit.jupiter.api.Test;
import org.junit.jupiter.api.function.Executable;
import org.junit.jupiter.params.ParameterizedTest;
import org.junit.jupiter.params.provider.MethodSource;

/**
 * Identifiers that name no open connection, and the last-error record: every
 * native that takes an identifier returns its failure value and records why.
 */
class IdentifierTest {
    private static final String OUT_OF_RANGE = "(JovJdbcOdbc)データベース識別子(%d)は範囲外です";
    private static final String NOT_OPEN = "(JovJdbcOdbc)データベース識別子(%d)はオープンされていません";

    /** Each native given an identifier, with what it returns when that identifier is bad. */
    private static Map<String, IntFunction<Object>> natives() {
        return Map.ofEntries(
                Map.entry("close", id -> { JNIODBCclose(id); return null; }),
                Map.entry("isOpenOk 0", id -> JNIODBCisOpenOk(id) == 0),
                Map.entry("getOpenDataSource \"\"", id -> JNIODBCgetOpenDataSource(id).isEmpty()),
                Map.entry("setAutoCommit", id -> { JNIODBCsetAutoCommit(id, 1); return null; }),
                Map.entry("getAutoCommit 0", id -> JNIODBCgetAutoCommit(id) == 0),
                Map.entry("commitTran -1", id -> JNIODBCcommitTran(id) == -1),
                Map.entry("rollbackTran -1", id -> JNIODBCrollbackTran(id) == -1),
                Map.entry("execSQLQuery -1", id -> JNIODBCexecSQLQuery(id, "SELECT 1") == -1),
                Map.entry("execSQLUpdate -1", id -> JNIODBCexecSQLUpdate(id, "SELECT 1") == -1),
                Map.entry("getCursorHandle -1", id -> JNIODBCgetCursorHandle(id) == -1),
                Map.entry("closeCursor", id -> { JNIODBCcloseCursor(id, 1); return null; }),
                Map.entry("getColumnNum -1", id -> JNIODBCgetColumnNum(id, 1) == -1),
                Map.entry("fetch -1", id -> JNIODBCfetch(id, 1) == -1),
                Map.entry("fetchScroll -1", id -> JNIODBCfetchScroll(id, 1, SQL_FETCH_FIRST, 0) == -1),
                Map.entry("getColumnName \"\"", id -> JNIODBCgetColumnName(id, 1, 1).isEmpty()),
                Map.entry("getColumnType 0", id -> JNIODBCgetColumnType(id, 1, 1) == 0),
                Map.entry("getColumnOctetLength 0", id -> JNIODBCgetColumnOctetLength(id, 1, 1) == 0),
                Map.entry("getColumnFetchDataLength 0", id -> JNIODBCgetColumnFetchDataLength(id, 1, 1) == 0),
                Map.entry("getColumnNumericPrecision 0", id -> JNIODBCgetColumnNumericPrecision(id, 1, 1) == 0),
                Map.entry("getColumnNumericScale 0", id -> JNIODBCgetColumnNumericScale(id, 1, 1) == 0),
                Map.entry("getColumnNoFromName 0", id -> JNIODBCgetColumnNoFromName(id, 1, "N") == 0),
                Map.entry("isColumnDataNull 1", id -> JNIODBCisColumnDataNull(id, 1, 1) == 1),
                Map.entry("getColumnDataBinary []", id -> JNIODBCgetColumnDataBinary(id, 1, 1).length == 0),
                Map.entry("getColumnDataString \"\"", id -> JNIODBCgetColumnDataString(id, 1, 1).isEmpty()),
                Map.entry("getColumnDataTimet 1", id -> JNIODBCgetColumnDataTimet(id, 1, 1) == 1),
                Map.entry("setDateStyle", id -> { JNIODBCsetDateStyle(id, (short) 0); return null; }));
    }

    /**
     * Calls every native with the identifier and checks its failure value and
     * the record it leaves. Before each call the record is filled with another
     * identifier's failure, so a native that records nothing is caught.
     */
    private static void assertEveryNativeRejects(int id, String code, String format) {
        List<Executable> checks = new ArrayList<>();
        natives().forEach((name, call) -> checks.add(() -> {
            JNIODBCisOpenOk(-77);
            Object result = call.apply(id);
            if (result != null) {
                assertEquals(Boolean.TRUE, result, name + " with identifier " + id);
            }
            assertEquals(code, JNIODBCgetErrorCode(), name + " with identifier " + id);
            assertEquals(String.format(format, id), JNIODBCgetErrorString(), name);
        }));
        assertAll(checks);
    }

    @Test
    void identifiersOutOfRangeAreRejectedByEveryNative() {
        for (int id : new int[] {0, -5, 513, Integer.MIN_VALUE, Integer.MAX_VALUE}) {
            assertEveryNativeRejects(id, "JovJdbcOdbc-02", OUT_OF_RANGE);
        }
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void closedIdentifierIsRejectedByEveryNative(Rig rig) {
        int id = Db.open(rig).id;
        JNIODBCclose(id);
        assertEveryNativeRejects(id, "JovJdbcOdbc-03", NOT_OPEN);
    }

    @Test
    void undefinedDataSourceReportsTheDriverManagersDiagnostic() {
        assertEquals(-1, JNIODBCopen("JovNoSuchSource", "user", "password"));
        assertEquals("IM002", JNIODBCgetErrorCode());
        String message = JNIODBCgetErrorString();
        assertTrue(message.contains("Data source name not found"), message);
    }

    @Test
    void emptyDataSourceAfterTheLastColonFails() {
        assertEquals(-1, JNIODBCopen("A:B:", "", ""));
        assertTrue(!JNIODBCgetErrorCode().isEmpty(), "a driver manager SQLSTATE");
    }

    @ParameterizedTest
    @MethodSource("jov.jdbc.odbc.it.Rig#all")
    void recordSurvivesLaterSuccessesAndReads(Rig rig) {
        JNIODBCisOpenOk(0);
        try (Db db = Db.open(rig)) {
            assertEquals(1, JNIODBCisOpenOk(db.id));
            assertEquals(1, JNIODBCgetAutoCommit(db.id));
            assertEquals(List.of("1"), db.column("SELECT 1"));
        }
        for (int read = 0; read < 2; read++) {
            assertRecord("JovJdbcOdbc-02", String.format(OUT_OF_RANGE, 0));
        }
    }
}

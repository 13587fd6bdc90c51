// Queries, updates and the cursor table of OdbcAccs, against the ODBC fake.
#include <gtest/gtest.h>

#include <string>

#include "odbcaccs/OdbcAccs.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

class StatementsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        ASSERT_EQ(a.OdbcOpen("DSN", "u", "p"), 1);
    }

    // Whatever a test did, closing releases everything and no flag stays taken.
    void TearDown() override {
        EXPECT_FALSE(a.queryBusy.IsTaken());
        EXPECT_FALSE(a.updateBusy.IsTaken());
        a.OdbcClose();
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }

    // Runs a query over a queued result; returns its result, handle in *cursor.
    int32_t Query(FakeResult result, int32_t* cursor) {
        FakeOdbc::QueueResult(std::move(result));
        return a.ExecSQLQuery("SELECT", cursor);
    }

    int32_t OpenOneColumnCursor() {
        int32_t cursor = 0;
        EXPECT_EQ(Query({{{"C", SQL_VARCHAR, 10}}, {}}, &cursor), 1);
        return cursor;
    }

    std::string Message() const { return a.errorMessage; }
    std::string Code() const { return a.errorCode; }

    jov::OdbcAccs a;
};

TEST_F(StatementsTest, CatalogueDescribesEveryColumnByType) {
    FakeResult result{{{"ID", SQL_INTEGER, 10},
                       {"NAME", SQL_VARCHAR, 40},
                       {"AMOUNT", SQL_NUMERIC, 12, 10, 2},
                       {"RATE", SQL_DECIMAL, 8, 6, 3},
                       {"D2", SQL_DATE, 10},
                       {"T2", SQL_TIME, 8},
                       {"TS2", SQL_TIMESTAMP, 19},
                       {"D3", SQL_TYPE_DATE, 10},
                       {"T3", SQL_TYPE_TIME, 8},
                       {"TS3", SQL_TYPE_TIMESTAMP, 23},
                       {"BLOB", SQL_LONGVARBINARY, 4294967295},
                       {"NOTOTAL", SQL_LONGVARBINARY, SQL_NO_TOTAL}},
                      {}};
    int32_t cursor = 0;
    ASSERT_EQ(Query(result, &cursor), 12);
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(a.GetCursorHandle(), 1);
    EXPECT_EQ(a.GetColumnNum(1), 12);

    struct Expected {
        const char* name;
        int16_t type;
        int32_t length;
        int32_t hasPrecision;
        int16_t precision;
        int16_t scale;
        int32_t isDateTime;
    };
    const Expected expected[] = {
        {"ID", SQL_INTEGER, 10, 0, 0, 0, 0},
        {"NAME", SQL_VARCHAR, 40, 0, 0, 0, 0},
        {"AMOUNT", SQL_NUMERIC, 12, 1, 10, 2, 0},
        {"RATE", SQL_DECIMAL, 8, 1, 6, 3, 0},
        {"D2", 9, 10, 0, 0, 0, 1},
        {"T2", 10, 8, 0, 0, 0, 1},
        {"TS2", 11, 19, 0, 0, 0, 1},
        {"D3", 91, 10, 0, 0, 0, 1},
        {"T3", 92, 8, 0, 0, 0, 1},
        {"TS3", 93, 23, 0, 0, 0, 1},
        // MariaDB's length of a LONGBLOB (2^32 - 1) does not fit: the longest
        // the catalogue holds, never a wrapped -1.
        {"BLOB", SQL_LONGVARBINARY, INT32_MAX, 0, 0, 0, 0},
        {"NOTOTAL", SQL_LONGVARBINARY, SQL_NO_TOTAL, 0, 0, 0, 0},
    };
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(expected[i].name);
        const jov::ColumnInfo& c = a.columns[1][i];
        EXPECT_STREQ(c.name, expected[i].name);
        EXPECT_EQ(c.sqlType, expected[i].type);
        EXPECT_EQ(c.length, expected[i].length);
        EXPECT_EQ(c.hasPrecision, expected[i].hasPrecision);
        EXPECT_EQ(c.precision, expected[i].precision);
        EXPECT_EQ(c.scale, expected[i].scale);
        EXPECT_EQ(c.isDateTime, expected[i].isDateTime);
        EXPECT_EQ(c.data, nullptr);
        EXPECT_EQ(c.dataLength, 0);
    }
    // Precision and scale are asked for the numeric columns only.
    int precisionReads = 0;
    for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLColAttribute)) {
        if (call.args[1] == SQL_DESC_PRECISION) ++precisionReads;
    }
    EXPECT_EQ(precisionReads, 2);
}

TEST_F(StatementsTest, ColumnNamesAreCutAndNegativeLengthsGiveEmptyNames) {
    FakeColumn longName{std::string(40, 'N'), SQL_VARCHAR, 10};
    FakeColumn negative{"GIVEN", SQL_VARCHAR, 10};
    negative.reportedNameLength = -1;
    FakeColumn exact{std::string(28, 'E'), SQL_VARCHAR, 10};
    int32_t cursor = 0;
    ASSERT_EQ(Query({{longName, negative, exact}, {}}, &cursor), 3);
    EXPECT_EQ(std::string(a.columns[1][0].name), std::string(28, 'N'));
    EXPECT_STREQ(a.columns[1][1].name, "");
    EXPECT_EQ(std::string(a.columns[1][2].name), std::string(28, 'E'));
    EXPECT_EQ(FakeOdbc::CallsOf(FakeFn::SQLColAttribute)[0].args[2], 29);
}

TEST_F(StatementsTest, LowestFreeHandleIsReused) {
    EXPECT_EQ(a.GetCursorHandle(), -1);
    EXPECT_EQ(OpenOneColumnCursor(), 1);
    EXPECT_EQ(OpenOneColumnCursor(), 2);
    a.CloseCursor(1);
    EXPECT_EQ(OpenOneColumnCursor(), 1);
    EXPECT_EQ(OpenOneColumnCursor(), 3);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 3);
}

TEST_F(StatementsTest, StatementWithoutColumnsKeepsItsHandleForTheNextQuery) {
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("INSERT INTO T VALUES (1)", &cursor), 0);
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(a.cursorInUse[1], 1);
    EXPECT_NE(a.hStmt[1], nullptr);
    EXPECT_EQ(a.columns[1], nullptr);
    SQLHSTMT earlier = a.hStmt[1];

    EXPECT_EQ(OpenOneColumnCursor(), 1);
    EXPECT_FALSE(FakeOdbc::IsLive(earlier));
    EXPECT_EQ(FakeOdbc::AllocatedHandles(SQL_HANDLE_STMT), 2);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 1);
}

TEST_F(StatementsTest, SetOperationsIgnoreMissingCataloguesAndIndexes) {
    int32_t h = OpenOneColumnCursor();
    a.SetColumnDescription(h, 1, "X", SQL_INTEGER, 4);
    a.SetColumnPrecision(h, -1, 5, 5);
    a.SetColumnDateTime(7, 0, 1);
    EXPECT_STREQ(a.columns[h][0].name, "C");
    EXPECT_EQ(a.columns[h][0].hasPrecision, 0);
    EXPECT_EQ(a.columns[h][0].isDateTime, 0);
}

// ---------------------------------------------------------------------------
// Updates
// ---------------------------------------------------------------------------

TEST_F(StatementsTest, UpdateResultsFollowTheDriversAnswer) {
    struct Case {
        SQLRETURN rc;
        int32_t expected;
    };
    const Case cases[] = {{SQL_SUCCESS, 1},
                          {SQL_SUCCESS_WITH_INFO, 1},
                          {SQL_NO_DATA, 0},
                          {SQL_NEED_DATA, 2},
                          {SQL_ERROR, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rc);
        int before = FakeOdbc::TotalCalls();
        FakeOdbc::Script(FakeFn::SQLExecDirect, {c.rc, "42S02", "no such table"});
        EXPECT_EQ(a.ExecSQLUpdate("UPDATE T SET A = 1"), c.expected);
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
        // The cursor type is set again last, after the statement is freed.
        const std::vector<FakeCall>& calls = FakeOdbc::Calls();
        ASSERT_GE(static_cast<int>(calls.size()), before + 3);
        EXPECT_EQ(calls.back().fn, FakeFn::SQLSetConnectOption);
        EXPECT_EQ(calls.back().args, (std::vector<int64_t>{SQL_CURSOR_TYPE, SQL_CURSOR_DYNAMIC}));
        EXPECT_EQ(calls[calls.size() - 2].fn, FakeFn::SQLFreeHandle);
    }
    EXPECT_EQ(Code(), "42S02");
    EXPECT_EQ(Message(), "no such table");
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 0);
}

TEST_F(StatementsTest, UpdateWaitsWhileStillExecuting) {
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_STILL_EXECUTING}, 179);
    EXPECT_EQ(a.ExecSQLUpdate("DELETE FROM T"), 1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 180);
    EXPECT_EQ(FakePlatform::SleepCalls(1000), 179);
    for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLExecDirect)) {
        EXPECT_EQ(call.text, "DELETE FROM T");
    }
}

// ---------------------------------------------------------------------------
// Failure paths
// ---------------------------------------------------------------------------

TEST_F(StatementsTest, UpdateTimesOutAfter180Calls) {
    a.RecordError("42000", "earlier failure");
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_STILL_EXECUTING}, 180);
    EXPECT_EQ(a.ExecSQLUpdate("DELETE FROM T"), -1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 180);
    EXPECT_EQ(FakePlatform::SleepCalls(1000), 179);
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 179);
    EXPECT_EQ(Message(), "(ODBCACCS)SQL_STILL_EXECUTING Time Out Error");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
    EXPECT_EQ(FakeOdbc::CallsOf(FakeFn::SQLSetConnectOption).back().args[0], SQL_CURSOR_TYPE);
}

TEST_F(StatementsTest, UpdateStatementRefusedReportsTheConnection) {
    FakeOdbc::Script(FakeFn::SQLAllocHandle, {SQL_ERROR, "HY013", "memory management error"});
    EXPECT_EQ(a.ExecSQLUpdate("DELETE FROM T"), -1);
    EXPECT_EQ(Code(), "HY013");
    EXPECT_EQ(Message(), "memory management error");
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 0);
    EXPECT_EQ(FakeOdbc::Calls().back().fn, FakeFn::SQLSetConnectOption);
}

TEST_F(StatementsTest, QueryWithSyntaxErrorFreesTheCursor) {
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_ERROR, "42000", "syntax error near FROM"});
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("SELEC * FROM T", &cursor), -1);
    EXPECT_EQ(cursor, 1);
    EXPECT_EQ(a.GetCursorHandle(), 1);
    EXPECT_EQ(Code(), "42000");
    EXPECT_EQ(Message(), "syntax error near FROM");
    EXPECT_EQ(a.cursorInUse[1], 0);
    EXPECT_EQ(a.hStmt[1], nullptr);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
}

TEST_F(StatementsTest, QueryFailsOnEveryNonSuccessAnswerWithoutWaiting) {
    for (SQLRETURN rc : {SQL_NO_DATA, SQL_NEED_DATA, SQL_STILL_EXECUTING}) {
        SCOPED_TRACE(rc);
        a.RecordError("42000", "earlier failure");
        FakeOdbc::Script(FakeFn::SQLExecDirect, {rc});
        int32_t cursor = 0;
        EXPECT_EQ(a.ExecSQLQuery("UPDATE T SET A = 1", &cursor), -1);
        EXPECT_EQ(Message(), "");
        EXPECT_EQ(Code(), "");
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
    }
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 3);
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 0);
}

TEST_F(StatementsTest, QueryColumnCountRefusedFreesTheCursor) {
    FakeOdbc::Script(FakeFn::SQLNumResultCols, {SQL_ERROR, "HY010", "sequence error"});
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("SELECT", &cursor), -1);
    EXPECT_EQ(Code(), "HY010");
    EXPECT_EQ(a.cursorInUse[1], 0);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
}

TEST_F(StatementsTest, The33rdCursorIsRefused) {
    for (int i = 1; i <= 32; ++i) ASSERT_EQ(OpenOneColumnCursor(), i);
    a.RecordError("42000", "earlier failure");
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("SELECT", &cursor), -1);
    EXPECT_EQ(cursor, -1);
    EXPECT_EQ(a.GetCursorHandle(), 0);
    EXPECT_EQ(Message(), "Too Many SQL Cursor Open(Max Open=32)");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 32);
}

TEST_F(StatementsTest, QueryStatementRefusedLeavesTheHandleFree) {
    FakeOdbc::Script(FakeFn::SQLAllocHandle, {SQL_ERROR, "HY013", "memory"});
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("SELECT", &cursor), -1);
    EXPECT_EQ(Message(), "SQLAllocHandle Error Code=(-1)");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(a.GetCursorHandle(), 0);
    EXPECT_EQ(a.hStmt[1], nullptr);
    EXPECT_EQ(a.cursorInUse[1], 0);
    EXPECT_EQ(OpenOneColumnCursor(), 1);
}

TEST_F(StatementsTest, CatalogueHeapFailureLeavesStatementOnly) {
    FakeOdbc::QueueResult({{{"C", SQL_VARCHAR, 10}}, {}});
    FakePlatform::FailAllocationsAfter(0);
    int32_t cursor = 0;
    EXPECT_EQ(a.ExecSQLQuery("SELECT", &cursor), -1);
    EXPECT_EQ(Message(), "(ODBCACCS)Not Enough Memory");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(a.cursorInUse[1], 1);
    EXPECT_NE(a.hStmt[1], nullptr);
    EXPECT_EQ(a.columns[1], nullptr);
    // The handle is handed out again and its statement does not leak.
    EXPECT_EQ(OpenOneColumnCursor(), 1);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 1);
}

TEST_F(StatementsTest, AttributeRefusedFreesTheCursor) {
    // Column 1 reads name, type and length; column 2's type is refused. More
    // such failures than there are cursors leave every cursor free.
    for (int i = 0; i <= jov::kMaxCursors; ++i) {
        FakeOdbc::QueueResult({{{"A", SQL_INTEGER, 4}, {"B", SQL_INTEGER, 4}}, {}});
        FakeOdbc::Script(FakeFn::SQLColAttribute, {SQL_SUCCESS}, 4);
        FakeOdbc::Script(FakeFn::SQLColAttribute, {SQL_ERROR, "HY091", "bad descriptor field"});
        int32_t cursor = 0;
        ASSERT_EQ(a.ExecSQLQuery("SELECT", &cursor), -1);
        EXPECT_EQ(cursor, 1);
        EXPECT_EQ(Code(), "HY091");
        EXPECT_EQ(a.columns[1], nullptr);
        EXPECT_EQ(a.cursorInUse[1], 0);
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
    }
    EXPECT_EQ(OpenOneColumnCursor(), 1);
}

TEST_F(StatementsTest, ScaleRefusedKeepsThePrecisionRead) {
    int32_t h = 0;
    ASSERT_EQ(Query({{{"N", SQL_NUMERIC, 12, 10, 2}}, {}}, &h), 1);
    FakeOdbc::Script(FakeFn::SQLColAttribute, {SQL_SUCCESS});
    FakeOdbc::Script(FakeFn::SQLColAttribute, {SQL_ERROR, "HY091", "bad descriptor field"});
    int16_t precision = -1;
    int16_t scale = -1;
    EXPECT_EQ(a.DescribeColumnPrecision(h, 1, &precision, &scale), -1);
    EXPECT_EQ(precision, 10);
    EXPECT_EQ(scale, 0);
    EXPECT_EQ(Code(), "HY091");
}

TEST_F(StatementsTest, CheckedLookupsRecordTheHandle) {
    int32_t h = OpenOneColumnCursor();
    EXPECT_EQ(a.GetStatement(h), a.hStmt[h]);
    EXPECT_EQ(a.GetColumnsChecked(h), a.columns[h]);
    EXPECT_EQ(a.GetStatement(0), nullptr);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=0");
    EXPECT_EQ(a.GetColumnsChecked(33), nullptr);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=33");
    EXPECT_EQ(a.GetColumnsChecked(2), nullptr);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=2");
    EXPECT_EQ(a.AllocColumns(-4, 3), -1);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=-4");
    EXPECT_EQ(Code(), "");
    char name[jov::kColumnNameSize] = "stale";
    EXPECT_EQ(a.DescribeColumnName(9, 1, name), -1);
    EXPECT_STREQ(name, "");
}

}  // namespace

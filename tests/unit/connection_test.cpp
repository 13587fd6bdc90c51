// OdbcAccs connection lifecycle against the ODBC fake: opening, the failure
// of each step, closing, auto-commit, transactions and the error record.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

#include "odbcaccs/OdbcAccs.h"
#include "platform/heap.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

using jov::OdbcAccs;

class ConnectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
    }
    void TearDown() override {
        EXPECT_TRUE(FakeOdbc::Violations().empty()) << FakeOdbc::Violations().front();
    }
    // Everything the object held has been given back.
    void ExpectNothingHeld() {
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }
    std::string Message(OdbcAccs& a) { return a.errorMessage; }
    std::string Code(OdbcAccs& a) { return a.errorCode; }
};

TEST_F(ConnectionTest, NewObjectIsClosedWithDefaults) {
    OdbcAccs a;
    EXPECT_EQ(a.IsOpenOk(), 0);
    EXPECT_STREQ(a.GetOpenDataSource(), "");
    EXPECT_EQ(a.GetAutoCommit(), 1);
    EXPECT_EQ(a.dateStyle.load(), 21);
    EXPECT_EQ(a.GetCursorHandle(), -1);
    EXPECT_EQ(Message(a), "");
    EXPECT_EQ(Code(a), "");
    EXPECT_EQ(FakeOdbc::TotalCalls(), 0);
}

TEST_F(ConnectionTest, OpenConnectsWithTheNameUnchangedAndStoresItStripped) {
    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen(" MY DSN ", "scott", ""), 1);
    auto connects = FakeOdbc::CallsOf(FakeFn::SQLConnect);
    ASSERT_EQ(connects.size(), 1u);
    EXPECT_EQ(connects[0].text, " MY DSN ");
    // Explicit byte lengths; an empty password goes with length 0.
    EXPECT_EQ(connects[0].args, (std::vector<int64_t>{8, 5, 0}));
    EXPECT_STREQ(a.GetOpenDataSource(), "MYDSN");
    EXPECT_EQ(a.IsOpenOk(), 1);

    auto env = FakeOdbc::CallsOf(FakeFn::SQLSetEnvAttr);
    ASSERT_EQ(env.size(), 1u);
    EXPECT_EQ(env[0].args[0], SQL_ATTR_ODBC_VERSION);
    EXPECT_EQ(env[0].args[1], SQL_OV_ODBC3);
    auto options = FakeOdbc::CallsOf(FakeFn::SQLSetConnectOption);
    ASSERT_EQ(options.size(), 2u);
    EXPECT_EQ(options[0].args, (std::vector<int64_t>{SQL_CURSOR_TYPE, SQL_CURSOR_DYNAMIC}));
    EXPECT_EQ(options[1].args, (std::vector<int64_t>{SQL_AUTOCOMMIT, SQL_AUTOCOMMIT_ON}));

    a.OdbcClose();
    ExpectNothingHeld();
}

TEST_F(ConnectionTest, SecondOpenOfAnOpenObject) {
    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen(" MY DSN ", "", ""), 1);
    EXPECT_EQ(a.OdbcOpen("MYDSN", "", ""), 1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), 1);
    EXPECT_EQ(Message(a), "");

    for (const char* other : {"mydsn", " MY DSN "}) {
        EXPECT_EQ(a.OdbcOpen(other, "", ""), 0) << other;
        EXPECT_EQ(Code(a), "Z9999");
        // "OdbcAccs::OdbcOpenは既に(MYDSN)でオープン中です。..." in Windows-31J.
        EXPECT_EQ(Message(a).rfind("OdbcAccs::OdbcOpen\x82\xCD\x8A\xF9\x82\xC9(MYDSN)\x82\xC5", 0),
                  0u);
        EXPECT_EQ(a.IsOpenOk(), 1);
    }
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), 1);
    a.OdbcClose();
    ExpectNothingHeld();
}

TEST_F(ConnectionTest, RefusedConnectLeavesTheDriverDiagnosticAndCanBeRetried) {
    OdbcAccs a;
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "28000", "password authentication failed"});
    EXPECT_EQ(a.OdbcOpen("Sales", "scott", "wrong"), 0);
    EXPECT_EQ(Code(a), "28000");
    EXPECT_EQ(Message(a), "password authentication failed");
    EXPECT_EQ(a.IsOpenOk(), 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLDisconnect), 0);
    ExpectNothingHeld();

    EXPECT_EQ(a.OdbcOpen("Sales", "scott", "tiger"), 1);
    EXPECT_EQ(Code(a), "28000");  // a success does not clear the record
    a.OdbcClose();
    ExpectNothingHeld();
}

// Each step of an open that can fail, where its diagnostics are read, and
// whether the connection was made (and so must be disconnected).
struct OpenFailure {
    const char* name;
    FakeFn fn;
    int callsBefore;  // successful calls of fn before the failing one
    bool disconnects;
};

// Names the step in test output; printing the raw bytes would read the
// struct's padding, which is never initialised.
void PrintTo(const OpenFailure& f, std::ostream* os) { *os << f.name; }

class OpenFailureTest : public ConnectionTest,
                        public ::testing::WithParamInterface<OpenFailure> {};

TEST_P(OpenFailureTest, ReportsTheDiagnosticAndReleasesEverything) {
    const OpenFailure& f = GetParam();
    for (int i = 0; i < f.callsBefore; ++i) FakeOdbc::Script(f.fn, {SQL_SUCCESS});
    FakeOdbc::Script(f.fn, {SQL_ERROR, "HY001", f.name});
    OdbcAccs a;
    EXPECT_EQ(a.OdbcOpen("Sales", "", ""), 0);
    EXPECT_EQ(Code(a), "HY001");
    EXPECT_EQ(Message(a), f.name);
    EXPECT_EQ(a.IsOpenOk(), 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLDisconnect), f.disconnects ? 1 : 0);
    ExpectNothingHeld();
}

INSTANTIATE_TEST_SUITE_P(
    Steps, OpenFailureTest,
    ::testing::Values(OpenFailure{"SetEnvAttr", FakeFn::SQLSetEnvAttr, 0, false},
                      OpenFailure{"AllocDbc", FakeFn::SQLAllocHandle, 1, false},
                      OpenFailure{"Connect", FakeFn::SQLConnect, 0, false},
                      OpenFailure{"CursorType", FakeFn::SQLSetConnectOption, 0, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConnectionTest, EnvironmentRefusedWithoutDiagnosticLeavesAnEmptyRecord) {
    OdbcAccs a;
    std::strcpy(a.errorMessage, "older");
    FakeOdbc::Script(FakeFn::SQLAllocHandle, {SQL_ERROR});
    EXPECT_EQ(a.OdbcOpen("Sales", "", ""), 0);
    EXPECT_EQ(Message(a), "");
    EXPECT_EQ(Code(a), "");
    EXPECT_EQ(a.hEnv, nullptr);
    ExpectNothingHeld();
}

TEST_F(ConnectionTest, LongDriverMessagesAreCutAt509Bytes) {
    for (size_t length : {508u, 509u, 510u, 600u}) {
        FakeOdbc::Reset();
        OdbcAccs a;
        FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "08001", std::string(length, 'm')});
        EXPECT_EQ(a.OdbcOpen("Sales", "", ""), 0);
        EXPECT_EQ(Message(a).size(), std::min<size_t>(length, 509)) << length;
        EXPECT_EQ(Code(a), "08001");
    }
}

TEST_F(ConnectionTest, CloseTwiceAndCloseOfANeverOpenedObjectDoNothing) {
    OdbcAccs never;
    never.OdbcClose();
    EXPECT_EQ(FakeOdbc::TotalCalls(), 0);

    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    a.OdbcClose();
    int calls = FakeOdbc::TotalCalls();
    a.OdbcClose();
    EXPECT_EQ(FakeOdbc::TotalCalls(), calls);
    EXPECT_STREQ(a.GetOpenDataSource(), "Sales");  // the name outlives the connection
    ExpectNothingHeld();
}

TEST_F(ConnectionTest, CloseReleasesOpenCursorsBeforeDisconnecting) {
    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    for (int h : {3, 7}) {
        ASSERT_EQ(SQLAllocHandle(SQL_HANDLE_STMT, a.hDbc, &a.hStmt[h]), SQL_SUCCESS);
        a.cursorInUse[h] = 1;
        a.columns[h] = static_cast<jov::ColumnInfo*>(jov::AllocateBytes(sizeof(jov::ColumnInfo)));
        std::memset(a.columns[h], 0, sizeof(jov::ColumnInfo));
        a.columns[h][0].data = static_cast<unsigned char*>(jov::AllocateBytes(10));
        a.columnCount[h] = 1;
    }
    a.rowBuffer = static_cast<unsigned char*>(jov::AllocateBytes(jov::kRowBufferSize));

    a.OdbcClose();
    std::vector<FakeFn> order;
    for (const auto& call : FakeOdbc::Calls()) {
        if (call.fn == FakeFn::SQLCloseCursor || call.fn == FakeFn::SQLFreeHandle ||
            call.fn == FakeFn::SQLDisconnect) {
            order.push_back(call.fn);
        }
    }
    std::vector<FakeFn> expected = {FakeFn::SQLCloseCursor, FakeFn::SQLFreeHandle,
                                    FakeFn::SQLCloseCursor, FakeFn::SQLFreeHandle,
                                    FakeFn::SQLDisconnect,  FakeFn::SQLFreeHandle,
                                    FakeFn::SQLFreeHandle};
    EXPECT_EQ(order, expected);
    EXPECT_EQ(a.rowBuffer, nullptr);
    EXPECT_EQ(a.columns[3], nullptr);
    EXPECT_EQ(a.columnCount[7], 0);
    ExpectNothingHeld();
}

TEST_F(ConnectionTest, CloseRollsBackWhatWasNotCommittedAndEndsTheConnection) {
    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    a.SetAutoCommit(0);
    ASSERT_EQ(a.ExecSQLUpdate("INSERT INTO T VALUES (1)"), 1);
    a.OdbcClose();  // the fake, like SQLite's driver, refuses to disconnect in a transaction
    auto transacts = FakeOdbc::CallsOf(FakeFn::SQLTransact);
    ASSERT_EQ(transacts.size(), 1u);
    EXPECT_EQ(transacts[0].args[0], SQL_ROLLBACK);
    ExpectNothingHeld();

    // A driver that refuses the rollback too keeps its connection, but the
    // object lets go of everything else and ends closed, ready to open again.
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    a.SetAutoCommit(0);
    ASSERT_EQ(a.ExecSQLUpdate("INSERT INTO T VALUES (2)"), 1);
    FakeOdbc::Script(FakeFn::SQLTransact, {SQL_ERROR, "HY000", "rollback failed"});
    a.OdbcClose();
    EXPECT_EQ(a.IsOpenOk(), 0);
    EXPECT_EQ(a.hDbc, nullptr);
    EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
    EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    a.OdbcClose();
    EXPECT_EQ(FakeOdbc::LiveHandles(), 2);  // the refused connection and its environment
}

TEST_F(ConnectionTest, AutoCommitOnlyOneMeansOn) {
    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    a.SetAutoCommit(2);
    EXPECT_EQ(FakeOdbc::AutoCommitValue(), SQL_AUTOCOMMIT_OFF);
    EXPECT_EQ(a.GetAutoCommit(), 0);
    a.SetAutoCommit(1);
    EXPECT_EQ(a.GetAutoCommit(), 1);
    a.SetAutoCommit(0);
    FakeOdbc::Script(FakeFn::SQLGetConnectOption, {SQL_ERROR, "HY000", "read failed"});
    EXPECT_EQ(a.GetAutoCommit(), 1);  // a failed read answers "on"
    EXPECT_EQ(Message(a), "");        // and reports nothing
    a.OdbcClose();
}

TEST_F(ConnectionTest, TransactCommitsRollsBackAndReportsRefusal) {
    OdbcAccs never;
    EXPECT_EQ(never.Transact(1), 0);
    EXPECT_EQ(FakeOdbc::TotalCalls(), 0);

    OdbcAccs a;
    ASSERT_EQ(a.OdbcOpen("Sales", "", ""), 1);
    EXPECT_EQ(a.Transact(7), 0);
    EXPECT_EQ(a.Transact(0), 0);
    auto calls = FakeOdbc::CallsOf(FakeFn::SQLTransact);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args[0], SQL_COMMIT);
    EXPECT_EQ(calls[1].args[0], SQL_ROLLBACK);

    FakeOdbc::Script(FakeFn::SQLTransact, {SQL_ERROR, "25000", "no transaction"});
    EXPECT_EQ(a.Transact(1), -1);
    EXPECT_EQ(Code(a), "25000");
    EXPECT_EQ(Message(a), "no transaction");
    a.OdbcClose();
}

}  // namespace

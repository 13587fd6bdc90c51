// The timeout natives of JovOdbcExtras through a fake JNIEnv and the fake
// driver: nothing changes while no timeout is set, a driver's refusal of an
// attribute, and a cancel that reaches only a statement still executing.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "jni/extras_natives.h"
#include "jni/natives.h"
#include "tests/fakes/fake_jni.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

class TimeoutNativesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
    }
    void TearDown() override {
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(env(), nullptr, id);
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
    }
    JNIEnv* env() { return jni.env(); }
    jint Open(jint loginTimeout) {
        id = Java_jov_jdbc_odbc_JovOdbcExtras_openWithLoginTimeout(
            env(), nullptr, jni.String(u"Sales"), nullptr, nullptr, loginTimeout);
        return id;
    }
    std::u16string ThreadRecord() {
        return jni.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorCode(env(), nullptr)) + u" " +
               jni.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(env(), nullptr));
    }
    jint Query() {
        jint cursor = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(env(), nullptr, id,
                                                                        jni.String(u"SELECT 1"));
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(env(), nullptr, id, cursor);
        return cursor;
    }
    jint Update() {
        return Java_jov_jdbc_odbc_JovOdbcExtras_execSQLUpdateRowCount(
            env(), nullptr, id, jni.String(u"DELETE FROM t"), jni.LongArray(1));
    }
    jint Cancel() { return Java_jov_jdbc_odbc_JovOdbcExtras_cancel(env(), nullptr, id); }
    // The integer values the statements were given for attribute.
    static std::vector<int64_t> StatementAttributes(int64_t attribute) {
        std::vector<int64_t> values;
        for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLSetStmtAttr)) {
            if (call.args[0] == attribute) values.push_back(call.args[1]);
        }
        return values;
    }

    FakeJni jni;
    jint id = -1;
};

TEST_F(TimeoutNativesTest, LoginTimeoutReachesTheDriverBeforeItConnectsAndARefusalStillConnects) {
    FakeOdbc::Script(FakeFn::SQLSetConnectAttr, {SQL_ERROR, "HYC00", "not supported"});
    ASSERT_GT(Open(7), 0);
    const std::vector<FakeCall>& calls = FakeOdbc::Calls();
    std::vector<FakeFn> order;
    for (const FakeCall& call : calls) order.push_back(call.fn);
    auto attribute = std::find(order.begin(), order.end(), FakeFn::SQLSetConnectAttr);
    ASSERT_NE(attribute, order.end());
    EXPECT_LT(attribute - order.begin(),
              std::find(order.begin(), order.end(), FakeFn::SQLConnect) - order.begin());
    EXPECT_EQ(calls[attribute - order.begin()].args, (std::vector<int64_t>{SQL_ATTR_LOGIN_TIMEOUT, 7}));
}

TEST_F(TimeoutNativesTest, WithoutTimeoutsNoAttributeIsSetAndNothingIsCancelled) {
    ASSERT_GT(Open(0), 0);
    EXPECT_EQ(Query(), 1);
    EXPECT_EQ(Update(), 1);
    EXPECT_EQ(Cancel(), 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLSetConnectAttr), 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLSetStmtAttr), 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLCancel), 0);
}

TEST_F(TimeoutNativesTest, QueryTimeoutGoesToEveryStatementAndARefusalStillRuns) {
    ASSERT_GT(Open(0), 0);
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(env(), nullptr, id, -1), -1);
    EXPECT_EQ(ThreadRecord(), u" (ODBCACCS)Query Timeout=-1 Is Negative");
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(env(), nullptr, id, 3), 0);
    FakeOdbc::Script(FakeFn::SQLSetStmtAttr, {SQL_ERROR, "HYC00", "not supported"});
    EXPECT_EQ(Query(), 1);
    EXPECT_EQ(Update(), 1);
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(env(), nullptr, id, 0), 0);
    EXPECT_EQ(Query(), 1);
    EXPECT_EQ(StatementAttributes(SQL_ATTR_QUERY_TIMEOUT), (std::vector<int64_t>{3, 3}));
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 3);
}

TEST_F(TimeoutNativesTest, ConnectionTimeoutAnswersTheDriversRefusal) {
    ASSERT_GT(Open(0), 0);
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(env(), nullptr, id, 4), 0);
    FakeOdbc::Script(FakeFn::SQLSetConnectAttr, {SQL_ERROR, "HY092", "unsupported attribute"});
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(env(), nullptr, id, 5), -1);
    EXPECT_EQ(ThreadRecord(), u"HY092 unsupported attribute");
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(env(), nullptr, id, -2), -1);
    EXPECT_EQ(ThreadRecord(), u" (ODBCACCS)Connection Timeout=-2 Is Negative");
    std::vector<FakeCall> calls = FakeOdbc::CallsOf(FakeFn::SQLSetConnectAttr);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].args, (std::vector<int64_t>{SQL_ATTR_CONNECTION_TIMEOUT, 4}));
}

// The fake runs the hook inside SQLExecDirect, where another thread's cancel
// would arrive.
TEST_F(TimeoutNativesTest, CancelReachesTheExecutingStatementOnlyAndReportsARefusal) {
    ASSERT_GT(Open(0), 0);
    std::vector<jint> answers;
    FakeOdbc::OnCall(FakeFn::SQLExecDirect, [&] { answers.push_back(Cancel()); });
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_ERROR, "HY008", "cancelled"});
    EXPECT_EQ(Query(), -1);
    EXPECT_EQ(Update(), 1);
    FakeOdbc::Script(FakeFn::SQLCancel, {SQL_ERROR, "HY000", "cannot cancel"});
    EXPECT_EQ(Query(), 1);
    EXPECT_EQ(answers, (std::vector<jint>{1, 1, -1}));
    EXPECT_EQ(ThreadRecord(), u"HY000 cannot cancel");
    std::vector<FakeCall> executed = FakeOdbc::CallsOf(FakeFn::SQLExecDirect);
    std::vector<FakeCall> cancelled = FakeOdbc::CallsOf(FakeFn::SQLCancel);
    ASSERT_EQ(cancelled.size(), 3u);
    for (size_t i = 0; i < cancelled.size(); ++i) EXPECT_EQ(cancelled[i].handle, executed[i].handle);
    answers.clear();
    FakeOdbc::OnCall(FakeFn::SQLExecDirect, [] {});
    EXPECT_EQ(Cancel(), 0);
}

TEST_F(TimeoutNativesTest, IdentifiersThatAreNotOpenAreRefused) {
    for (jint bad : {0, 9, 513}) {
        EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(env(), nullptr, bad, 1), -1);
        EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(env(), nullptr, bad, 1), -1);
        EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_cancel(env(), nullptr, bad), -1);
    }
    EXPECT_EQ(FakeOdbc::TotalCalls(), 0);
}

}  // namespace

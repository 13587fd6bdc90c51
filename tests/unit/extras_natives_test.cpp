// The natives of JovOdbcExtras through a fake JNIEnv and the fake driver: the
// update's row count, each thread's own failure, and numbers read without
// text, with the refusals of each.
#include "jni/extras_natives.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "jni/natives.h"
#include "tests/fakes/fake_jni.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"
#include "tests/unit/hand_built_catalogue.h"

namespace {

class ExtrasNativesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        id = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(env(), nullptr, jni.String(u"Sales"),
                                                       nullptr, nullptr);
        ASSERT_GT(id, 0);
    }
    void TearDown() override {
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(env(), nullptr, id);
        EXPECT_EQ(jni.OutstandingChars(), 0);
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
    }
    JNIEnv* env() { return jni.env(); }
    // "code message" of the calling thread's record, and of the table's.
    std::u16string ThreadRecord() {
        return jni.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorCode(env(), nullptr)) + u" " +
               jni.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(env(), nullptr));
    }
    std::u16string TableRecord() {
        return jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorCode(env(), nullptr)) + u" " +
               jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorString(env(), nullptr));
    }
    jint Update(const std::u16string& sql, jlongArray count) {
        return Java_jov_jdbc_odbc_JovOdbcExtras_execSQLUpdateRowCount(env(), nullptr, id,
                                                                      jni.String(sql), count);
    }
    jlong Long(jint cursor, jint column, jint expected) {
        jlongArray value = jni.LongArray(1, 99);
        EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_getColumnLong(env(), nullptr, id, cursor, column,
                                                                 value),
                  expected);
        return jni.Longs(value)[0];
    }
    jdouble Double(jint cursor, jint column, jint expected) {
        jdoubleArray value = jni.DoubleArray(1, 99);
        EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_getColumnDouble(env(), nullptr, id, cursor,
                                                                   column, value),
                  expected);
        return jni.Doubles(value)[0];
    }
    // Runs a query over the given result and fetches its first row.
    jint FirstRow(FakeResult result) {
        FakeOdbc::QueueResult(std::move(result));
        jint cursor = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(
            env(), nullptr, id, jni.String(u"SELECT * FROM t"));
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
        return cursor;
    }

    FakeJni jni;
    jint id = -1;
};

TEST_F(ExtrasNativesTest, RowCountOfThreeRowsOfNoneAndOfADriverThatCannotTell) {
    jlongArray count = jni.LongArray(1);
    FakeOdbc::QueueResult({{}, {}, 3});
    EXPECT_EQ(Update(u"UPDATE t SET v = 1", count), 1);
    EXPECT_EQ(jni.Longs(count)[0], 3);
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_NO_DATA});
    EXPECT_EQ(Update(u"UPDATE t SET v = 1 WHERE 0 = 1", count), 0);
    EXPECT_EQ(jni.Longs(count)[0], 0);
    FakeOdbc::Script(FakeFn::SQLRowCount, {SQL_ERROR, "HY010", "sequence"});
    EXPECT_EQ(Update(u"CREATE TABLE u (k int)", count), 1);
    EXPECT_EQ(jni.Longs(count)[0], -1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLRowCount), 2);
    // The 29 natives' own update asks no row count.
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(env(), nullptr, id, jni.String(u"DELETE"));
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLRowCount), 2);
}

TEST_F(ExtrasNativesTest, RowCountRefusalsRunNothingAndRecordForTheThreadToo) {
    EXPECT_EQ(Update(u"DELETE FROM t", nullptr), -1);
    EXPECT_EQ(ThreadRecord(),
              u" (JovOdbcExtras_execSQLUpdateRowCount)rowCount Must Hold One Element");
    EXPECT_EQ(Update(u"DELETE FROM t", jni.LongArray(0)), -1);
    jlongArray count = jni.LongArray(1, 7);
    EXPECT_EQ(Update(std::u16string(u"DELETE FROM t\0 WHERE k = 3", 26), count), -1);
    EXPECT_EQ(ThreadRecord(), u" (JovOdbcExtras_execSQLUpdateRowCount)NUL Character in SQL(Position=13)");
    EXPECT_EQ(jni.Longs(count)[0], -1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 0);
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_ERROR, "42000", "syntax error"});
    EXPECT_EQ(Update(u"UPDAT t", count), -1);
    EXPECT_EQ(ThreadRecord(), u"42000 syntax error");
    EXPECT_EQ(TableRecord(), ThreadRecord());
}

// A statement the connection cannot allocate: the table keeps the library's
// own text, the thread reads the driver's reason from the connection handle
// and its native error; a later refusal of the library's own has none.
TEST_F(ExtrasNativesTest, ThreadRecordCarriesTheDriversReasonForAFailedAllocation) {
    FakeOdbc::Script(FakeFn::SQLAllocHandle, {SQL_ERROR, "08003", "Connection not open"});
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(env(), nullptr, id,
                                                                jni.String(u"SELECT 1")),
              -1);
    EXPECT_EQ(TableRecord(), u" SQLAllocHandle Error Code=(-1)");
    EXPECT_EQ(ThreadRecord(), u"08003 Connection not open");
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorNativeCode(env(), nullptr), 42);

    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcommitTran(env(), nullptr, 0);
    EXPECT_EQ(TableRecord(), ThreadRecord());
    EXPECT_EQ(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorNativeCode(env(), nullptr), 0);
}

// --- SQL run as the driver reports it ---

TEST_F(ExtrasNativesTest, ExecSQLKeepsACursorOnlyForResultColumns) {
    jlongArray count = jni.LongArray(1, 7);
    auto exec = [&](const std::u16string& sql) {
        return Java_jov_jdbc_odbc_JovOdbcExtras_execSQL(env(), nullptr, id, jni.String(sql), count);
    };
    FakeOdbc::QueueResult({{{"id", SQL_INTEGER, 10}}, {{Int32Bytes(7)}}});
    jint cursor = exec(u"INSERT INTO t VALUES (7) RETURNING id");
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
    EXPECT_EQ(Long(cursor, 1, 1), 7);
    FakeOdbc::QueueResult({{}, {}, 2});
    EXPECT_EQ(exec(u"WITH x AS (SELECT 1) DELETE FROM t"), 0);
    EXPECT_EQ(jni.Longs(count)[0], 2);
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_NO_DATA});
    EXPECT_EQ(exec(u"DELETE FROM t WHERE 0 = 1"), 0);
    EXPECT_EQ(jni.Longs(count)[0], 0);
    // Each failure leaves no statement, the open cursor's aside, and says why.
    const std::pair<FakeFn, FakeAnswer> failures[] = {
        {FakeFn::SQLAllocHandle, {SQL_ERROR}},
        {FakeFn::SQLExecDirect, {SQL_NEED_DATA}},
        {FakeFn::SQLNumResultCols, {SQL_ERROR, "HY000", "lost"}},
        {FakeFn::SQLColAttribute, {SQL_ERROR, "HY001", "no memory"}}};
    const char16_t* reasons[] = {
        u" SQLAllocHandle Error Code=(-1)",
        u"07002 (ODBCACCS)SQL_NEED_DATA: The Statement Asks For Parameter Data", u"HY000 lost",
        u"HY001 no memory"};
    for (int i = 0; i < 4; ++i) {
        FakeOdbc::QueueResult({{{"id", SQL_INTEGER, 10}}, {}});
        FakeOdbc::Script(failures[i].first, failures[i].second);
        EXPECT_EQ(exec(u"SELECT id FROM t"), -1);
        EXPECT_EQ(jni.Longs(count)[0], -1);
        EXPECT_EQ(ThreadRecord(), reasons[i]);
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 1);
    }
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(env(), nullptr, id, cursor);
    EXPECT_EQ(
        Java_jov_jdbc_odbc_JovOdbcExtras_execSQL(env(), nullptr, id, jni.String(u"X"), nullptr),
        -1);
    EXPECT_EQ(ThreadRecord(), u" (JovOdbcExtras_execSQL)rowCount Must Hold One Element");
}

// Two threads fail on different identifiers once both are running; each then
// reads its own failure, and a thread that never failed reads none.
TEST_F(ExtrasNativesTest, EachThreadReadsItsOwnFailure) {
    std::mutex lock;
    std::condition_variable changed;
    int failed = 0;
    auto failThenRead = [&](jint badId, std::u16string* record) {
        FakeJni own;
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcommitTran(own.env(), nullptr, badId);
        std::unique_lock<std::mutex> hold(lock);
        ++failed;
        changed.notify_all();
        changed.wait(hold, [&] { return failed == 2; });
        *record = own.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorCode(own.env(), nullptr)) +
                  u" " +
                  own.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(own.env(), nullptr));
    };
    std::u16string first, second, fresh;
    std::thread a(failThenRead, 0, &first);
    std::thread b(failThenRead, 7, &second);
    a.join();
    b.join();
    EXPECT_EQ(first, u"JovJdbcOdbc-02 (JovJdbcOdbc)データベース識別子(0)は範囲外です");
    EXPECT_EQ(second.substr(0, 15), u"JovJdbcOdbc-03 ");
    EXPECT_NE(second.find(u"(7)"), std::u16string::npos);
    EXPECT_TRUE(TableRecord() == first || TableRecord() == second);
    std::thread([&] {
        FakeJni own;
        fresh = own.Text(Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(own.env(), nullptr));
    }).join();
    EXPECT_EQ(fresh, u"");
}

TEST_F(ExtrasNativesTest, LongOfEveryIntegerWidthAndNull) {
    FakeResult result;
    result.columns = {{"B", SQL_BIT},
                      {"T", SQL_TINYINT},
                      {"S", SQL_SMALLINT},
                      {"I", SQL_INTEGER},
                      {"L", SQL_BIGINT}};
    result.rows = {{std::string("\x01"), std::string("\xF6"), Int16Bytes(-30000),
                    Int32Bytes(std::numeric_limits<int32_t>::min()),
                    Int64Bytes(std::numeric_limits<int64_t>::max())},
                   {std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt}};
    jint cursor = FirstRow(result);
    EXPECT_EQ(Long(cursor, 1, 1), 1);
    EXPECT_EQ(Long(cursor, 2, 1), -10);
    EXPECT_EQ(Long(cursor, 3, 1), -30000);
    EXPECT_EQ(Long(cursor, 4, 1), std::numeric_limits<int32_t>::min());
    EXPECT_EQ(Long(cursor, 5, 1), std::numeric_limits<int64_t>::max());
    EXPECT_EQ(Double(cursor, 3, 1), -30000.0);
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
    for (jint column = 1; column <= 5; ++column) EXPECT_EQ(Long(cursor, column, 0), 0);
}

// The doubles are the stored bits: the text rendering would keep six decimals.
TEST_F(ExtrasNativesTest, DoublesAreExact) {
    FakeResult result;
    result.columns = {{"D", SQL_DOUBLE}, {"F", SQL_FLOAT}, {"R", SQL_REAL}};
    result.rows = {{DoubleBytes(1e-7), DoubleBytes(1.0 / 3), FloatBytes(0.1f)}};
    jint cursor = FirstRow(result);
    EXPECT_EQ(Double(cursor, 1, 1), 1e-7);
    EXPECT_EQ(Double(cursor, 2, 1), 1.0 / 3);
    EXPECT_EQ(Double(cursor, 3, 1), static_cast<double>(0.1f));
}

TEST_F(ExtrasNativesTest, RefusalsOfCursorColumnTypeAndArray) {
    jint cursor =
        FirstRow({{{"V", SQL_VARCHAR, 10}, {"D", SQL_DOUBLE}}, {{"abc", DoubleBytes(2)}}});
    EXPECT_EQ(Long(cursor, 1, -1), 0);
    EXPECT_EQ(TableRecord(), u" (ODBCACCS)Column=1 SQL Type=12 Is Not An Integer");
    EXPECT_EQ(Double(cursor, 1, -1), 0);
    EXPECT_EQ(TableRecord(), u" (ODBCACCS)Column=1 SQL Type=12 Is Not A Number");
    EXPECT_EQ(Long(cursor, 2, -1), 0);
    EXPECT_EQ(Double(cursor, 3, -1), 0);
    EXPECT_EQ(ThreadRecord(), u" (ODBCACCS)Invalid Column Number=3");
    EXPECT_EQ(Double(33, 1, -1), 0);
    EXPECT_EQ(ThreadRecord(), u" (ODBCACCS)Invalid Open Cursol Handle=33");
    EXPECT_EQ(
        Java_jov_jdbc_odbc_JovOdbcExtras_getColumnDouble(env(), nullptr, id, cursor, 2, nullptr),
        -1);
    EXPECT_EQ(TableRecord(), u" (JovOdbcExtras_getColumnDouble)value Must Hold One Element");
    EXPECT_EQ(Double(cursor, 2, 1), 2.0);
}

// Values held as text (a value wider than its column, or a column read as
// characters) are parsed whole; short binary values are refused, never read
// past their length.
TEST(NumberValueTest, TextHeldValuesAndShortValues) {
    HandBuiltCatalogue t;
    jov::ColumnInfo* c = t.AddCatalogue(1, 1);
    c->sqlType = SQL_INTEGER;
    int64_t integer = 0;
    double number = 0;
    c->valueIsText = 1;
    HandBuiltCatalogue::SetValue(*c, std::string(" 1099511627776 "));
    EXPECT_EQ(t.obj.GetColumnLong(1, 1, &integer), 1);
    EXPECT_EQ(integer, 1099511627776);
    EXPECT_EQ(t.obj.GetColumnDouble(1, 1, &number), 1);
    EXPECT_EQ(number, 1099511627776.0);
    c->sqlType = SQL_DOUBLE;
    HandBuiltCatalogue::SetValue(*c, std::string("0.1"));
    EXPECT_EQ(t.obj.GetColumnDouble(1, 1, &number), 1);
    EXPECT_EQ(number, 0.1);
    c->valueIsText = 0;
    c->readAsChar = 1;
    c->sqlType = SQL_BIGINT;
    for (const char* bad : {"12x", "", "99999999999999999999", "1.5"}) {
        HandBuiltCatalogue::SetValue(*c, std::string(bad));
        EXPECT_EQ(t.obj.GetColumnLong(1, 1, &integer), -1) << bad;
    }
    c->readAsChar = 0;
    HandBuiltCatalogue::SetValue(*c, std::vector<unsigned char>{1, 2, 3});
    EXPECT_EQ(t.obj.GetColumnLong(1, 1, &integer), -1);
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    t.obj.GetError(message, code);
    EXPECT_STREQ(message, "(ODBCACCS)Column=1 Value Is Not An Integer");
}

}  // namespace

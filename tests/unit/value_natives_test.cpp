// The statement and column natives through a fake JNIEnv: the SQL text
// buffer, values as Java strings and byte arrays, and what each native does
// when the heap or the JVM refuses to create something.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "jni/natives.h"
#include "tests/fakes/fake_jni.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

class ValueNativesTest : public ::testing::Test {
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
    std::u16string ErrorCode() {
        return jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorCode(env(), nullptr));
    }
    std::u16string ErrorString() {
        return jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorString(env(), nullptr));
    }
    jint Query(const std::u16string& sql) {
        return Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(env(), nullptr, id,
                                                                 jni.String(sql));
    }
    // Runs a one-column query over the given values and fetches its first row.
    jint FirstRow(FakeColumn column, std::vector<FakeValue> values) {
        FakeResult result;
        result.columns.push_back(std::move(column));
        for (auto& v : values) result.rows.push_back({std::move(v)});
        FakeOdbc::QueueResult(std::move(result));
        jint cursor = Query(u"SELECT v FROM t");
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
        return cursor;
    }
    jstring ValueString(jint cursor, jint column = 1) {
        return Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataString(env(), nullptr, id,
                                                                        cursor, column);
    }
    jbyteArray ValueBytes(jint cursor, jint column = 1) {
        return Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataBinary(env(), nullptr, id,
                                                                        cursor, column);
    }

    FakeJni jni;
    jint id = -1;
};

TEST_F(ValueNativesTest, SqlTextOf3000JapaneseCharactersPassesWhole) {
    std::u16string sql(3000, u'\u65E5');  // 日, 0x93 0xFA
    Query(sql);
    auto exec = FakeOdbc::CallsOf(FakeFn::SQLExecDirect);
    ASSERT_EQ(exec.size(), 1u);
    std::string expected;
    for (int i = 0; i < 3000; ++i) expected += "\x93\xFA";
    EXPECT_EQ(exec[0].text, expected);
}

TEST_F(ValueNativesTest, NullAndEmptySqlSendTheEmptyText) {
    FakeOdbc::Script(FakeFn::SQLExecDirect, {SQL_ERROR, "42000", "empty statement"}, 2);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(env(), nullptr, id, nullptr), -1);
    EXPECT_EQ(Query(u""), -1);
    for (const auto& call : FakeOdbc::CallsOf(FakeFn::SQLExecDirect)) EXPECT_EQ(call.text, "");
    EXPECT_EQ(ErrorCode(), u"42000");
}

TEST_F(ValueNativesTest, SqlBufferRefusedByTheHeap) {
    FakePlatform::FailAllocationsAfter(0);
    EXPECT_EQ(Query(u"SELECT 1"), -1);
    EXPECT_EQ(ErrorString(), u"(JNIODBCexecSQLQuery)Not Enough Memory");
    EXPECT_EQ(ErrorCode(), u"");
    FakePlatform::FailAllocationsAfter(0);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(env(), nullptr, id,
                                                                 jni.String(u"DELETE FROM t")),
              -1);
    EXPECT_EQ(ErrorString(), u"(JNIODBCexecSQLQuery)Not Enough Memory");
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 0);
    EXPECT_EQ(jni.GetCharsCalls(), 1);  // only the open's data source
}

// The driver reads SQL text up to its first NUL: "DELETE FROM t" would run.
TEST_F(ValueNativesTest, SqlHoldingNulNeverReachesTheDriver) {
    const std::u16string sql(u"DELETE FROM t\0 WHERE id = 3", 27);
    EXPECT_EQ(Query(sql), -1);
    EXPECT_EQ(ErrorString(), u"(JNIODBCexecSQLQuery)NUL Character in SQL(Position=13)");
    EXPECT_EQ(ErrorCode(), u"");
    jstring nul = jni.String(std::u16string(1, u'\0'));
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(env(), nullptr, id, nul), -1);
    EXPECT_EQ(ErrorString(), u"(JNIODBCexecSQLQuery)NUL Character in SQL(Position=0)");
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLExecDirect), 0);
}

// Names are cut at 28 bytes by the driver; one cut inside 日 keeps 27, and
// the name Java receives finds its column again.
TEST_F(ValueNativesTest, ColumnNamesCutInsideACharacterKeepWholeCharacters) {
    std::string split = "a";
    std::string even;
    for (int i = 0; i < 14; ++i) split += "\x93\xFA";  // 29 bytes
    for (int i = 0; i < 15; ++i) even += "\x93\xFA";   // 30 bytes, cut between characters
    FakeOdbc::QueueResult({{{split, SQL_VARCHAR, 10}, {even, SQL_VARCHAR, 10}}, {}});
    jint cursor = Query(u"SELECT");
    const std::u16string expected[] = {u"a" + std::u16string(13, u'\u65E5'),
                                       std::u16string(14, u'\u65E5')};
    for (jint column : {1, 2}) {
        jstring name =
            Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnName(env(), nullptr, id, cursor, column);
        EXPECT_EQ(jni.Text(name), expected[column - 1]);
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNoFromName(env(), nullptr, id,
                                                                           cursor, name),
                  column);
    }
}

TEST_F(ValueNativesTest, ShortAndLongTextsBecomeJavaStrings) {
    std::string longText(5000, 'x');
    longText[4999] = 'y';
    jint cursor = FirstRow({"V", SQL_VARCHAR, 8000}, {std::string("abc"), longText});
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"abc");
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
    std::u16string value = jni.Text(ValueString(cursor));
    EXPECT_EQ(value.size(), 5000u);
    EXPECT_EQ(value.back(), u'y');
}

// ASCII texts reach the JVM as they are, all others through the code page:
// a double-byte character anywhere, first, last or past the first eight
// bytes, must send the text the second way.
TEST_F(ValueNativesTest, TextsWithAndWithoutJapaneseAtEveryPlace) {
    const std::string nihon = "\x93\xFA\x96\x7B";  // 日本
    struct Case {
        std::string stored;
        std::u16string expected;
    } cases[] = {
        {"abcdefgh", u"abcdefgh"},
        {"abcdefghijklmnopq", u"abcdefghijklmnopq"},
        {nihon + "abcdefgh", u"\u65E5\u672Cabcdefgh"},
        {"abcdefgh" + nihon, u"abcdefgh\u65E5\u672C"},
        {"abcdefghijklmno" + nihon, u"abcdefghijklmno\u65E5\u672C"},
        {"a\xB1" "bcdefghij", u"a\uFF71bcdefghij"},  // half-width katakana ｱ
    };
    std::vector<FakeValue> values;
    for (const Case& c : cases) values.push_back(c.stored);
    jint cursor = FirstRow({"V", SQL_VARCHAR, 40}, values);
    for (const Case& c : cases) {
        EXPECT_EQ(jni.Text(ValueString(cursor)), c.expected);
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor);
    }
}

// A value's text ends at its first NUL, whichever way it reaches the JVM:
// the bytes after it must not be converted along with it.
TEST_F(ValueNativesTest, TextsEndAtTheirFirstNul) {
    const std::string nihon = "\x93\xFA\x96\x7B";  // 日本
    jint cursor = FirstRow({"V", SQL_VARCHAR, 40},
                           {std::string("ab\0cd", 5), nihon + std::string(1, '\0') + nihon});
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"ab");
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"\u65E5\u672C");
}

// A fetch on another cursor of the connection that stages a 64 KiB value
// while the JVM makes a value's string must not change that string: it is
// made from its own value's bytes only.
TEST_F(ValueNativesTest, AValueReadWhileAnotherCursorFetchesALongOne) {
    FakeResult values;
    values.columns = {{"V", SQL_VARCHAR, 10}, {"N", SQL_INTEGER, 4}, {"T", SQL_TYPE_TIMESTAMP, 19}};
    values.rows = {{std::string("abc"), Int32Bytes(42), std::string("2004-04-30 21:50:08")}};
    FakeResult blobs;
    blobs.columns = {{"L", SQL_LONGVARCHAR, 70000}};
    blobs.rows.assign(3, {std::string(65536, 'z')});
    FakeOdbc::QueueResult(values);
    FakeOdbc::QueueResult(blobs);
    const jint cursor = Query(u"SELECT V, N, T FROM t");
    const jint other = Query(u"SELECT L FROM blobs");
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);

    const std::u16string expected[] = {u"abc", u"42", u"04/04/30 21:50:08"};
    for (jint column = 1; column <= 3; ++column) {
        jni.beforeNewString = [&] {
            EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, other), 1);
        };
        EXPECT_EQ(jni.Text(ValueString(cursor, column)), expected[column - 1]);
    }
}

// Short values render on the stack; a long one that needs the heap, and
// finds none, gives null and the record, and comes whole once it is there.
TEST_F(ValueNativesTest, ValueBuffersFromTheHeapOnlyForLongValues) {
    FakeResult result;
    result.columns = {{"A", SQL_VARCHAR, 8000}, {"B", SQL_VARBINARY, 8000}, {"S", SQL_DOUBLE, 8}};
    result.rows = {{std::string(5000, 'a'), std::string(300, '\x01'), DoubleBytes(1.5)}};
    FakeOdbc::QueueResult(result);
    const jint cursor = Query(u"SELECT A, B, S FROM t");
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);

    const long before = FakePlatform::AllocationCount();
    EXPECT_EQ(jni.Text(ValueString(cursor, 3)), u"1.5");
    EXPECT_EQ(FakePlatform::AllocationCount(), before);

    std::u16string hex;
    for (int i = 0; i < 300; ++i) hex += u"01";
    const std::u16string expected[] = {std::u16string(5000, u'a'), hex};
    for (jint column = 1; column <= 2; ++column) {
        FakePlatform::FailAllocationsAfter(0);
        EXPECT_EQ(ValueString(cursor, column), nullptr);
        EXPECT_EQ(ErrorString(), u"(JNIODBCDLL_getColumnDataString)Not Enough Memory");
        EXPECT_EQ(jni.Text(ValueString(cursor, column)), expected[column - 1]);
    }
}

TEST_F(ValueNativesTest, NullAndEmptyValuesAreEmptyObjects) {
    jint cursor = FirstRow({"V", SQL_VARCHAR, 10}, {std::nullopt, std::string()});
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisColumnDataNull(env(), nullptr, id, cursor, 1),
              1);
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"");
    EXPECT_EQ(jni.Length(ValueBytes(cursor)), 0);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnFetchDataLength(env(), nullptr, id,
                                                                            cursor, 1),
              0);
    ASSERT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), 1);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisColumnDataNull(env(), nullptr, id, cursor, 1),
              0);
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"");
    EXPECT_EQ(jni.Length(ValueBytes(cursor)), 0);
}

TEST_F(ValueNativesTest, BinaryValuesComeBackAsTheirBytes) {
    jint cursor = FirstRow({"B", SQL_VARBINARY, 10}, {std::string("\x00\x0A\xFF", 3)});
    EXPECT_EQ(jni.Bytes(ValueBytes(cursor)), (std::vector<unsigned char>{0x00, 0x0A, 0xFF}));
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"000aff");
}

TEST_F(ValueNativesTest, RefusedJavaObjectsAreRecorded) {
    jint cursor = FirstRow({"V", SQL_VARCHAR, 10}, {std::string("hello")});
    jni.failNewString = true;
    EXPECT_EQ(ValueString(cursor), nullptr);
    jni.failNewString = false;
    EXPECT_EQ(ErrorString(), u"(JNIODBCDLL_getColumnDataString)NewString(SIZE=5) Error");
    EXPECT_EQ(ErrorCode(), u"");

    jni.failNewByteArray = true;
    EXPECT_EQ(ValueBytes(cursor), nullptr);
    jni.failNewByteArray = false;
    EXPECT_EQ(ErrorString(), u"(JNIODBCDLL_getColumnDataBinary)NewByteArray(SIZE=5) Error");
}

TEST_F(ValueNativesTest, ALongValueWhoseUnitsTheHeapRefuses) {
    // A long non-ASCII text converts through a heap buffer of UTF-16 units.
    std::string text;
    for (int i = 0; i < 1500; ++i) text += "\x93\xFA";  // 日
    jint cursor = FirstRow({"V", SQL_VARCHAR, 8000}, {text});
    FakePlatform::FailAllocationsAfter(0);
    EXPECT_EQ(ValueString(cursor), nullptr);
    EXPECT_EQ(ErrorString(), u"(JNIODBCDLL_getColumnDataString)Not Enough Memory");
    EXPECT_EQ(jni.Text(ValueString(cursor)), std::u16string(1500, u'\u65E5'));
}

TEST_F(ValueNativesTest, ColumnNumbersAndCursorsOutOfRangeGiveEmptyAnswers) {
    jint cursor = FirstRow({"V", SQL_INTEGER, 4}, {Int32Bytes(42)});
    for (jint column : {0, 2, -1, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(jni.Text(ValueString(cursor, column)), u"");
        EXPECT_EQ(jni.Length(ValueBytes(cursor, column)), 0);
        EXPECT_EQ(jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnName(env(), nullptr, id,
                                                                              cursor, column)),
                  u"");
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnType(env(), nullptr, id, cursor,
                                                                     column),
                  0);
    }
    for (jint badCursor : {0, 33, 2, -1, INT32_MAX}) {
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisColumnDataNull(env(), nullptr, id,
                                                                        badCursor, 1),
                  0);
        EXPECT_EQ(jni.Text(ValueString(badCursor)), u"");
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNum(env(), nullptr, id, badCursor),
                  0);
        Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(env(), nullptr, id, badCursor);
    }
    EXPECT_EQ(jni.Text(ValueString(cursor)), u"42");
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNoFromName(env(), nullptr, id, cursor,
                                                                       nullptr),
              -1);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNoFromName(
                  env(), nullptr, id, cursor, jni.String(std::u16string(100000, u'v'))),
              -1);
}

TEST_F(ValueNativesTest, FetchWithABadCursorHandleNamesIt) {
    for (jint cursor : {0, 33}) {
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(env(), nullptr, id, cursor), -1);
        std::string digits = std::to_string(cursor);
        EXPECT_EQ(ErrorString(), u"(ODBCACCS)Invalid Open Cursol Handle=" +
                                     std::u16string(digits.begin(), digits.end()));
        EXPECT_EQ(ErrorCode(), u"");
    }
}

}  // namespace

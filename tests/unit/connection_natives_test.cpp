// The connection natives through a fake JNIEnv: argument conversion, buffer
// limits, null strings, and the Java strings of the last-error record.
#include <gtest/gtest.h>

#include <string>

#include "jni/natives.h"
#include "table/DataSourceTable.h"
#include "tests/fakes/fake_jni.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

std::u16string Digits(jint id) {
    std::string text = std::to_string(id);
    return std::u16string(text.begin(), text.end());
}

class ConnectionNativesTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
    }
    void TearDown() override {
        for (jint id : opened) Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(env(), nullptr, id);
        EXPECT_EQ(jni.OutstandingChars(), 0);
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
    }
    JNIEnv* env() { return jni.env(); }
    jint Open(jstring source, jstring user = nullptr, jstring password = nullptr) {
        jint id = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(env(), nullptr, source, user, password);
        if (id > 0) opened.push_back(id);
        return id;
    }
    std::u16string ErrorCode() {
        return jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorCode(env(), nullptr));
    }
    std::u16string ErrorString() {
        return jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorString(env(), nullptr));
    }
    // The SQLConnect arguments (data source text; user and password lengths).
    FakeCall LastConnect() { return FakeOdbc::CallsOf(FakeFn::SQLConnect).back(); }

    FakeJni jni;
    std::vector<jint> opened;
};

TEST_F(ConnectionNativesTest, TheDataSourceIsThePartAfterTheLastColon) {
    ASSERT_GT(Open(jni.String(u"A:B:Sales")), 0);
    EXPECT_EQ(LastConnect().text, "Sales");
    ASSERT_GT(Open(jni.String(u"Sales")), 0);
    EXPECT_EQ(LastConnect().text, "Sales");
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "IM002", "not found"});
    EXPECT_EQ(Open(jni.String(u"A:B:")), -1);
    EXPECT_EQ(LastConnect().text, "");
}

// The driver gets exactly the texts the caller gave, or the open fails before
// it: psqlODBC would take a cut or emptied user as the data source's own.
TEST_F(ConnectionNativesTest, TextsThatDoNotFitOrHoldNulRefuseTheOpen) {
    std::u16string user63(63, u'u');
    ASSERT_GT(Open(jni.String(u"S"), jni.String(user63), jni.String(user63)), 0);
    EXPECT_EQ(LastConnect().args, (std::vector<int64_t>{1, 63, 63}));
    const struct {
        std::u16string source, user, password, message;
    } refused[] = {
        {u"S", std::u16string(64, u'u'), u"p", u"(JNIODBCopen)User Too Long(Max=63 Bytes)"},
        {u"S", u"u", std::u16string(32, u'\u65E5'),
         u"(JNIODBCopen)Password Too Long(Max=63 Bytes)"},
        {std::u16string(128, u's'), u"u", u"p",
         u"(JNIODBCopen)Data Source Too Long(Max=127 Bytes)"},
        {u"S", std::u16string(1, u'\0') + u"jov", u"p",
         u"(JNIODBCopen)NUL Character in User(Position=0)"},
        {u"S", u"u", std::u16string(u"pa\0ss", 5),
         u"(JNIODBCopen)NUL Character in Password(Position=2)"},
    };
    for (const auto& r : refused) {
        SCOPED_TRACE(std::string(r.message.begin(), r.message.end()));
        EXPECT_EQ(Open(jni.String(r.source), jni.String(r.user), jni.String(r.password)), -1);
        EXPECT_EQ(ErrorString(), r.message);
        EXPECT_EQ(ErrorCode(), u"");
    }
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), 1);
}

TEST_F(ConnectionNativesTest, NullStringsAreEmptyTextsAndNeverReachTheJvm) {
    ASSERT_GT(Open(jni.String(u"Sales"), nullptr, nullptr), 0);
    EXPECT_EQ(LastConnect().args, (std::vector<int64_t>{5, 0, 0}));
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "IM002", "no name"});
    EXPECT_EQ(Open(nullptr, nullptr, nullptr), -1);
    EXPECT_EQ(LastConnect().text, "");
    EXPECT_EQ(jni.GetCharsCalls(), 1);
}

TEST_F(ConnectionNativesTest, StringsWhoseCharactersAreRefusedRefuseTheOpen) {
    jni.failGetStringChars = true;
    EXPECT_EQ(Open(jni.String(u"Sales"), jni.String(u"u"), jni.String(u"p")), -1);
    EXPECT_EQ(ErrorString(), u"(JNIODBCopen)GetStringChars(Data Source) Error");
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), 0);
}

TEST_F(ConnectionNativesTest, JapaneseTextsPassBothWays) {
    // 売上 (U+58F2 U+4E0A) is 0x94 0x84 0x8F 0xE3 in Windows-31J.
    ASSERT_GT(Open(jni.String(u"\u58F2\u4E0A")), 0);
    EXPECT_EQ(LastConnect().text, "\x94\x84\x8F\xE3");
    jstring name = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetOpenDataSource(env(), nullptr,
                                                                         opened.back());
    EXPECT_EQ(jni.Text(name), u"\u58F2\u4E0A");
}

TEST_F(ConnectionNativesTest, BadIdentifiersGiveFailureValuesAndJapaneseMessages) {
    for (jint id : {0, -5, 513}) {
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisOpenOk(env(), nullptr, id), 0);
        EXPECT_EQ(ErrorCode(), u"JovJdbcOdbc-02");
        EXPECT_EQ(ErrorString(), u"(JovJdbcOdbc)\u30C7\u30FC\u30BF\u30D9\u30FC\u30B9\u8B58\u5225"
                                 u"\u5B50(" +
                                     Digits(id) +
                                     u")\u306F\u7BC4\u56F2\u5916\u3067\u3059");
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcommitTran(env(), nullptr, id), -1);
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCrollbackTran(env(), nullptr, id), -1);
        EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(env(), nullptr, id), 0);
        EXPECT_EQ(jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetOpenDataSource(env(), nullptr,
                                                                                  id)),
                  u"");
    }
}

TEST_F(ConnectionNativesTest, AClosedIdentifierIsNotOpen) {
    jint id = Open(jni.String(u"Sales"));
    ASSERT_GT(id, 0);
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(env(), nullptr, id);
    opened.clear();
    EXPECT_EQ(jni.Text(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetOpenDataSource(env(), nullptr, id)),
              u"");
    EXPECT_EQ(ErrorCode(), u"JovJdbcOdbc-03");
    // "(JovJdbcOdbc)データベース識別子(N)はオープンされていません"
    std::u16string digits = Digits(id);
    EXPECT_EQ(ErrorString(), u"(JovJdbcOdbc)\u30C7\u30FC\u30BF\u30D9\u30FC\u30B9\u8B58\u5225"
                             u"\u5B50(" +
                                 digits +
                                 u")\u306F\u30AA\u30FC\u30D7\u30F3\u3055\u308C\u3066\u3044\u307E"
                                 u"\u305B\u3093");
}

TEST_F(ConnectionNativesTest, AutoCommitTestsAllThirtyTwoBits) {
    jint id = Open(jni.String(u"Sales"));
    ASSERT_GT(id, 0);
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetAutoCommit(env(), nullptr, id, 0);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(env(), nullptr, id), 0);
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetAutoCommit(env(), nullptr, id, 256);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(env(), nullptr, id), 1);
    Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetAutoCommit(env(), nullptr, id, INT32_MIN);
    EXPECT_EQ(Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(env(), nullptr, id), 1);
}

TEST_F(ConnectionNativesTest, ADriverMessageReachesJavaWhole) {
    std::string message(509, 'm');
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "08001", message});
    EXPECT_EQ(Open(jni.String(u"Sales")), -1);
    EXPECT_EQ(ErrorCode(), u"08001");
    EXPECT_EQ(ErrorString(), std::u16string(509, u'm'));
}

}  // namespace

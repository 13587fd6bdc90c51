// The data source table: identifiers, slots, the last-error record and the
// lifetime of objects that a close races.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "table/DataSourceTable.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

using jov::DataSourceTable;

// The table's messages in Windows-31J, written out independently of the
// library's own constants.
const std::string kOutOfRange5 =  // "(JovJdbcOdbc)データベース識別子(-5)は範囲外です"
    "(JovJdbcOdbc)\x83" "f\x81[\x83^\x83x\x81[\x83X\x8E\xAF\x95\xCA\x8Eq(-5)\x82\xCD\x94\xCD\x88"
    "\xCD\x8AO\x82\xC5\x82\xB7";
const std::string kNotOpen7 =  // "(JovJdbcOdbc)データベース識別子(7)はオープンされていません"
    "(JovJdbcOdbc)\x83" "f\x81[\x83^\x83x\x81[\x83X\x8E\xAF\x95\xCA\x8Eq(7)\x82\xCD\x83I\x81[\x83"
    "v\x83\x93\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1";
const std::string kTooMany =  // "(JovJdbcOdbc)同時にオープン可能なデータソースは512つまでです"
    "(JovJdbcOdbc)\x93\xAF\x8E\x9E\x82\xC9\x83I\x81[\x83v\x83\x93\x89\xC2\x94\x5C\x82\xC8\x83"
    "f\x81[\x83^\x83\x5C\x81[\x83X\x82\xCD" "512\x82\xC2\x82\xDC\x82\xC5\x82\xC5\x82\xB7";
const std::string kCreateFailed =  // "JovJdbcOdbc OdbcAccsオブジェクトの生成に失敗しました"
    "JovJdbcOdbc OdbcAccs\x83I\x83u\x83W\x83" "F\x83N\x83g\x82\xCC\x90\xB6\x90\xAC\x82\xC9\x8E\xB8"
    "\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

class DataSourceTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        table = std::make_unique<DataSourceTable>();
    }
    void TearDown() override {
        for (int id = 1; id <= jov::kMaxDataSources; ++id) {
            if (table->FindOpen(id)) table->Close(id);
        }
        table.reset();
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
    }
    std::string Message() {
        char message[jov::kErrorMessageSize];
        char code[jov::kErrorCodeSize];
        EXPECT_EQ(table->GetError(message, code), 0);
        return message;
    }
    std::string Code() {
        char message[jov::kErrorMessageSize];
        char code[jov::kErrorCodeSize];
        table->GetError(message, code);
        return code;
    }
    int32_t Open() { return table->Open("Sales", "", ""); }

    std::unique_ptr<DataSourceTable> table;
};

TEST_F(DataSourceTableTest, HandsOutTheLowestFreeIdentifier) {
    EXPECT_EQ(Open(), 1);
    EXPECT_EQ(Open(), 2);
    EXPECT_EQ(Open(), 3);
    table->Close(1);
    table->Close(2);
    EXPECT_EQ(Open(), 1);
    EXPECT_EQ(Open(), 2);
    EXPECT_EQ(Open(), 4);
}

TEST_F(DataSourceTableTest, TheSameSourceTwiceGivesTwoConnections) {
    EXPECT_EQ(Open(), 1);
    EXPECT_EQ(Open(), 2);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), 2);
}

TEST_F(DataSourceTableTest, AFullTableRefusesWith01) {
    for (int i = 1; i <= jov::kMaxDataSources; ++i) ASSERT_EQ(Open(), i);
    int connects = FakeOdbc::CallCount(FakeFn::SQLConnect);
    EXPECT_EQ(Open(), -1);
    EXPECT_EQ(Code(), "JovJdbcOdbc-01");
    EXPECT_EQ(Message(), kTooMany);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLConnect), connects);
    table->Close(300);
    EXPECT_EQ(Open(), 300);
}

TEST_F(DataSourceTableTest, AFailedOpenReportsTheDriverAndGivesItsSlotBack) {
    ASSERT_EQ(Open(), 1);
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "IM002", "Data source name not found"});
    EXPECT_EQ(table->Open("Nowhere", "", ""), -1);
    EXPECT_EQ(Code(), "IM002");
    EXPECT_EQ(Message(), "Data source name not found");
    EXPECT_EQ(table->IsOpenOk(2), 0);
    EXPECT_EQ(Code(), "JovJdbcOdbc-03");  // the slot is free again, not "taken, not open"
    EXPECT_EQ(Open(), 2);
}

TEST_F(DataSourceTableTest, AThousandFailedOpensDoNotUseUpTheTable) {
    FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "28000", "bad password"}, 1000);
    for (int i = 0; i < 1000; ++i) ASSERT_EQ(Open(), -1);
    EXPECT_EQ(Open(), 1);
}

TEST_F(DataSourceTableTest, ObjectCreationFailureRecordsErrnoAndKeepsTheSlotFree) {
    FakePlatform::FailAllocationsAfter(0);
    EXPECT_EQ(Open(), -1);
    EXPECT_EQ(Message(), kCreateFailed);
    EXPECT_EQ(Code(), std::to_string(ENOMEM));
    EXPECT_EQ(FakeOdbc::TotalCalls(), 0);
    EXPECT_EQ(Open(), 1);
}

TEST_F(DataSourceTableTest, BadIdentifiersAreRecordedWithTheirOwnCodes) {
    ASSERT_EQ(Open(), 1);
    struct Case {
        int32_t id;
        const char* code;
    } cases[] = {{0, "JovJdbcOdbc-02"},   {-5, "JovJdbcOdbc-02"},
                 {513, "JovJdbcOdbc-02"}, {INT32_MIN, "JovJdbcOdbc-02"},
                 {INT32_MAX, "JovJdbcOdbc-02"}, {7, "JovJdbcOdbc-03"},
                 {512, "JovJdbcOdbc-03"}};
    for (const Case& c : cases) {
        EXPECT_EQ(table->IsOpenOk(c.id), 0) << c.id;
        EXPECT_EQ(Code(), c.code) << c.id;
        EXPECT_EQ(table->Transact(c.id, 1), -1);
        EXPECT_EQ(table->GetAutoCommit(c.id), 0);
        EXPECT_EQ(table->GetOpenDataSource(c.id).text, nullptr);
        EXPECT_EQ(table->IsColumnDataNull(c.id, 1, 1), 1);
        EXPECT_EQ(table->GetColumnDataTimet(c.id, 1, 1), 1);
        EXPECT_EQ(table->GetColumnNoFromName(c.id, 1, "A"), 0);
        EXPECT_EQ(table->Fetch(c.id, 1), -1);
        EXPECT_EQ(Code(), c.code) << c.id;
    }
    table->IsOpenOk(-5);
    EXPECT_EQ(Message(), kOutOfRange5);
    table->IsOpenOk(7);
    EXPECT_EQ(Message(), kNotOpen7);
}

TEST_F(DataSourceTableTest, CloseTwiceRecords03TheSecondTime) {
    ASSERT_EQ(Open(), 1);
    table->Close(1);
    EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
    table->SetError("", "");
    table->Close(1);
    EXPECT_EQ(Code(), "JovJdbcOdbc-03");
}

TEST_F(DataSourceTableTest, SetErrorCutsByBytesAndZeroFills) {
    std::string longMessage(600, 'x');
    std::string longCode(60, 'c');
    table->SetError(longMessage.c_str(), longCode.c_str());
    EXPECT_EQ(Message(), longMessage.substr(0, 511));
    EXPECT_EQ(Code(), longCode.substr(0, 47));

    table->SetError("short", "S1");
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    table->GetError(message, code);
    EXPECT_STREQ(message, "short");
    for (size_t i = 5; i < sizeof message; ++i) ASSERT_EQ(message[i], 0) << i;
    for (size_t i = 2; i < sizeof code; ++i) ASSERT_EQ(code[i], 0) << i;
}

TEST_F(DataSourceTableTest, TheRecordSurvivesLaterSuccesses) {
    EXPECT_EQ(table->IsOpenOk(0), 0);
    ASSERT_EQ(Open(), 1);
    EXPECT_EQ(table->IsOpenOk(1), 1);
    EXPECT_EQ(table->Transact(1, 1), 0);
    EXPECT_EQ(Code(), "JovJdbcOdbc-02");
    EXPECT_EQ(Code(), "JovJdbcOdbc-02");  // reading does not clear it
}

TEST_F(DataSourceTableTest, OnlyTransactCopiesTheObjectsFailure) {
    ASSERT_EQ(Open(), 1);
    table->SetError("before", "B");
    FakeOdbc::Script(FakeFn::SQLGetConnectOption, {SQL_ERROR, "HY000", "ignored"});
    EXPECT_EQ(table->GetAutoCommit(1), 1);
    EXPECT_EQ(Code(), "B");
    FakeOdbc::Script(FakeFn::SQLTransact, {SQL_ERROR, "40001", "serialization failure"});
    EXPECT_EQ(table->Transact(1, 0), -1);
    EXPECT_EQ(Code(), "40001");
    EXPECT_EQ(Message(), "serialization failure");
}

TEST_F(DataSourceTableTest, ACloseWhileACallHoldsTheObjectWaitsForThatCall) {
    ASSERT_EQ(Open(), 1);
    jov::TextLease lease = table->GetOpenDataSource(1);
    ASSERT_NE(lease.text, nullptr);
    table->Close(1);
    // The identifier is no longer open, but the object the call found is.
    EXPECT_EQ(table->IsOpenOk(1), 0);
    EXPECT_STREQ(lease.text, "Sales");
    EXPECT_EQ(lease.owner->IsOpenOk(), 1);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLDisconnect), 0);
    lease = {};
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLDisconnect), 1);
    EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
}

TEST_F(DataSourceTableTest, AnOpenFailingAfterTheConnectIsNeverReachable) {
    // The cursor type is refused after the connect; while the failed open
    // disconnects, another call on the identifier must not reach the object.
    int32_t seen = -1;
    FakeOdbc::OnCall(FakeFn::SQLDisconnect, [&] { seen = table->IsOpenOk(1); });
    FakeOdbc::Script(FakeFn::SQLSetConnectOption, {SQL_ERROR, "HY000", "refused"});
    EXPECT_EQ(Open(), -1);
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(Code(), "HY000");
}

TEST_F(DataSourceTableTest, ConcurrentOpensGetDistinctIdentifiers) {
    constexpr int kThreads = 8;
    std::vector<int32_t> ids(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] { ids[t] = Open(); });
    }
    for (auto& t : threads) t.join();
    std::set<int32_t> distinct(ids.begin(), ids.end());
    EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads));
    EXPECT_EQ(*distinct.begin(), 1);
    EXPECT_EQ(*distinct.rbegin(), kThreads);
}

}  // namespace

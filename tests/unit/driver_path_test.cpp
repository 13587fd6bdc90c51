// The driver path's layers on the fake driver manager: tokens that name
// nothing fail cleanly, every diagnostic record is kept exactly, values are
// read whole (cut inside characters, 1 MiB, no total), parameters stay bound,
// and a cancel runs while its statement executes, which a free waits for.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <future>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "driver/handles/diagnostics.h"
#include "driver/handles/environment.h"
#include "driver/params/scalars.h"
#include "driver/params/text.h"
#include "driver/registry.h"
#include "driver/values/whole_value.h"
#include "tests/fakes/fake_odbc.h"

namespace {

using jov::driver::Diagnostic;
using jov::driver::Utf16;
using jov::driver::text::Charset;
namespace driver = jov::driver;
namespace handles = jov::driver::handles;

class DriverPathTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        handles::ForgetSharedEnvironment();
        handles::ClearDiagnostics();
        ASSERT_EQ(driver::OpenConnection(u"DSN=Sales;PWD=ü😀", Charset::kUnicode, 0, &connection),
                  SQL_SUCCESS);
        ASSERT_EQ(driver::AllocateStatement(connection, &statement), SQL_SUCCESS);
    }
    void TearDown() override {
        if (connection != 0) {
            EXPECT_EQ(driver::CloseConnection(connection), SQL_SUCCESS);
        }
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_DBC), 0);
        EXPECT_EQ(FakeOdbc::LiveHandles(SQL_HANDLE_STMT), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
    }

    // Executes SQL that yields one row of one text column holding value.
    void ExecuteWith(const FakeValue& value) {
        FakeOdbc::QueueResult({{{"V", SQL_VARCHAR, 10}}, {{value}}});
        auto s = driver::LeaseStatement(statement);
        ASSERT_EQ(s->statement.ExecDirect(u"SELECT v FROM t"), SQL_SUCCESS);
        ASSERT_EQ(s->statement.Fetch(), SQL_SUCCESS);
    }

    Utf16 ReadText(bool* isNull) {
        auto s = driver::LeaseStatement(statement);
        Utf16 text;
        EXPECT_EQ(driver::values::ReadText(s->statement, 1, &text, isNull), SQL_SUCCESS);
        return text;
    }

    int64_t connection = 0;
    int64_t statement = 0;
};

std::string States(const std::vector<Diagnostic>& records) {
    std::string states;
    for (const auto& r : records) states += r.state + " ";
    return states;
}

TEST_F(DriverPathTest, TheConnectionStringReachesTheDriverAsUtf8) {
    const auto calls = FakeOdbc::CallsOf(FakeFn::SQLDriverConnect);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, "DSN=Sales;PWD=\xC3\xBC\xF0\x9F\x98\x80");
}

TEST_F(DriverPathTest, TokensThatNameNothingFindNothingAndSaySo) {
    EXPECT_FALSE(driver::LeaseStatement(statement + 1));   // never issued
    EXPECT_FALSE(driver::LeaseStatement(connection));      // a connection's token
    EXPECT_FALSE(driver::LeaseConnection(statement));      // a statement's token
    EXPECT_FALSE(driver::LeaseConnection(0));
    EXPECT_EQ(States(handles::TakeDiagnostics()), "HY000 HY000 08003 08003 ");

    ASSERT_EQ(driver::FreeStatement(statement), SQL_SUCCESS);
    EXPECT_EQ(driver::FreeStatement(statement), SQL_ERROR);  // freed once only
    int64_t again = 0;
    ASSERT_EQ(driver::AllocateStatement(connection, &again), SQL_SUCCESS);
    EXPECT_NE(again, statement);  // the slot is reused under a new generation
    EXPECT_FALSE(driver::LeaseStatement(statement));

    // Closing the connection frees its statements: their tokens go stale too.
    ASSERT_EQ(driver::CloseConnection(connection), SQL_SUCCESS);
    EXPECT_FALSE(driver::LeaseStatement(again));
    EXPECT_FALSE(driver::LeaseConnection(connection));
    EXPECT_EQ(driver::CloseConnection(connection), SQL_ERROR);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLEndTran), 1);  // rolled back before disconnecting
    connection = 0;
}

TEST_F(DriverPathTest, EveryRecordOfAFailingCallIsKeptExactly) {
    FakeAnswer answer(SQL_ERROR);
    answer.records = {{"42S02", 1146, "Table 'jov.表é' doesn't exist"},
                      {"01000", 7, std::string(2000, 'x') + "😀"}};
    FakeOdbc::Script(FakeFn::SQLExecDirect, answer);
    {
        auto s = driver::LeaseStatement(statement);
        EXPECT_EQ(s->statement.ExecDirect(u"SELECT * FROM 表é"), SQL_ERROR);
    }
    const auto records = handles::TakeDiagnostics();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].state, "42S02");
    EXPECT_EQ(records[0].nativeError, 1146);
    EXPECT_EQ(records[0].message, u"Table 'jov.表é' doesn't exist");
    EXPECT_EQ(records[1].message, Utf16(2000, u'x') + u"😀");  // longer than the first buffer
    EXPECT_TRUE(handles::TakeDiagnostics().empty());
}

TEST_F(DriverPathTest, EachThreadKeepsItsOwnRecords) {
    handles::KeepOwn(driver::OwnDiagnostic("HY000", "this thread's"));
    std::thread other([] {
        handles::KeepOwn(driver::OwnDiagnostic("22021", "the other's"));
        EXPECT_EQ(States(handles::TakeDiagnostics()), "22021 ");
    });
    other.join();
    EXPECT_EQ(States(handles::TakeDiagnostics()), "HY000 ");
}

TEST_F(DriverPathTest, AValueCutInsideACharacterIsDecodedAfterJoining) {
    // The first chunk (8191 bytes and a terminator) ends after é's first byte.
    const std::string value = std::string(8190, 'a') + "é😀";
    ExecuteWith(value);
    bool isNull = true;
    EXPECT_EQ(ReadText(&isNull), Utf16(8190, u'a') + u"é😀");
    EXPECT_FALSE(isNull);
}

TEST_F(DriverPathTest, AMebibyteValueIsReadWholeInTwoCalls) {
    std::string value;
    Utf16 expected;
    while (value.size() < (1u << 20)) {
        value += "中ソ😀 ";
        expected += u"中ソ😀 ";
    }
    ExecuteWith(value);
    bool isNull = true;
    EXPECT_EQ(ReadText(&isNull), expected);
    // The driver announced the length: the rest came in one call.
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLGetData), 2);
}

TEST_F(DriverPathTest, AValueOfNoTotalGrowsGeometrically) {
    FakeOdbc::SetNoTotal(true);
    const std::string value(1u << 20, 'z');
    ExecuteWith(value);
    bool isNull = true;
    EXPECT_EQ(ReadText(&isNull).size(), value.size());
    EXPECT_LE(FakeOdbc::CallCount(FakeFn::SQLGetData), 9);  // 8 KiB doubled to 1 MiB
}

TEST_F(DriverPathTest, NullIsToldApartFromEmpty) {
    ExecuteWith(std::nullopt);
    bool isNull = false;
    EXPECT_EQ(ReadText(&isNull), u"");
    EXPECT_TRUE(isNull);
    ExecuteWith(std::string());
    EXPECT_EQ(ReadText(&isNull), u"");
    EXPECT_FALSE(isNull);
}

// Blocks of rows where the fake can show what the real drivers do not: a
// length the driver cannot tell, a refused row array, a width refused here.
class RowBlockTest : public DriverPathTest {
  protected:
    using Plan = std::vector<driver::rows::ColumnPlan>;
    static constexpr SQLLEN kTextWidth = 8;  // 7 bytes and a terminator

    // ID INTEGER, V VARCHAR(3) over (id, v) rows, executed; the block bound to rows.
    SQLULEN Execute(std::vector<std::vector<FakeValue>> rows, SQLULEN wanted) {
        FakeOdbc::QueueResult({{{"ID", SQL_INTEGER, 10}, {"V", SQL_VARCHAR, 3}}, std::move(rows)});
        auto s = driver::LeaseStatement(statement);
        EXPECT_EQ(s->statement.ExecDirect(u"SELECT id, v FROM t"), SQL_SUCCESS);
        const Plan plan = {{driver::rows::BoundAs::kInteger, 0}, {driver::rows::BoundAs::kText, kTextWidth}};
        SQLULEN granted = 0;
        EXPECT_EQ(s->block.Bind(s->statement, wanted, plan, &granted), SQL_SUCCESS);
        data.assign(s->block.DataBytes(), '\0');
        lengths.assign(s->block.BoundColumns() * s->block.rows(), 0);
        return granted;
    }
    // The next block: its rows, data and lengths copied out.
    SQLULEN Next(SQLRETURN expected = SQL_SUCCESS) {
        auto s = driver::LeaseStatement(statement);
        SQLULEN fetched = 99;
        EXPECT_EQ(s->block.Fetch(s->statement, SQL_FETCH_NEXT, 0, &fetched), expected);
        s->block.CopyOut(data.data(), lengths.data());
        return fetched;
    }
    int64_t Id(SQLULEN row) const {
        int64_t id = 0;
        std::memcpy(&id, &data[row * sizeof id], sizeof id);
        return id;
    }

    std::string data;
    std::vector<int32_t> lengths;
};

TEST_F(RowBlockTest, AValueOfUntoldLengthIsCut) {
    FakeOdbc::SetNoTotal(true);
    Execute({{Int32Bytes(1), std::string("abcdefgh")}}, 4);
    EXPECT_EQ(Next(SQL_SUCCESS_WITH_INFO), 1u);
    EXPECT_EQ(lengths[4], driver::rows::kCutLength);
}

TEST_F(RowBlockTest, ADriverWithoutRowArraysGetsOneRowBlocks) {
    FakeOdbc::SetMaxRowArraySize(1);
    ASSERT_EQ(Execute({{Int32Bytes(1), std::string("a")}, {Int32Bytes(2), std::string("b")}}, 100), 1u);
    EXPECT_EQ(data.size(), 8u + kTextWidth);
    EXPECT_EQ(Next(), 1u);
    EXPECT_EQ(Id(0), 1);
    EXPECT_EQ(Next(), 1u);
    EXPECT_EQ(Id(0), 2);
    // One-row blocks need no positioning; a row outside the block is refused.
    auto s = driver::LeaseStatement(statement);
    EXPECT_EQ(s->statement.Position(2), SQL_ERROR);
}

TEST_F(RowBlockTest, AWidthTooSmallForItsTerminatorBindsNothing) {
    FakeOdbc::QueueResult({{{"V", SQL_VARCHAR, 3}}, {{std::string("a")}}});
    auto s = driver::LeaseStatement(statement);
    ASSERT_EQ(s->statement.ExecDirect(u"SELECT v FROM t"), SQL_SUCCESS);
    SQLULEN granted = 0;
    const Plan plan = {{driver::rows::BoundAs::kText, 1}};
    EXPECT_EQ(s->block.Bind(s->statement, 10, plan, &granted), SQL_ERROR);
    EXPECT_EQ(States(handles::TakeDiagnostics()), "HY009 ");
    EXPECT_EQ(s->block.BoundColumns(), 0u);
    EXPECT_EQ(granted, 1u);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLBindCol), 0);
}

TEST_F(DriverPathTest, BoundParametersStayAliveUntilReset) {
    auto s = driver::LeaseStatement(statement);
    ASSERT_EQ(s->statement.Prepare(u"INSERT INTO t VALUES (?, ?)"), SQL_SUCCESS);
    std::string bytes = "ソ";
    ASSERT_EQ(s->parameters.Bind(s->statement, 1,
                                 std::make_unique<jov::driver::params::TextParameter>(
                                     bytes, SQL_C_CHAR, SQL_VARCHAR, 1)),
              SQL_SUCCESS);
    ASSERT_EQ(s->parameters.Bind(s->statement, 2,
                                 std::make_unique<jov::driver::params::LongParameter>(
                                     int64_t{1} << 60, SQL_BIGINT)),
              SQL_SUCCESS);
    const auto binds = FakeOdbc::CallsOf(FakeFn::SQLBindParameter);
    ASSERT_EQ(binds.size(), 2u);
    EXPECT_EQ(binds[0].args[2], SQL_C_CHAR);
    EXPECT_EQ(binds[0].args[4], 3);  // column size: the UTF-8 bytes
    EXPECT_EQ(binds[0].text, "\xE3\x82\xBD");
    EXPECT_EQ(binds[1].args[2], SQL_C_SBIGINT);
    EXPECT_EQ(binds[1].text, Int64Bytes(int64_t{1} << 60));
    // A value bound alike goes into the bound buffer; another type binds anew.
    using jov::driver::params::DoubleParameter;
    using jov::driver::params::LongParameter;
    ASSERT_EQ(s->parameters.Bind(s->statement, 2, std::make_unique<LongParameter>(7, SQL_BIGINT)),
              SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLBindParameter), 2);
    ASSERT_EQ(s->parameters.Bind(s->statement, 2, std::make_unique<DoubleParameter>(7, SQL_DOUBLE)),
              SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLBindParameter), 3);
    EXPECT_EQ(s->parameters.Reset(s->statement), SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::CallsOf(FakeFn::SQLFreeStmt).at(0).args[0], SQL_RESET_PARAMS);
}

// An idle statement's cancel never reaches the driver: SQLCancel would close
// its cursor and clear the records of a call that just failed.
TEST_F(DriverPathTest, ACancelRunsWhileItsStatementExecutesAndAFreeWaitsForTheExecution) {
    EXPECT_EQ(driver::LeaseStatement(statement)->statement.Cancel(), SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLCancel), 0);
    std::promise<void> executing;
    std::promise<void> cancelled;
    std::atomic<bool> executeReturned{false};
    bool freedAfterExecution = false;
    FakeOdbc::OnCall(FakeFn::SQLExecute, [&] {
        executing.set_value();
        cancelled.get_future().wait();
    });
    FakeOdbc::OnCall(FakeFn::SQLFreeHandle, [&] { freedAfterExecution = executeReturned.load(); });
    SQLRETURN executed = SQL_ERROR;
    std::thread runner([&] {
        auto s = driver::LeaseStatement(statement);
        executed = s->statement.Execute();
        executeReturned = true;
    });
    executing.get_future().wait();
    SQLRETURN cancel = SQL_ERROR;
    {
        auto s = driver::LeaseStatement(statement);
        cancel = s->statement.Cancel();
    }
    std::thread freer([&] { EXPECT_EQ(driver::FreeStatement(statement), SQL_SUCCESS); });
    cancelled.set_value();
    runner.join();
    freer.join();
    FakeOdbc::OnCall(FakeFn::SQLFreeHandle, [] {});  // the flags end with this test
    EXPECT_EQ(cancel, SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLCancel), 1);
    EXPECT_EQ(executed, SQL_SUCCESS);
    EXPECT_TRUE(freedAfterExecution);
}

}  // namespace

namespace {

using jov::driver::text::CatalogFunction;

TEST_F(DriverPathTest, CatalogueNamesReachTheDriverWholeAndAbsentOnesAsNullPointers) {
    FakeOdbc::QueueResult({{{"TABLE_CAT", SQL_VARCHAR, 10}}, {{FakeValue("c")}}});
    auto s = driver::LeaseStatement(statement);
    ASSERT_EQ(s->statement.Catalog(CatalogFunction::kTables,
                                   {std::nullopt, Utf16(), u"x'%_\\ソ😀", u"'TABLE'"}, {}),
              SQL_SUCCESS);
    const FakeCall& call = FakeOdbc::Calls().back();
    EXPECT_EQ(call.fn, FakeFn::SQLCatalog);
    EXPECT_EQ(call.args, std::vector<int64_t>{SQL_API_SQLTABLES});
    EXPECT_EQ(call.text, "NULL[][x'%_\\ソ😀]['TABLE']");
    EXPECT_EQ(s->statement.Fetch(), SQL_SUCCESS);

    ASSERT_EQ(s->statement.CloseCursor(), SQL_SUCCESS);
    ASSERT_EQ(s->statement.Catalog(CatalogFunction::kSpecialColumns, {u"", u"s", u"t"},
                                   {SQL_BEST_ROWID, SQL_SCOPE_SESSION, SQL_NULLABLE}),
              SQL_SUCCESS);
    EXPECT_EQ(FakeOdbc::Calls().back().args,
              (std::vector<int64_t>{SQL_API_SQLSPECIALCOLUMNS, SQL_BEST_ROWID, SQL_SCOPE_SESSION,
                                    SQL_NULLABLE}));
}

TEST_F(DriverPathTest, ACatalogueNameTheDriverCannotTakeIsRefusedBeforeTheCall) {
    auto s = driver::LeaseStatement(statement);
    EXPECT_EQ(s->statement.Catalog(CatalogFunction::kColumns,
                                   {std::nullopt, std::nullopt, Utf16(40000, u'a'), std::nullopt},
                                   {}),
              SQL_ERROR);
    EXPECT_EQ(States(handles::TakeDiagnostics()), "HY090 ");
    EXPECT_EQ(s->statement.Catalog(CatalogFunction::kTables,
                                   {std::nullopt, std::nullopt, Utf16(u"a\0b", 3), std::nullopt},
                                   {}),
              SQL_ERROR);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLCatalog), 0);
}

}  // namespace

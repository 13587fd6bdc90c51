// Fault sweeps: every ODBC call of an operation fails in turn, and every heap
// allocation of it fails in turn. Each time the operation must answer with its
// failure value and its own record (or carry on where the call's
// outcome is ignored), leave no busy flag taken, stay usable for a following
// query and fetch, and after OdbcClose hold no handle and no heap block.
//
// A handle whose SQLFreeHandle is the refused call stays live in the driver:
// the library cannot free it twice, so that one handle, and only it, is
// allowed to remain.
#include <gtest/gtest.h>

#include <cerrno>
#include <functional>
#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "odbcaccs/OdbcAccs.h"
#include "table/DataSourceTable.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

using jov::OdbcAccs;

const char kInjectedState[] = "HY000";
const char kInjectedMessage[] = "injected";
const std::string kNotEnoughMemory = "(ODBCACCS)Not Enough Memory";
// "JovJdbcOdbc OdbcAccsオブジェクトの生成に失敗しました"
const std::string kCreateFailed =
    "JovJdbcOdbc OdbcAccs\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xCC\x90\xB6\x90\xAC\x82\xC9\x8E\xB8"
    "\x94s\x82\xB5\x82\xDC\x82\xB5\x82\xBD";

// The result of the operation under test. Its first column is the same as the
// probe query's, so that a probe that receives a result set left queued by a
// failed execution still finds what it expects.
FakeResult SweepResult() {
    return {{{"ID", SQL_INTEGER, 10},
             {"NOTE", SQL_VARCHAR, 5000},
             {"AMOUNT", SQL_DECIMAL, 10, 10, 2},
             {"AT", SQL_TYPE_TIMESTAMP, 19},
             {"GONE", SQL_VARCHAR, 10}},
            {{Int32Bytes(7), std::string(5000, 'n'), std::string("12.50"),
              std::string("2004-04-30 21:50:08"), std::nullopt}}};
}

FakeResult ProbeResult() { return {{{"ID", SQL_INTEGER, 10}}, {{Int32Bytes(7)}}}; }

// What an operation leaves when one of its calls fails.
struct Outcome {
    int32_t result;
    std::string message;
    std::string code;
};

struct Operation {
    const char* name;
    // Brings a fresh object (already reset fakes) to the point of the operation.
    std::function<void(OdbcAccs&, int32_t* cursor)> prepare;
    std::function<int32_t(OdbcAccs&, int32_t cursor)> run;
    // The expected outcome when `failed` (the refused call) fails with SQL_ERROR.
    std::function<Outcome(const FakeCall& failed)> whenCallFails;
    // The expected outcome when an allocation fails.
    Outcome whenAllocationFails;
};

// Names the operation in test output instead of dumping its bytes.
void PrintTo(const Operation& operation, std::ostream* os) { *os << operation.name; }

Outcome Injected(int32_t result) { return {result, kInjectedMessage, kInjectedState}; }

void Open(OdbcAccs& a, int32_t*) { ASSERT_EQ(a.OdbcOpen("DSN", "u", "p"), 1); }

void OpenAndQuery(OdbcAccs& a, int32_t* cursor) {
    Open(a, cursor);
    FakeOdbc::QueueResult(SweepResult());
    ASSERT_EQ(a.ExecSQLQuery("SELECT", cursor), 5);
}

void OpenQueryAndFetch(OdbcAccs& a, int32_t* cursor) {
    OpenAndQuery(a, cursor);
    int32_t end = -1;
    ASSERT_EQ(a.Fetch(*cursor, &end), 1);
}

// The record is set to this before an operation that must leave it alone.
const Outcome kUntouched{0, "earlier", "E0000"};

const Operation kOperations[] = {
    {"open",
     [](OdbcAccs&, int32_t*) {},
     [](OdbcAccs& a, int32_t) { return a.OdbcOpen("DSN", "u", "p"); },
     [](const FakeCall& failed) -> Outcome {
         // Without an environment there is no handle to read diagnostics from.
         if (failed.fn == FakeFn::SQLAllocHandle && failed.args[0] == SQL_HANDLE_ENV) {
             return {0, "", ""};
         }
         // Switching auto-commit on is not checked.
         if (failed.fn == FakeFn::SQLSetConnectOption && failed.args[0] == SQL_AUTOCOMMIT) {
             return {1, kUntouched.message, kUntouched.code};
         }
         return Injected(0);
     },
     {1, kUntouched.message, kUntouched.code}},
    {"query",
     Open,
     [](OdbcAccs& a, int32_t) {
         FakeOdbc::QueueResult(SweepResult());
         int32_t cursor = 0;
         return a.ExecSQLQuery("SELECT", &cursor);
     },
     [](const FakeCall& failed) -> Outcome {
         if (failed.fn == FakeFn::SQLAllocHandle) return {-1, "SQLAllocHandle Error Code=(-1)", ""};
         return Injected(-1);
     },
     {-1, kNotEnoughMemory, ""}},
    {"update",
     Open,
     [](OdbcAccs& a, int32_t) { return a.ExecSQLUpdate("UPDATE T SET A = 1"); },
     [](const FakeCall& failed) -> Outcome {
         // Freeing the statement and restoring the cursor type are not checked.
         if (failed.fn == FakeFn::SQLFreeHandle || failed.fn == FakeFn::SQLSetConnectOption) {
             return {1, kUntouched.message, kUntouched.code};
         }
         return Injected(-1);
     },
     {1, kUntouched.message, kUntouched.code}},
    {"fetch",
     OpenAndQuery,
     [](OdbcAccs& a, int32_t cursor) {
         int32_t end = -1;
         const int32_t result = a.Fetch(cursor, &end);
         EXPECT_EQ(end, 0);
         return result;
     },
     [](const FakeCall&) { return Injected(0); },
     {0, kNotEnoughMemory, ""}},
    {"fetch-scroll",
     OpenAndQuery,
     [](OdbcAccs& a, int32_t cursor) {
         int32_t end = -1;
         const int32_t result = a.FetchScroll(cursor, &end, SQL_FETCH_FIRST, 0);
         EXPECT_EQ(end, 0);
         return result;
     },
     [](const FakeCall&) { return Injected(0); },
     {0, kNotEnoughMemory, ""}},
    {"close", OpenQueryAndFetch,
     [](OdbcAccs& a, int32_t) {
         a.OdbcClose();
         return 0;
     },
     [](const FakeCall&) { return kUntouched; }, kUntouched},
};

// Handles that the library asked the driver to free and that are still live:
// the ones whose SQLFreeHandle was refused.
int RefusedFrees() {
    std::set<SQLHANDLE> refused;
    for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLFreeHandle)) {
        if (FakeOdbc::IsLive(call.handle)) refused.insert(call.handle);
    }
    return static_cast<int>(refused.size());
}

class FaultSweepTest : public ::testing::TestWithParam<Operation> {
  protected:
    void SetUp() override { Reset(); }

    static void Reset() {
        FakeOdbc::Reset();
        FakePlatform::Reset();
    }

    // A fresh object brought to the operation, with the record set to kUntouched.
    std::unique_ptr<OdbcAccs> Prepared(int32_t* cursor) {
        auto a = std::make_unique<OdbcAccs>();
        GetParam().prepare(*a, cursor);
        a->RecordError(kUntouched.code.c_str(), "%s", kUntouched.message.c_str());
        return a;
    }

    static void ExpectNoFlagTaken(const OdbcAccs& a) {
        EXPECT_FALSE(a.openBusy.IsTaken());
        EXPECT_FALSE(a.closeBusy.IsTaken());
        EXPECT_FALSE(a.queryBusy.IsTaken());
        EXPECT_FALSE(a.fetchBusy.IsTaken());
        EXPECT_FALSE(a.updateBusy.IsTaken());
    }

    static void ExpectRecord(const OdbcAccs& a, const Outcome& expected) {
        EXPECT_EQ(std::string(a.errorMessage), expected.message);
        EXPECT_EQ(std::string(a.errorCode), expected.code);
    }

    // A good query and fetch on the object (opened again if it is closed),
    // then the close that must release everything.
    static void ExpectUsableAndClean(OdbcAccs& a) {
        if (a.IsOpenOk() == 0) {
            ASSERT_EQ(a.OdbcOpen("DSN", "u", "p"), 1);
        }
        FakeOdbc::QueueResult(ProbeResult());
        int32_t cursor = 0;
        ASSERT_GE(a.ExecSQLQuery("SELECT", &cursor), 1) << a.errorMessage;
        int32_t end = -1;
        ASSERT_EQ(a.Fetch(cursor, &end), 1) << a.errorMessage;
        EXPECT_EQ(end, 0);
        const char* text = a.GetColumnDataString(cursor, 1, nullptr, 0);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), "7");
        a.OdbcClose();
        ExpectNoFlagTaken(a);
        EXPECT_EQ(FakeOdbc::LiveHandles(), RefusedFrees());
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
    }

    // ODBC calls and heap allocations of the operation when nothing fails.
    void Measure(int* calls, long* allocations) {
        Reset();
        int32_t cursor = 0;
        auto a = Prepared(&cursor);
        const int callsBefore = FakeOdbc::TotalCalls();
        const long allocationsBefore = FakePlatform::AllocationCount();
        GetParam().run(*a, cursor);
        *calls = FakeOdbc::TotalCalls() - callsBefore;
        *allocations = FakePlatform::AllocationCount() - allocationsBefore;
        a->OdbcClose();
    }
};

TEST_P(FaultSweepTest, EachOdbcCallFailsInTurn) {
    int calls = 0;
    long allocations = 0;
    Measure(&calls, &allocations);
    ASSERT_GT(calls, 0);
    for (int n = 0; n < calls; ++n) {
        SCOPED_TRACE(std::string(GetParam().name) + ", failing call " + std::to_string(n));
        Reset();
        int32_t cursor = 0;
        auto a = Prepared(&cursor);
        const int first = FakeOdbc::TotalCalls();
        FakeOdbc::FailCallNumber(n, FakeAnswer{SQL_ERROR, kInjectedState, kInjectedMessage});
        const int32_t result = GetParam().run(*a, cursor);
        ASSERT_GT(FakeOdbc::TotalCalls(), first + n) << "the operation stopped before the call";
        const FakeCall failed = FakeOdbc::Calls()[static_cast<std::size_t>(first + n)];
        const Outcome expected = GetParam().whenCallFails(failed);
        EXPECT_EQ(result, expected.result);
        ExpectRecord(*a, expected);
        ExpectNoFlagTaken(*a);
        ExpectUsableAndClean(*a);
    }
}

TEST_P(FaultSweepTest, EachAllocationFailsInTurn) {
    int calls = 0;
    long allocations = 0;
    Measure(&calls, &allocations);
    for (long n = 0; n < allocations; ++n) {
        SCOPED_TRACE(std::string(GetParam().name) + ", failing allocation " + std::to_string(n));
        Reset();
        int32_t cursor = 0;
        auto a = Prepared(&cursor);
        FakePlatform::FailAllocationsAfter(static_cast<int>(n));
        const int32_t result = GetParam().run(*a, cursor);
        const Outcome& expected = GetParam().whenAllocationFails;
        EXPECT_EQ(result, expected.result);
        ExpectRecord(*a, expected);
        ExpectNoFlagTaken(*a);
        ExpectUsableAndClean(*a);
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, FaultSweepTest, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& info) {
                             std::string name = info.param.name;
                             for (char& c : name) c = c == '-' ? '_' : c;
                             return name;
                         });

// The table's open: each ODBC call and the object's allocation fail in turn.
// A failed open gives its slot back and frees its object at once.
class TableOpenSweepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
    }

    static std::string Message(jov::DataSourceTable& table, std::string* code) {
        char message[jov::kErrorMessageSize];
        char codeText[jov::kErrorCodeSize];
        table.GetError(message, codeText);
        *code = codeText;
        return message;
    }

    // The table still opens (in slot 1, so the failed slot was given back),
    // runs a query and a fetch, and closes cleanly.
    static void ExpectUsableAndClean(jov::DataSourceTable& table) {
        ASSERT_EQ(table.Open("DSN", "u", "p"), 1);
        FakeOdbc::QueueResult(ProbeResult());
        int32_t cursor = 0;
        ASSERT_EQ(table.ExecSQLQuery(1, "SELECT", &cursor), 1);
        EXPECT_EQ(table.Fetch(1, cursor), 1);
        table.Close(1);
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }
};

TEST_F(TableOpenSweepTest, EachAllocationFailsInTurn) {
    long allocations = 0;
    {
        jov::DataSourceTable table;
        const long before = FakePlatform::AllocationCount();
        ASSERT_EQ(table.Open("DSN", "u", "p"), 1);
        allocations = FakePlatform::AllocationCount() - before;
        table.Close(1);
    }
    ASSERT_GT(allocations, 0);
    for (long n = 0; n < allocations; ++n) {
        SCOPED_TRACE("failing allocation " + std::to_string(n));
        SetUp();
        jov::DataSourceTable table;
        FakePlatform::FailAllocationsAfter(static_cast<int>(n));
        EXPECT_EQ(table.Open("DSN", "u", "p"), -1);
        std::string code;
        EXPECT_EQ(Message(table, &code), kCreateFailed);
        EXPECT_EQ(code, std::to_string(ENOMEM));
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        ExpectUsableAndClean(table);
    }
}

TEST_F(TableOpenSweepTest, EachOdbcCallFailsInTurn) {
    int calls = 0;
    {
        jov::DataSourceTable table;
        ASSERT_EQ(table.Open("DSN", "u", "p"), 1);
        calls = FakeOdbc::TotalCalls();
        table.Close(1);
    }
    for (int n = 0; n < calls; ++n) {
        SCOPED_TRACE("failing call " + std::to_string(n));
        SetUp();
        jov::DataSourceTable table;
        FakeOdbc::FailCallNumber(n, FakeAnswer{SQL_ERROR, kInjectedState, kInjectedMessage});
        const int32_t id = table.Open("DSN", "u", "p");
        const FakeCall failed = FakeOdbc::Calls()[static_cast<std::size_t>(n)];
        if (failed.fn == FakeFn::SQLSetConnectOption && failed.args[0] == SQL_AUTOCOMMIT) {
            EXPECT_EQ(id, 1);  // auto-commit is switched on without checking
            table.Close(1);
        } else {
            EXPECT_EQ(id, -1);
            std::string code;
            const std::string message = Message(table, &code);
            const bool noEnvironment =
                failed.fn == FakeFn::SQLAllocHandle && failed.args[0] == SQL_HANDLE_ENV;
            EXPECT_EQ(message, noEnvironment ? "" : kInjectedMessage);
            EXPECT_EQ(code, noEnvironment ? "" : kInjectedState);
        }
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        ExpectUsableAndClean(table);
    }
}

}  // namespace

// The fetch loop driven by a script of driver answers, through the ODBC fake.
//
// Input: a result set (column types, rows of values, some NULL, some longer
// than one chunk), then up to kMaxSteps steps, each chosen by one byte:
// Fetch or FetchScroll (any orientation and offset, sometimes on a bad
// handle), raw SQLGetData chunks (any return code, indicator and length,
// sometimes ending in a terminator), scripted answers of the fetch calls and
// of reading diagnostics, a failing call by number, a failing allocation,
// SQL_NO_TOTAL, text chunks cut before a double-byte character, reading and
// rendering every column, closing a cursor and running a new query. Values
// of any length in fixed-width columns stand for values wider than declared.
//
// Properties after every step: each fetch answers 1 or 0 with endOfData 0 or
// 1 (0 after a failure); no busy flag stays set; the error record is
// terminated; every stored value keeps its invariants (length within
// 0..65536 and within its buffer, NULL flag and text mark 0 or 1, a fixed-width
// value not held as text exactly its width) and renders without a sanitizer
// report. At the end OdbcClose leaves no heap block and no
// protocol violation in the fake, and no live handle but those whose
// SQLFreeHandle the script made the driver refuse.
#include <fuzzer/FuzzedDataProvider.h>

#include <set>
#include <string>
#include <vector>

#include "tests/fakes/fake_odbc.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using jov::OdbcAccs;

constexpr SQLSMALLINT kColumnTypes[] = {
    SQL_VARCHAR,   SQL_LONGVARCHAR,    SQL_INTEGER, SQL_SMALLINT, SQL_TINYINT, SQL_BIT,
    SQL_BIGINT,    SQL_DOUBLE,         SQL_REAL,    SQL_DECIMAL,  SQL_NUMERIC, SQL_TYPE_DATE,
    SQL_TYPE_TIME, SQL_TYPE_TIMESTAMP, SQL_BINARY,  SQL_WVARCHAR};
constexpr SQLRETURN kAnswers[] = {SQL_SUCCESS,       SQL_SUCCESS_WITH_INFO, SQL_STILL_EXECUTING,
                                  SQL_NO_DATA,       SQL_NEED_DATA,         SQL_ERROR,
                                  SQL_INVALID_HANDLE};
constexpr SQLLEN kIndicators[] = {
    SQL_NULL_DATA,   SQL_NO_TOTAL,        0,     1,  jov::kChunkSize - 1,
    jov::kChunkSize, jov::kChunkSize + 1, 65536, -2, -5};
constexpr SQLSMALLINT kOrientations[] = {SQL_FETCH_NEXT, SQL_FETCH_PRIOR,    SQL_FETCH_FIRST,
                                         SQL_FETCH_LAST, SQL_FETCH_ABSOLUTE, SQL_FETCH_RELATIVE};
constexpr const char* kStates[] = {"", "HY000", "07006", "01004", "HYT00"};
constexpr FakeFn kScriptedFunctions[] = {FakeFn::SQLFetch,      FakeFn::SQLFetchScroll,
                                         FakeFn::SQLGetData,    FakeFn::SQLGetDiagRec,
                                         FakeFn::SQLExecDirect, FakeFn::SQLColAttribute};
constexpr int kMaxSteps = 48;
constexpr int kMaxColumns = 4;
constexpr int kMaxRows = 4;
constexpr std::size_t kShortValue = 40;

template <typename T, std::size_t N>
T Pick(FuzzedDataProvider& input, const T (&choices)[N]) {
    return choices[input.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
}

SQLRETURN Answer(FuzzedDataProvider& input) {
    return input.ConsumeIntegralInRange<uint8_t>(0, 7) == 0 ? input.ConsumeIntegral<SQLRETURN>()
                                                            : Pick(input, kAnswers);
}

SQLLEN Indicator(FuzzedDataProvider& input) {
    return input.ConsumeBool() ? Pick(input, kIndicators) : input.ConsumeIntegral<SQLLEN>();
}

// A value: NULL, a short fuzzed text, or a long run of one byte.
FakeValue Value(FuzzedDataProvider& input) {
    switch (input.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            return std::nullopt;
        case 1: {
            const auto length = input.ConsumeIntegralInRange<std::size_t>(0, 70000);
            return std::string(length, static_cast<char>(input.ConsumeIntegral<uint8_t>()));
        }
        default:
            return input.ConsumeRandomLengthString(kShortValue);
    }
}

FakeResult Result(FuzzedDataProvider& input) {
    FakeResult result;
    const int columns = input.ConsumeIntegralInRange(1, kMaxColumns);
    for (int i = 0; i < columns; ++i) {
        result.columns.push_back(FakeColumn{"C" + std::to_string(i), Pick(input, kColumnTypes),
                                            input.ConsumeIntegralInRange<SQLLEN>(0, 100), 10, 2});
    }
    const int rows = input.ConsumeIntegralInRange(0, kMaxRows);
    for (int r = 0; r < rows; ++r) {
        std::vector<FakeValue> row;
        for (int i = 0; i < columns; ++i) row.push_back(Value(input));
        result.rows.push_back(std::move(row));
    }
    return result;
}

std::vector<FakeChunk> Chunks(FuzzedDataProvider& input) {
    std::vector<FakeChunk> chunks;
    const int count = input.ConsumeIntegralInRange(1, 4);
    for (int i = 0; i < count; ++i) {
        const SQLRETURN rc = Answer(input);
        const SQLLEN indicator = Indicator(input);
        const auto length = input.ConsumeIntegralInRange<std::size_t>(0, jov::kChunkSize);
        std::string bytes(length, static_cast<char>(input.ConsumeIntegral<uint8_t>()));
        if (input.ConsumeBool()) bytes.push_back('\0');
        chunks.emplace_back(rc, indicator, std::move(bytes));
    }
    return chunks;
}

// The stored width of a fixed-width column's value, 0 for other columns.
int32_t StoredWidth(int16_t type) {
    switch (type) {
        case SQL_INTEGER:
        case SQL_REAL:
            return 4;
        case SQL_SMALLINT:
            return 2;
        case SQL_TINYINT:
        case SQL_BIT:
            return 1;
        case SQL_BIGINT:
        case SQL_DOUBLE:
            return 8;
        default:
            return 0;
    }
}

void CheckQuiet(const OdbcAccs& a) {
    FUZZ_CHECK(!a.openBusy.IsTaken() && !a.closeBusy.IsTaken() && !a.queryBusy.IsTaken() &&
               !a.fetchBusy.IsTaken() && !a.updateBusy.IsTaken());
    FUZZ_CHECK(Terminated(a.errorMessage, jov::kErrorMessageSize));
    FUZZ_CHECK(Terminated(a.errorCode, jov::kErrorCodeSize));
}

// Every stored value keeps its invariants and can be read and rendered.
void CheckValues(OdbcAccs& a, int32_t h, FuzzedDataProvider& input) {
    const jov::ColumnInfo* catalogue = a.GetColumns(h);
    const int32_t count = a.GetColumnCount(h);
    FUZZ_CHECK((catalogue == nullptr) == (count == 0));
    char destination[16];
    for (int32_t i = 0; i < count; ++i) {
        const jov::ColumnInfo& c = catalogue[i];
        FUZZ_CHECK(c.isNull == 0 || c.isNull == 1);
        FUZZ_CHECK((c.data == nullptr) == (c.dataCapacity == 0));
        FUZZ_CHECK(c.dataLength >= 0 && c.dataLength <= jov::kMaxValueBytes);
        if (c.isNull == 0) FUZZ_CHECK(c.dataLength == 0 || c.dataLength <= c.dataCapacity);
        FUZZ_CHECK(c.valueIsText == 0 || c.valueIsText == 1);
        if (c.isNull == 0 && c.valueIsText == 0 && c.dataLength > 0 && StoredWidth(c.sqlType) > 0) {
            FUZZ_CHECK(c.dataLength == StoredWidth(c.sqlType));
        }
        int32_t length = -1;
        const unsigned char* bytes =
            a.GetColumnDataBinary(h, i + 1, &length, reinterpret_cast<unsigned char*>(destination),
                                  input.ConsumeIntegralInRange<int32_t>(-1, sizeof destination));
        FUZZ_CHECK(length == (c.isNull == 1 ? 0 : c.dataLength));
        if (c.isNull == 1) FUZZ_CHECK(bytes == nullptr);
        const char* text = a.GetColumnDataString(h, i + 1, destination, sizeof destination);
        if (text != nullptr) FUZZ_CHECK(Terminated(text, jov::kRowBufferSize));
        FUZZ_CHECK(Terminated(destination, sizeof destination));
    }
}

void CheckFetch(int32_t result, int32_t endOfData) {
    FUZZ_CHECK(result == 0 || result == 1);
    FUZZ_CHECK(endOfData == 0 || endOfData == 1);
    if (result == 0) FUZZ_CHECK(endOfData == 0);
}

// Handles the library tried to free but the driver refused stay live.
int RefusedFrees() {
    std::set<SQLHANDLE> refused;
    for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLFreeHandle)) {
        if (FakeOdbc::IsLive(call.handle)) refused.insert(call.handle);
    }
    return static_cast<int>(refused.size());
}

class Session {
  public:
    explicit Session(FuzzedDataProvider& input) : input_(input) {}

    void Run() {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        FUZZ_CHECK(a_.OdbcOpen("DSN", "user", "password") == 1);
        Query();
        for (int step = 0; step < kMaxSteps && input_.remaining_bytes() > 0; ++step) {
            Step(input_.ConsumeIntegralInRange<int>(0, 10));
            CheckQuiet(a_);
        }
        for (int32_t h = 1; h <= jov::kMaxCursors; ++h) CheckValues(a_, h, input_);
        a_.OdbcClose();
        CheckQuiet(a_);
        FUZZ_CHECK(FakeOdbc::LiveHandles() == RefusedFrees());
        FUZZ_CHECK(FakePlatform::OutstandingBlocks() == 0);
        FUZZ_CHECK(FakeOdbc::Violations().empty());
    }

  private:
    void Query() {
        FakeOdbc::QueueResult(Result(input_));
        int32_t cursor = 0;
        const int32_t columns = a_.ExecSQLQuery("SELECT", &cursor);
        FUZZ_CHECK(columns >= -1 && columns <= kMaxColumns);
        if (columns >= 0) cursor_ = cursor;
    }

    // Mostly the current cursor; sometimes a handle out of range or unused.
    int32_t Handle() {
        switch (input_.ConsumeIntegralInRange<int>(0, 9)) {
            case 0:
                return input_.ConsumeIntegral<int32_t>();
            case 1:
                return input_.ConsumeIntegralInRange<int32_t>(0, jov::kMaxCursors + 1);
            default:
                return cursor_;
        }
    }

    void Step(int choice) {
        int32_t end = -1;
        switch (choice) {
            case 0:
            case 1: {
                const int32_t h = Handle();
                CheckFetch(a_.Fetch(h, &end), end);
                break;
            }
            case 2: {
                const int32_t h = Handle();
                const int32_t orientation = input_.ConsumeBool()
                                                ? Pick(input_, kOrientations)
                                                : input_.ConsumeIntegral<int16_t>();
                const int32_t offset = input_.ConsumeIntegralInRange<int32_t>(-3, 6);
                CheckFetch(a_.FetchScroll(h, &end, orientation, offset), end);
                break;
            }
            case 3:
                FakeOdbc::ScriptChunks(Chunks(input_));
                break;
            case 4:
                FakeOdbc::Script(Pick(input_, kScriptedFunctions),
                                 FakeAnswer{Answer(input_), Pick(input_, kStates), "injected"},
                                 input_.ConsumeIntegralInRange(1, 3));
                break;
            case 5:
                FakeOdbc::FailCallNumber(input_.ConsumeIntegralInRange(0, 8),
                                         FakeAnswer{Answer(input_), "HY000", "injected"});
                break;
            case 6:
                FakePlatform::FailAllocationsAfter(input_.ConsumeIntegralInRange(0, 3));
                break;
            case 7:
                FakeOdbc::SetNoTotal(input_.ConsumeBool());
                FakeOdbc::SetWholeCharacters(input_.ConsumeBool());
                break;
            case 8:
                CheckValues(a_, Handle(), input_);
                break;
            case 9:
                a_.CloseCursor(Handle());
                Query();
                break;
            default:
                Query();
                break;
        }
    }

    FuzzedDataProvider& input_;
    OdbcAccs a_;
    int32_t cursor_ = 1;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Session(input).Run();
    return 0;
}

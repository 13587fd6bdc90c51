// Fetching rows and storing their values in OdbcAccs, against the ODBC fake.
#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "odbcaccs/OdbcAccs.h"
#include "tests/fakes/fake_odbc.h"
#include "tests/fakes/fake_platform.h"

namespace {

class FetchTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FakeOdbc::Reset();
        FakePlatform::Reset();
        ASSERT_EQ(a.OdbcOpen("DSN", "u", "p"), 1);
    }

    void TearDown() override {
        EXPECT_FALSE(a.fetchBusy.IsTaken());
        a.OdbcClose();
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_TRUE(FakeOdbc::Violations().empty());
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }

    // A fresh connection on a fresh fake, for table rows that need one each.
    void Reopen(bool noTotal = false) {
        a.OdbcClose();
        EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
        FakeOdbc::Reset();
        FakeOdbc::SetNoTotal(noTotal);
        ASSERT_EQ(a.OdbcOpen("DSN", "u", "p"), 1);
    }

    // Opens a cursor over the result; returns its handle.
    int32_t Query(FakeResult result) {
        size_t columnCount = result.columns.size();
        FakeOdbc::QueueResult(std::move(result));
        int32_t cursor = 0;
        EXPECT_EQ(a.ExecSQLQuery("SELECT", &cursor), static_cast<int32_t>(columnCount));
        return cursor;
    }

    // One column of the given type, one row per value.
    int32_t QueryColumn(SQLSMALLINT type, std::vector<FakeValue> values, SQLLEN precision = 0) {
        FakeResult result{{FakeColumn{"V", type, 100, precision, 0}}, {}};
        for (auto& v : values) result.rows.push_back({v});
        return Query(std::move(result));
    }

    // Fetch that must deliver a row.
    void FetchRow(int32_t h) {
        int32_t end = -1;
        ASSERT_EQ(a.Fetch(h, &end), 1) << a.errorMessage;
        ASSERT_EQ(end, 0);
    }

    const jov::ColumnInfo& Column(int32_t h, int i) const { return a.columns[h][i]; }
    std::string Value(int32_t h, int i) const {
        const jov::ColumnInfo& c = Column(h, i);
        return std::string(reinterpret_cast<const char*>(c.data), c.dataLength);
    }
    std::vector<int64_t> CTypesRequested() const {
        std::vector<int64_t> types;
        for (const FakeCall& call : FakeOdbc::CallsOf(FakeFn::SQLGetData)) {
            types.push_back(call.args[1]);
        }
        return types;
    }
    std::string Message() const { return a.errorMessage; }
    std::string Code() const { return a.errorCode; }

    jov::OdbcAccs a;
};

std::string Pattern(size_t size) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>('A' + i % 23);
    return s;
}

TEST_F(FetchTest, RowsAreStoredAndTheEndKeepsTheLastRow) {
    int32_t h = Query({{{"ID", SQL_INTEGER, 10}, {"NAME", SQL_VARCHAR, 20}},
                       {{Int32Bytes(7), std::string("seven")}, {Int32Bytes(8), std::nullopt}}});
    FetchRow(h);
    EXPECT_EQ(Value(h, 0), Int32Bytes(7));
    EXPECT_EQ(Value(h, 1), "seven");
    FetchRow(h);
    EXPECT_EQ(Value(h, 0), Int32Bytes(8));
    EXPECT_EQ(Column(h, 1).isNull, 1);
    EXPECT_EQ(Column(h, 1).dataLength, 5);  // NULL keeps the previous length

    int32_t end = 0;
    EXPECT_EQ(a.Fetch(h, &end), 1);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(Value(h, 0), Int32Bytes(8));
    EXPECT_EQ(Column(h, 1).isNull, 1);
    EXPECT_EQ(Column(h, 0).isNull, 0);
}

TEST_F(FetchTest, EachSqlTypeIsReadInItsCType) {
    struct Case {
        SQLSMALLINT sqlType;
        SQLSMALLINT cType;
        std::string bytes;
        SQLLEN precision;
    };
    const Case cases[] = {
        // Exact integers and REAL are read wide and stored in their own width.
        {SQL_INTEGER, SQL_C_SBIGINT, Int32Bytes(-5), 0},
        {SQL_SMALLINT, SQL_C_SBIGINT, Int16Bytes(300), 0},
        {SQL_TINYINT, SQL_C_SBIGINT, std::string("\x80", 1), 0},
        {SQL_BIT, SQL_C_SBIGINT, std::string("\x01", 1), 0},
        {SQL_BIGINT, SQL_C_SBIGINT, Int64Bytes(1LL << 40), 0},
        {SQL_REAL, SQL_C_DOUBLE, FloatBytes(1.5f), 0},
        {SQL_FLOAT, SQL_C_DOUBLE, DoubleBytes(2.25), 0},
        {SQL_DOUBLE, SQL_C_DOUBLE, DoubleBytes(-3.5), 0},
        {SQL_CHAR, SQL_C_CHAR, "text", 0},
        {SQL_VARCHAR, SQL_C_CHAR, "text", 0},
        {SQL_LONGVARCHAR, SQL_C_CHAR, "text", 0},
        {SQL_WVARCHAR, SQL_C_BINARY, std::string("\xE5\x65", 2), 0},
        {SQL_LONGVARBINARY, SQL_C_BINARY, std::string("\x00\x01\x02", 3), 0},
        {SQL_NUMERIC, SQL_C_CHAR, "12.50", 10},
        {SQL_DECIMAL, SQL_C_CHAR, "-0.125", 6},
        {SQL_TYPE_DATE, SQL_C_CHAR, "2004-04-30", 0},
        {SQL_TIME, SQL_C_CHAR, "21:50:08", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sqlType);
        Reopen();
        int32_t h = QueryColumn(c.sqlType, {c.bytes}, c.precision);
        FetchRow(h);
        EXPECT_EQ(CTypesRequested(), std::vector<int64_t>{c.cType});
        EXPECT_EQ(Value(h, 0), c.bytes);
        EXPECT_EQ(Column(h, 0).dataCapacity, static_cast<int32_t>(c.bytes.size()));
    }
}

TEST_F(FetchTest, ChunkTargetsAdvanceThroughTheRowBuffer) {
    int32_t h = QueryColumn(SQL_VARBINARY, {Pattern(5000)});
    FetchRow(h);
    EXPECT_EQ(Column(h, 0).dataLength, 5000);
    EXPECT_EQ(Value(h, 0), Pattern(5000));
    std::vector<FakeCall> calls = FakeOdbc::CallsOf(FakeFn::SQLGetData);
    ASSERT_EQ(calls.size(), 2u);
    for (const FakeCall& call : calls) EXPECT_EQ(call.args[2], 4096);
}

TEST_F(FetchTest, ValuesAreCutAfterSixteenChunks) {
    struct Case {
        size_t size;
        bool noTotal;
        int32_t stored;
        size_t calls;
    };
    const Case cases[] = {
        {65535, false, 65535, 16}, {65536, false, 65536, 16}, {65537, false, 65536, 16},
        {70000, false, 65536, 16}, {70000, true, 65536, 16},  {8192, true, 8192, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        Reopen(c.noTotal);
        int32_t h = QueryColumn(SQL_LONGVARBINARY, {Pattern(c.size), std::string("next")});
        FetchRow(h);
        EXPECT_EQ(Column(h, 0).dataLength, c.stored);
        EXPECT_EQ(Value(h, 0), Pattern(c.size).substr(0, c.stored));
        EXPECT_EQ(FakeOdbc::CallsOf(FakeFn::SQLGetData).size(), c.calls);
        FetchRow(h);  // the rest of a cut value is dropped
        EXPECT_EQ(Value(h, 0), "next");
    }
}

TEST_F(FetchTest, LongTextValuesHoldNoTerminators) {
    const std::string digits = std::string(9999, '7') + "1";
    int32_t h = QueryColumn(SQL_DECIMAL, {digits}, 10000);
    FetchRow(h);
    EXPECT_EQ(Column(h, 0).dataLength, 10000);
    EXPECT_EQ(Value(h, 0), digits);
    EXPECT_EQ(FakeOdbc::CallsOf(FakeFn::SQLGetData).size(), 3u);
}

TEST_F(FetchTest, LongestTextValueIs65536BytesOfData) {
    // Text chunks carry 4095 data bytes each: the 17th ends the value at 65536.
    struct Case {
        size_t size;
        int32_t stored;
        size_t calls;
    };
    for (const Case& c : {Case{65520, 65520, 16}, Case{65521, 65521, 17}, Case{65536, 65536, 17},
                          Case{70000, 65536, 17}}) {
        SCOPED_TRACE(c.size);
        Reopen();
        int32_t h = QueryColumn(SQL_NUMERIC, {Pattern(c.size)}, 70000);
        FetchRow(h);
        EXPECT_EQ(Column(h, 0).dataLength, c.stored);
        EXPECT_EQ(Value(h, 0), Pattern(c.size).substr(0, c.stored));
        std::vector<FakeCall> calls = FakeOdbc::CallsOf(FakeFn::SQLGetData);
        ASSERT_EQ(calls.size(), c.calls);
        if (c.calls == 17) {
            EXPECT_EQ(calls[16].args[2], 65536 - 16 * 4095 + 1);  // 16 data bytes and a NUL
        }
    }
}

TEST_F(FetchTest, ChunksCutBeforeADoubleByteCharacterCountWhatTheDriverWrote) {
    // 4094 data bytes and a terminator in a chunk of 4096: nothing of the
    // terminator or past it may enter the value.
    const std::string a = "\x82\xA0";  // "あ" in Shift-JIS
    std::string text;
    while (text.size() < 70000) text += a;
    for (size_t size : {size_t{10000}, size_t{70000}}) {
        SCOPED_TRACE(size);
        Reopen();
        FakeOdbc::SetWholeCharacters(true);
        int32_t h = QueryColumn(SQL_VARCHAR, {text.substr(0, size)});
        FetchRow(h);
        const int32_t stored = size == 10000 ? 10000 : 65536;  // 16 * 4094 + 32
        EXPECT_EQ(Column(h, 0).dataLength, stored);
        EXPECT_EQ(Value(h, 0), text.substr(0, static_cast<size_t>(stored)));
    }
}

TEST_F(FetchTest, ValueBuffersOnlyGrow) {
    int32_t h = QueryColumn(SQL_VARCHAR, {Pattern(10), Pattern(100), Pattern(50)});
    long before = FakePlatform::AllocationCount();
    FetchRow(h);  // the row buffer and a 10-byte buffer
    FetchRow(h);  // a 100-byte buffer
    const unsigned char* grown = Column(h, 0).data;
    FetchRow(h);
    EXPECT_EQ(FakePlatform::AllocationCount() - before, 3);
    EXPECT_EQ(Column(h, 0).data, grown);
    EXPECT_EQ(Column(h, 0).dataCapacity, 100);
    EXPECT_EQ(Value(h, 0), Pattern(50));
}

TEST_F(FetchTest, EmptyValueAllocatesNothing) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string()});
    long before = FakePlatform::AllocationCount();
    FetchRow(h);
    EXPECT_EQ(FakePlatform::AllocationCount() - before, 1);  // the row buffer only
    EXPECT_EQ(Column(h, 0).data, nullptr);
    EXPECT_EQ(Column(h, 0).dataLength, 0);
    EXPECT_EQ(Column(h, 0).isNull, 0);
}

TEST_F(FetchTest, FetchScrollPassesOrientationAndOffset) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("r1"), std::string("r2"), std::string("r3")});
    int32_t end = -1;
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_ABSOLUTE, 2), 1);
    EXPECT_EQ(Value(h, 0), "r2");
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_ABSOLUTE, -1), 1);
    EXPECT_EQ(Value(h, 0), "r3");
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_RELATIVE, 5), 1);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(Value(h, 0), "r3");
    std::vector<FakeCall> calls = FakeOdbc::CallsOf(FakeFn::SQLFetchScroll);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].args, (std::vector<int64_t>{SQL_FETCH_ABSOLUTE, 2}));
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{SQL_FETCH_ABSOLUTE, -1}));
    EXPECT_EQ(calls[2].args, (std::vector<int64_t>{SQL_FETCH_RELATIVE, 5}));
}

// ODBC's orientation is 16 bits; narrowed, 65538 would be SQL_FETCH_FIRST and
// -65531 SQL_FETCH_ABSOLUTE. Offsets reach the driver whole.
TEST_F(FetchTest, OrientationsBeyondSixteenBitsAreRefused) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("r1"), std::string("r2")});
    int32_t end = -1;
    ASSERT_EQ(a.FetchScroll(h, &end, SQL_FETCH_ABSOLUTE, 2), 1);
    for (int32_t orientation : {65538, -65531, 32768, -32769, INT32_MAX, INT32_MIN}) {
        EXPECT_EQ(a.FetchScroll(h, &end, orientation, 1), 0);
        EXPECT_EQ(Message(), "(ODBCACCS)Invalid Fetch Orientation=" + std::to_string(orientation));
        EXPECT_EQ(Code(), "");
    }
    EXPECT_EQ(Value(h, 0), "r2");
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_RELATIVE, INT32_MIN), 1);
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_ABSOLUTE, INT32_MAX), 1);
    std::vector<FakeCall> calls = FakeOdbc::CallsOf(FakeFn::SQLFetchScroll);
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[1].args, (std::vector<int64_t>{SQL_FETCH_RELATIVE, INT32_MIN}));
    EXPECT_EQ(calls[2].args, (std::vector<int64_t>{SQL_FETCH_ABSOLUTE, INT32_MAX}));
}

TEST_F(FetchTest, RefusedBinaryConversionFallsBackToText) {
    // A driver may refuse SQL_C_BINARY for a type it cannot hand out as bytes
    // (psqlODBC does so for some of its types, with 07006).
    int32_t h =
        Query({{{"FLAG", SQL_GUID, 5}, {"N", SQL_VARBINARY, 5}},
               {{std::string("1"), std::string("a")}, {std::string("0"), std::string("b")}}});
    a.RecordError("S1000", "earlier");
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_ERROR, "07006", "Restricted data type"});
    FetchRow(h);
    FetchRow(h);
    EXPECT_EQ(CTypesRequested(), (std::vector<int64_t>{SQL_C_BINARY, SQL_C_CHAR, SQL_C_BINARY,
                                                       SQL_C_CHAR, SQL_C_BINARY}));
    EXPECT_EQ(Column(h, 0).readAsChar, 1);
    EXPECT_EQ(Column(h, 0).valueIsText, 1);
    EXPECT_EQ(Column(h, 1).readAsChar, 0);
    EXPECT_EQ(Value(h, 0), "0");
    EXPECT_EQ(Value(h, 1), "b");
    EXPECT_EQ(Message(), "earlier");
    EXPECT_EQ(Code(), "S1000");
}

TEST_F(FetchTest, RefusedFixedWidthConversionFallsBackToText) {
    const SQLSMALLINT types[] = {SQL_INTEGER, SQL_SMALLINT, SQL_TINYINT, SQL_BIT,
                                 SQL_BIGINT,  SQL_REAL,     SQL_FLOAT,   SQL_DOUBLE};
    for (SQLSMALLINT type : types) {
        SCOPED_TRACE(type);
        Reopen();
        int32_t h = QueryColumn(type, {std::string("1.50"), std::string("-7")});
        FakeOdbc::Script(FakeFn::SQLGetData, {SQL_ERROR, "07006", "Restricted data type"});
        FetchRow(h);
        EXPECT_EQ(Column(h, 0).readAsChar, 1);
        EXPECT_EQ(Column(h, 0).valueIsText, 1);
        EXPECT_STREQ(a.GetColumnDataString(h, 1, nullptr, 0), "1.50");
        FetchRow(h);
        EXPECT_STREQ(a.GetColumnDataString(h, 1, nullptr, 0), "-7");
        EXPECT_EQ(CTypesRequested().back(), SQL_C_CHAR);
        EXPECT_EQ(CTypesRequested().size(), 3u);
    }
}

TEST_F(FetchTest, ValuesWiderThanTheirColumnAreKeptAsText) {
    // The SQLite driver keeps any 64-bit integer in a column it reports as
    // INTEGER, SMALLINT or TINYINT; a REAL column may hand out a double.
    struct Case {
        SQLSMALLINT type;
        std::string wide;  // as the driver hands it out
        const char* text;
        std::string fitting;
        std::string stored;  // what the fitting value is stored as
    };
    const Case cases[] = {
        {SQL_INTEGER, Int64Bytes(1099511627776), "1099511627776", Int64Bytes(INT32_MIN),
         Int32Bytes(INT32_MIN)},
        {SQL_INTEGER, Int64Bytes(4294967297), "4294967297", Int32Bytes(-1), Int32Bytes(-1)},
        {SQL_SMALLINT, Int64Bytes(100000), "100000", Int64Bytes(-32768), Int16Bytes(-32768)},
        {SQL_TINYINT, Int64Bytes(300), "300", Int64Bytes(-128), std::string("\x80", 1)},
        {SQL_BIT, Int64Bytes(2), "2", Int64Bytes(1), std::string("\x01", 1)},
        {SQL_REAL, DoubleBytes(16777217.0), "16777217", DoubleBytes(0.1), FloatBytes(0.1f)},
        {SQL_REAL, DoubleBytes(1e39), "1e+39", DoubleBytes(-2.5), FloatBytes(-2.5f)},
        {SQL_REAL, DoubleBytes(3.14159265358979), "3.14159265358979", FloatBytes(0.1f),
         FloatBytes(0.1f)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Reopen();
        int32_t h = QueryColumn(c.type, {c.wide, c.fitting});
        FetchRow(h);
        EXPECT_EQ(Column(h, 0).valueIsText, 1);
        EXPECT_EQ(Value(h, 0), c.text);
        EXPECT_STREQ(a.GetColumnDataString(h, 1, nullptr, 0), c.text);
        FetchRow(h);
        EXPECT_EQ(Column(h, 0).valueIsText, 0);
        EXPECT_EQ(Value(h, 0), c.stored);
    }
}

TEST_F(FetchTest, UnsignedBigintIsReadAsText) {
    FakeColumn unsignedBigint{"V", SQL_BIGINT, 20};
    unsignedBigint.isUnsigned = true;
    FakeResult result{{unsignedBigint}, {{std::string("18446744073709551615")}}};
    int32_t h = Query(std::move(result));
    FetchRow(h);
    EXPECT_EQ(CTypesRequested().back(), SQL_C_CHAR);
    EXPECT_STREQ(a.GetColumnDataString(h, 1, nullptr, 0), "18446744073709551615");
}

TEST_F(FetchTest, FixedWidthValueWrittenNarrowerThanItsTypeIsNotMixedWithTheLastOne) {
    // MariaDB's driver writes a BIT read as SQL_C_SBIGINT in one byte, over
    // whatever the row buffer held before: here the text before it.
    FakeResult result{{{"T", SQL_VARCHAR, 20}, {"B", SQL_BIT, 1}}, {}};
    for (int row = 0; row < 2; ++row) result.rows.push_back({std::string("-"), std::string("0")});
    int32_t h = Query(std::move(result));
    for (const char* bit : {"\x01", "\x00"}) {
        FakeOdbc::ScriptChunks(
            {{SQL_SUCCESS, 8, std::string("zzzzzzzz")}, {SQL_SUCCESS, 1, std::string(bit, 1)}});
        FetchRow(h);
        EXPECT_EQ(Column(h, 1).valueIsText, 0);
        EXPECT_EQ(Value(h, 1), std::string(bit, 1));
    }
}

TEST_F(FetchTest, DateValuesGiveTheirTimeValue) {
    int32_t h = QueryColumn(SQL_TYPE_TIMESTAMP, {std::string("2004-04-30 21:50:08"), std::nullopt});
    FetchRow(h);
    std::tm local{};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 3;
    local.tm_mday = 30;
    local.tm_hour = 21;
    local.tm_min = 50;
    local.tm_sec = 8;
    local.tm_isdst = -1;
    const int32_t expected = static_cast<int32_t>(std::mktime(&local));
    EXPECT_EQ(Value(h, 0), "2004-04-30 21:50:08");
    EXPECT_EQ(a.GetColumnDataTimet(h, 1), expected);
    FetchRow(h);
    EXPECT_EQ(Column(h, 0).isNull, 1);
    EXPECT_EQ(a.GetColumnDataTimet(h, 1), 0);
}

TEST_F(FetchTest, EachChunkHasItsOwnWaitAllowance) {
    int32_t h = QueryColumn(SQL_VARBINARY, {Pattern(5000)});
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_STILL_EXECUTING}, 179);
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_SUCCESS});
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_STILL_EXECUTING}, 179);
    FetchRow(h);
    EXPECT_EQ(Value(h, 0), Pattern(5000));
    EXPECT_EQ(FakePlatform::SleepCalls(1000), 358);
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 358);
}

// ---------------------------------------------------------------------------
// Failure paths
// ---------------------------------------------------------------------------

TEST_F(FetchTest, HandleOutsideTheTableIsRefused) {
    for (int32_t h : {0, 33, -1}) {
        SCOPED_TRACE(h);
        a.RecordError("S1000", "earlier");
        int32_t end = 7;
        EXPECT_EQ(a.Fetch(h, &end), 0);
        EXPECT_EQ(end, 0);
        EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=" + std::to_string(h));
        EXPECT_EQ(Code(), "");
        end = 7;
        EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_NEXT, 0), 0);
        EXPECT_EQ(end, 0);
    }
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLFetch), 0);
}

TEST_F(FetchTest, HandleWithoutStatementFailsWithEmptyRecord) {
    a.RecordError("S1000", "earlier");
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(5, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Message(), "");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(a.rowBuffer, nullptr);
}

TEST_F(FetchTest, MoveRefusedByTheDriver) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("x")});
    FakeOdbc::Script(FakeFn::SQLFetch, {SQL_ERROR, "24000", "Invalid cursor state"});
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Code(), "24000");
    EXPECT_EQ(Message(), "Invalid cursor state");
    // A move that is still executing fails at once.
    FakeOdbc::Script(FakeFn::SQLFetchScroll, {SQL_STILL_EXECUTING});
    EXPECT_EQ(a.FetchScroll(h, &end, SQL_FETCH_NEXT, 0), 0);
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 0);
}

TEST_F(FetchTest, ChunkStillExecutingTimesOut) {
    int32_t h = QueryColumn(SQL_VARBINARY, {Pattern(5000)});
    a.RecordError("42000", "earlier failure");
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_SUCCESS});
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_STILL_EXECUTING}, 180);
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Message(), "(ODBCACCS)SQL_STILL_EXECUTING Time Out Error");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(FakePlatform::SleepCalls(1000), 179);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLGetData), 181);
}

TEST_F(FetchTest, GetDataFailingMidRowLeavesAMixedRow) {
    int32_t h = Query({{{"A", SQL_VARCHAR, 5}, {"B", SQL_VARCHAR, 5}, {"C", SQL_VARCHAR, 5}},
                       {{std::string("a1"), std::string("b1"), std::string("c1")},
                        {std::string("a2"), std::string("b2"), std::string("c2")},
                        {std::string("a3"), std::string("b3"), std::string("c3")}}});
    FetchRow(h);
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_SUCCESS});
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_ERROR, "HY000", "general error"});
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Code(), "HY000");
    EXPECT_EQ(Column(h, 1).readAsChar, 0);
    EXPECT_EQ(Value(h, 0), "a2");
    EXPECT_EQ(Value(h, 1), "b1");
    EXPECT_EQ(Value(h, 2), "c1");
    // Nothing is undone: the next fetch moves on at once.
    FetchRow(h);
    EXPECT_EQ(Value(h, 1), "b3");
    EXPECT_EQ(FakePlatform::SleepCallsTotal(), 0);
}

TEST_F(FetchTest, RowBufferHeapFailure) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("r1"), std::string("r2")});
    a.RecordError("42000", "earlier failure");
    FakePlatform::FailAllocationsAfter(0);
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Message(), "(ODBCACCS)Not Enough Memory");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(a.rowBuffer, nullptr);
    FetchRow(h);
    EXPECT_EQ(Value(h, 0), "r2");
}

TEST_F(FetchTest, ValueBufferHeapFailure) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("r1"), std::string("r2")});
    a.RecordError("42000", "earlier failure");
    FakePlatform::FailAllocationsAfter(1);  // the row buffer succeeds
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(end, 0);
    EXPECT_EQ(Message(), "(ODBCACCS)Not Enough Memory");
    EXPECT_EQ(Code(), "");
    EXPECT_EQ(Column(h, 0).data, nullptr);
    EXPECT_EQ(Column(h, 0).dataCapacity, 0);
    EXPECT_EQ(Column(h, 0).dataLength, 0);
    EXPECT_EQ(Column(h, 0).isNull, 0);
    FetchRow(h);
    EXPECT_EQ(Value(h, 0), "r2");
}

TEST_F(FetchTest, OtherRefusalOfBinaryIsAFailure) {
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("x")});
    FakeOdbc::Script(FakeFn::SQLGetData, {SQL_ERROR, "HY003", "Invalid application buffer type"});
    int32_t end = 7;
    EXPECT_EQ(a.Fetch(h, &end), 0);
    EXPECT_EQ(Code(), "HY003");
    EXPECT_EQ(Column(h, 0).readAsChar, 0);
    EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLGetData), 1);
}

TEST_F(FetchTest, DirectCallsCheckTheirHandles) {
    unsigned char target[jov::kRowBufferSize];
    int32_t isNull = 0;
    EXPECT_EQ(a.ReadColumnValue(3, 0, target, &isNull), -1);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=3");
    EXPECT_EQ(a.StoreColumnValue(40, 0, target, 1, 0), -1);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=40");
    EXPECT_EQ(a.EnsureValueCapacity(0, 0, 10), -1);
    EXPECT_EQ(Message(), "(ODBCACCS)Invalid Open Cursol Handle=0");
    int32_t h = QueryColumn(SQL_VARCHAR, {std::string("x")});
    EXPECT_EQ(a.StoreColumnValue(h, 1, target, 1, 0), 0);
    EXPECT_EQ(a.EnsureValueCapacity(h, -1, 10), 0);
    EXPECT_EQ(a.ReadColumnValue(h, 1, target, &isNull), -1);
    EXPECT_EQ(Column(h, 0).data, nullptr);
}

}  // namespace

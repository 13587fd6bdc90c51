// Column accessors over hand-built catalogues: failure values for every
// invalid cursor and column, NULL and not-yet-fetched values, the bounded
// binary copy, and column lookup by name.
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "odbcaccs/OdbcAccs.h"
#include "tests/unit/hand_built_catalogue.h"

namespace {

using jov::ColumnInfo;

// Cursor 1 holds three columns: a decimal, a timestamp and a character column.
class AccessorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ColumnInfo* c = t.AddCatalogue(1, 3);
        HandBuiltCatalogue::SetName(c[0], "AMOUNT");
        c[0].sqlType = SQL_DECIMAL;
        c[0].length = 12;
        c[0].hasPrecision = 1;
        c[0].precision = 10;
        c[0].scale = 2;
        HandBuiltCatalogue::SetName(c[1], "STAMP");
        c[1].sqlType = SQL_TYPE_TIMESTAMP;
        c[1].length = -1;
        c[1].isDateTime = 1;
        HandBuiltCatalogue::SetName(c[2], "NOTE");
        c[2].sqlType = SQL_VARCHAR;
        c[2].length = 200;
        c[2].precision = 7;  // ignored: not a decimal column
        c[2].scale = 3;
        columns = c;
        std::strcpy(t.obj.errorMessage, "earlier message");
        std::strcpy(t.obj.errorCode, "HY000");
    }

    void FetchRow() {
        HandBuiltCatalogue::SetValue(columns[0], std::string("123.45"));
        HandBuiltCatalogue::SetValue(columns[1], std::string("2004-04-30 21:50:08"));
        HandBuiltCatalogue::SetValue(columns[2], std::string("0123456789"));
    }

    void ExpectRecordUnchanged() {
        EXPECT_STREQ(t.obj.errorMessage, "earlier message");
        EXPECT_STREQ(t.obj.errorCode, "HY000");
    }

    HandBuiltCatalogue t;
    ColumnInfo* columns = nullptr;
};

TEST_F(AccessorTest, MetadataOfValidColumns) {
    const jov::OdbcAccs& a = t.obj;
    EXPECT_EQ(a.GetColumnName(1, 1), columns[0].name);
    EXPECT_STREQ(a.GetColumnName(1, 3), "NOTE");
    EXPECT_EQ(a.GetColumnType(1, 1), SQL_DECIMAL);
    EXPECT_EQ(a.GetColumnType(1, 2), SQL_TYPE_TIMESTAMP);
    EXPECT_EQ(a.GetColumnOctetLength(1, 1), 12);
    EXPECT_EQ(a.GetColumnOctetLength(1, 2), -1);
    EXPECT_EQ(a.GetColumnNumericPrecision(1, 1), 10);
    EXPECT_EQ(a.GetColumnNumericScale(1, 1), 2);
    EXPECT_EQ(a.GetColumnNumericPrecision(1, 3), 0);
    EXPECT_EQ(a.GetColumnNumericScale(1, 3), 0);
}

TEST_F(AccessorTest, InvalidCursorOrColumnGivesFailureValuesAndRecordsNothing) {
    FetchRow();
    struct Where {
        const char* what;
        int32_t h;
        int32_t column;
        bool validCursor;
    };
    const Where kInvalid[] = {
        {"column 0", 1, 0, true},
        {"column count + 1", 1, 4, true},
        {"negative column", 1, -1, true},
        {"cursor 0", 0, 1, false},
        {"cursor 33", 33, 1, false},
        {"negative cursor", -5, 1, false},
        {"cursor without catalogue", 2, 1, false},
    };
    const jov::OdbcAccs& a = t.obj;
    for (const Where& w : kInvalid) {
        SCOPED_TRACE(w.what);
        EXPECT_EQ(a.GetColumnName(w.h, w.column), nullptr);
        EXPECT_EQ(a.GetColumnType(w.h, w.column), 0);
        EXPECT_EQ(a.GetColumnOctetLength(w.h, w.column), 0);
        EXPECT_EQ(a.GetColumnFetchDataLength(w.h, w.column), 0);
        EXPECT_EQ(a.GetColumnNumericPrecision(w.h, w.column), 0);
        EXPECT_EQ(a.GetColumnNumericScale(w.h, w.column), 0);
        EXPECT_EQ(a.IsColumnDataNull(w.h, w.column), 0);
        EXPECT_EQ(a.GetColumnDataTimet(w.h, w.column), 0);
        int32_t length = 77;
        unsigned char destination[4] = {9, 9, 9, 9};
        EXPECT_EQ(a.GetColumnDataBinary(w.h, w.column, &length, destination, 4), nullptr);
        EXPECT_EQ(length, w.validCursor ? 0 : 77) << "length out written only for a valid cursor";
        EXPECT_EQ(destination[0], 9);
        if (!w.validCursor) {
            EXPECT_EQ(a.GetColumnNoFromName(w.h, "AMOUNT"), -1);
        }
        ExpectRecordUnchanged();
    }
}

TEST_F(AccessorTest, CurrentValues) {
    FetchRow();
    const jov::OdbcAccs& a = t.obj;
    EXPECT_EQ(a.IsColumnDataNull(1, 1), 0);
    EXPECT_EQ(a.GetColumnFetchDataLength(1, 1), 6);
    EXPECT_EQ(a.GetColumnFetchDataLength(1, 3), 10);
    std::tm local{};
    local.tm_year = 2004 - 1900;
    local.tm_mon = 3;
    local.tm_mday = 30;
    local.tm_hour = 21;
    local.tm_min = 50;
    local.tm_sec = 8;
    local.tm_isdst = -1;
    EXPECT_EQ(a.GetColumnDataTimet(1, 2), static_cast<int32_t>(std::mktime(&local)));
    EXPECT_EQ(a.GetColumnDataTimet(1, 3), 0) << "time value of a non-date column";
    int32_t length = -1;
    EXPECT_EQ(a.GetColumnDataBinary(1, 3, &length, nullptr, 0), columns[2].data);
    EXPECT_EQ(length, 10);
}

TEST_F(AccessorTest, NullValueExposesNothingLeftByThePreviousValue) {
    FetchRow();
    for (int i = 0; i < 3; ++i) columns[i].isNull = 1;  // lengths and time values stay
    const jov::OdbcAccs& a = t.obj;
    for (int32_t column = 1; column <= 3; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(a.IsColumnDataNull(1, column), 1);
        EXPECT_EQ(a.GetColumnFetchDataLength(1, column), 0);
        EXPECT_EQ(a.GetColumnDataTimet(1, column), 0);
        EXPECT_EQ(a.GetColumnNumericPrecision(1, column), 0);
        EXPECT_EQ(a.GetColumnNumericScale(1, column), 0);
        int32_t length = 77;
        unsigned char destination[4] = {9, 9, 9, 9};
        EXPECT_EQ(a.GetColumnDataBinary(1, column, &length, destination, 4), nullptr);
        EXPECT_EQ(length, 0);
        EXPECT_EQ(destination[0], 9);
    }
    EXPECT_EQ(a.GetColumnType(1, 1), SQL_DECIMAL) << "metadata stays readable";
    ExpectRecordUnchanged();
}

TEST_F(AccessorTest, BeforeTheFirstFetch) {
    const jov::OdbcAccs& a = t.obj;
    for (int32_t column = 1; column <= 3; ++column) {
        SCOPED_TRACE(column);
        EXPECT_EQ(a.IsColumnDataNull(1, column), 0);
        EXPECT_EQ(a.GetColumnFetchDataLength(1, column), 0);
        EXPECT_EQ(a.GetColumnDataTimet(1, column), 0);
        int32_t length = 77;
        EXPECT_EQ(a.GetColumnDataBinary(1, column, &length, nullptr, 0), nullptr);
        EXPECT_EQ(length, 0);
    }
    EXPECT_EQ(a.GetColumnNumericPrecision(1, 1), 10);
}

TEST_F(AccessorTest, EmptyValueAfterALongerOneReportsLengthZero) {
    FetchRow();
    HandBuiltCatalogue::SetValue(columns[2], std::string());
    int32_t length = 77;
    unsigned char destination[4] = {9, 9, 9, 9};
    EXPECT_EQ(t.obj.GetColumnDataBinary(1, 3, &length, destination, 4), columns[2].data);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(destination[0], 9) << "nothing of the older value is copied";
    EXPECT_EQ(t.obj.GetColumnFetchDataLength(1, 3), 0);
}

TEST_F(AccessorTest, BinaryCopyIsBoundedByLimitAndLength) {
    FetchRow();
    struct Limit {
        int32_t limit;
        int copied;
    };
    const Limit kLimits[] = {{3, 3}, {10, 10}, {20, 10}, {0, 0}, {-1, 0}};
    for (const Limit& l : kLimits) {
        SCOPED_TRACE(l.limit);
        std::vector<unsigned char> destination(24, 0xEE);
        int32_t length = 0;
        EXPECT_EQ(t.obj.GetColumnDataBinary(1, 3, &length, destination.data(), l.limit),
                  columns[2].data);
        EXPECT_EQ(length, 10);
        for (int i = 0; i < 24; ++i) {
            const unsigned char expected =
                i < l.copied ? static_cast<unsigned char>('0' + i) : 0xEE;
            EXPECT_EQ(destination[static_cast<std::size_t>(i)], expected) << "byte " << i;
        }
    }
}

// --- GetColumnNoFromName ---

struct NameCase {
    const char* what;
    std::vector<std::string> columnNames;
    const char* requested;
    int32_t expected;
};

const NameCase kNameCases[] = {
    {"blanks and case ignored", {"EMPNO"}, "emp no", 1},
    {"lower-case column", {"empno"}, "emp no", 1},
    {"column with a blank", {"Emp No"}, "emp no", 1},
    {"underscore is a character", {"EMP_NO"}, "emp no", -1},
    {"first match after a non-match", {"EMP_NO", "Emp No"}, "emp no", 2},
    {"lower column number wins", {"X", "empno", "EMPNO"}, "EMPNO", 2},
    {"CR, LF and full-width space ignored", {"EMPNO"}, "E\r\nMP\x81\x40NO", 1},
    {"double-byte letters compared as they are", {"\x82\x60"}, "\x82\x81", -1},
    {"trail byte not upper-cased", {"\x81\x41"}, "\x81\x61", -1},
    {"empty request matches the first empty name", {"A", "B", "", " "}, "", 3},
    {"blank request matches the first blank name", {"A", " \r\n ", ""}, "   ", 2},
    {"empty request without an empty name", {"A", "B"}, "", -1},
    {"null request is the empty name", {"A", ""}, nullptr, 2},
    {"no match", {"A", "B"}, "C", -1},
    {"blank-padded request longer than a working copy",
     {"A", "EMPNO"},
     "    E     M     P     N     O            ",
     2},
};

TEST(AccessorNoFromName, TableOfNames) {
    for (const NameCase& c : kNameCases) {
        SCOPED_TRACE(c.what);
        HandBuiltCatalogue t;
        ColumnInfo* columns = t.AddCatalogue(1, static_cast<int32_t>(c.columnNames.size()));
        for (std::size_t i = 0; i < c.columnNames.size(); ++i) {
            HandBuiltCatalogue::SetName(columns[i], c.columnNames[i]);
        }
        EXPECT_EQ(t.obj.GetColumnNoFromName(1, c.requested), c.expected);
        for (std::size_t i = 0; i < c.columnNames.size(); ++i) {
            EXPECT_EQ(std::string(columns[i].name), c.columnNames[i]) << "column name changed";
        }
    }
}

TEST(AccessorNoFromName, CursorWithoutColumns) {
    HandBuiltCatalogue t;
    t.AddCatalogue(1, 0);
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, ""), -1);
}

TEST(AccessorNoFromName, LongRequestedNames) {
    HandBuiltCatalogue t;
    ColumnInfo* columns = t.AddCatalogue(1, 2);
    const std::string name31(31, 'Q');
    std::memset(columns[0].name, 'Q', 31);  // fills the name field to its terminator
    HandBuiltCatalogue::SetName(columns[1], "EMPNO");

    EXPECT_EQ(t.obj.GetColumnNoFromName(1, name31.c_str()), 1);
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, ("q " + name31).c_str()), -1)
        << "a request that strips to 32 bytes must not match its first 31";
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, std::string(127, 'x').c_str()), -1);
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, (std::string(120, ' ') + "EMPNO").c_str()), 2);
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, (std::string(300, ' ') + "EMPNO").c_str()), -1)
        << "a text longer than any name the natives pass matches nothing";
    EXPECT_EQ(t.obj.GetColumnNoFromName(1, (std::string(63, '\x82') + "EMPNO").c_str()), -1);
}

}  // namespace

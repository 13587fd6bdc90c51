// Dates and times: parsing, rendering in every date style, the calendar time
// of a column in more than one time zone, and marker removal.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <string>
#include <vector>

#include "odbcaccs/OdbcAccs.h"
#include "platform/heap.h"
#include "tests/fakes/fake_platform.h"

namespace jov {
namespace {

std::string Bytes(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// "午後" and "午前" in Windows-31J.
const std::string kGogo = Bytes({0x8C, 0xDF, 0x8C, 0xE3});
const std::string kGozen = Bytes({0x8C, 0xDF, 0x91, 0x4F});

// ---------------------------------------------------------------- parsing

struct ParseRow {
    std::string text;
    int year, month, day;  // year -1: no date
    int hour, minute, second;
};

TEST(DateParse, Table) {
    const std::vector<ParseRow> rows = {
        {"2004-04-30 21:50:08", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 21:50:08", 2004, 4, 30, 21, 50, 8},
        // Meridiem markers, with and without their blank, before or after the time.
        {"2004/04/30 " + kGogo + " 9:50:08", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 " + kGogo + "9:50:08", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 9:50:08 " + kGogo, 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 " + kGozen + " 9:50:08", 2004, 4, 30, 9, 50, 8},
        {"2004/04/30 " + kGozen + "9:50:08", 2004, 4, 30, 9, 50, 8},
        {"2004/04/30 PM 9:50:08", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 PM9:50:08", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 09:50:08 PM", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 09:50:08PM", 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 AM 9:50:08", 2004, 4, 30, 9, 50, 8},
        {"2004/04/30 09:50:08 AM", 2004, 4, 30, 9, 50, 8},
        {"2004/04/30 PM 0:10:00", 2004, 4, 30, 12, 10, 0},
        // Twelve o'clock keeps its hour with either marker.
        {"2004/04/30 PM 12:10:00", 2004, 4, 30, 12, 10, 0},
        {"2004/04/30 AM 12:10:00", 2004, 4, 30, 12, 10, 0},
        {"2004/04/30 " + kGogo + " 12:10:00", 2004, 4, 30, 12, 10, 0},
        {"2004/04/30 " + kGozen + " 12:10:00", 2004, 4, 30, 12, 10, 0},
        // PM without a complete time leaves 00:00:00.
        {"2004/04/30 PM", 2004, 4, 30, 0, 0, 0},
        {"2004/04/30 PM 9:50", 2004, 4, 30, 0, 0, 0},
        // Fractions and trailing text after the seconds are dropped.
        {"2004-04-30 21:50:08.123456", 2004, 4, 30, 21, 50, 8},
        {"2004-04-30 21:50:08 and more", 2004, 4, 30, 21, 50, 8},
        // Halves on their own.
        {"2004-04-30", 2004, 4, 30, 0, 0, 0},
        {"21:50:08", -1, 0, 0, 21, 50, 8},
        {"21:50:08.5", -1, 0, 0, 21, 50, 8},
        {kGogo + " 9:50:08", -1, 0, 0, 21, 50, 8},
        {"9:50:08 PM", -1, 0, 0, 21, 50, 8},
        {"2004-04 21:50:08", -1, 0, 0, 21, 50, 8},
        {"2004-04-30 21:50", 2004, 4, 30, 0, 0, 0},
        {"21:50", -1, 0, 0, 0, 0, 0},
        // Empty pieces do not count.
        {"2004--04--30", 2004, 4, 30, 0, 0, 0},
        {"-2004-04-30-", 2004, 4, 30, 0, 0, 0},
        {"2004//04//30 21::50::08", 2004, 4, 30, 21, 50, 8},
        {"2004-04-30 :21:50:08:", 2004, 4, 30, 21, 50, 8},
        // Numbers are kept as written, as their low 16 bits.
        {"2004-13-31 25:61:61", 2004, 13, 31, 25, 61, 61},
        {"4/1/2 3:4:5", 4, 1, 2, 3, 4, 5},
        {"70000/04/30", 70000 - 65536, 4, 30, 0, 0, 0},
        {"2004/ab/30 x:y:z", 2004, 0, 30, 0, 0, 0},
        // Nothing to read.
        {"", -1, 0, 0, 0, 0, 0},
        {"nonsense", -1, 0, 0, 0, 0, 0},
        {"2004 04 30", -1, 0, 0, 0, 0, 0},
        {"PM", -1, 0, 0, 0, 0, 0},
    };
    for (const ParseRow& row : rows) {
        SCOPED_TRACE(row.text);
        DateFields date{7, 7, 7};
        TimeFields time{7, 7, 7};
        OdbcAccs::ParseDateTime(row.text.c_str(), &date, &time);
        EXPECT_EQ(date.year, row.year);
        if (row.year != -1) {
            EXPECT_EQ(date.month, row.month);
            EXPECT_EQ(date.day, row.day);
        }
        EXPECT_EQ(time.hour, row.hour);
        EXPECT_EQ(time.minute, row.minute);
        EXPECT_EQ(time.second, row.second);
    }
}

TEST(DateParse, NullTextReadsAsEmpty) {
    DateFields date{7, 7, 7};
    TimeFields time{7, 7, 7};
    OdbcAccs::ParseDateTime(nullptr, &date, &time);
    EXPECT_EQ(date.year, -1);
    EXPECT_EQ(time.hour, 0);
    EXPECT_EQ(time.minute, 0);
    EXPECT_EQ(time.second, 0);
}

// The driver's canonical texts are read at fixed positions; a leading blank
// sends the same text through the general reader, which must agree, also on
// the near misses that the fixed reading turns away.
TEST(DateParse, CanonicalTextsReadAsTheGeneralReaderReadsThem) {
    const char* texts[] = {
        "2004-04-30",          "2004-04-30 21:50:08",   "2004-04-30 21:50:08.123456",
        "2004-04-30 21:50:08.", "0000-00-00 00:00:00",  "9999-99-99 99:99:99",
        "2004-04-30 21:50",    "2004-04-30 21:50:08Z",  "2004-04-30T21:50:08",
        "2004-4-30 21:50:08",  "2004-04-30 21:50:0x",   "2004-04-30 21:50:08.1 PM",
        "2004-04-30 9:50:08",  "2004-04-3",             "2004-04-30 21:50:08.5x",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        DateFields date, general;
        TimeFields time, generalTime;
        OdbcAccs::ParseDateTime(text, &date, &time);
        OdbcAccs::ParseDateTime((std::string(" ") + text).c_str(), &general, &generalTime);
        EXPECT_EQ(date.year, general.year);
        EXPECT_EQ(date.month, general.month);
        EXPECT_EQ(date.day, general.day);
        EXPECT_EQ(time.hour, generalTime.hour);
        EXPECT_EQ(time.minute, generalTime.minute);
        EXPECT_EQ(time.second, generalTime.second);
    }
}

TEST(DateParse, LeavesTheTextUntouched) {
    const std::string original = "2004/04/30 " + kGogo + " 9:50:08";
    std::string text = original;
    DateFields date;
    TimeFields time;
    OdbcAccs::ParseDateTime(text.c_str(), &date, &time);
    EXPECT_EQ(text, original);
}

// Only the first 255 bytes take part: a marker that starts at byte 254 but
// ends beyond it is cut, one within them counts, one beyond them is unseen.
TEST(DateParse, LongTextIsCutAfter255Bytes) {
    const std::string base = "2004/04/30 09:50:08";
    struct Row {
        std::size_t markerOffset;
        int hour;
    };
    for (const Row& row : {Row{253, 21}, Row{254, 9}, Row{256, 9}, Row{400, 9}}) {
        SCOPED_TRACE(row.markerOffset);
        std::string text = base + std::string(row.markerOffset - base.size(), ' ') + "PM";
        text += std::string(500 - text.size(), 'x');
        DateFields date;
        TimeFields time;
        OdbcAccs::ParseDateTime(text.c_str(), &date, &time);
        EXPECT_EQ(date.year, 2004);
        EXPECT_EQ(time.hour, row.hour);
        EXPECT_EQ(time.second, 8);
    }
    // The seconds' digits run past the cut: only those before it are read.
    std::string digits = "2004/04/30 09:50:" + std::string(255 - 17, '0') + "7";
    DateFields date;
    TimeFields time;
    OdbcAccs::ParseDateTime(digits.c_str(), &date, &time);
    EXPECT_EQ(time.second, 0);
}

// ---------------------------------------------------------------- rendering

struct FormatRow {
    std::string text;
    int16_t style;
    std::string expected;
};

std::string Render(const std::string& text, int16_t style) {
    std::vector<char> buffer(text.size() + 64, '\0');
    std::memcpy(buffer.data(), text.c_str(), text.size() + 1);
    OdbcAccs::FormatDateTimeInStyle(buffer.data(), style);
    return std::string(buffer.data());
}

TEST(DateFormat, Table) {
    const std::string t = "2004-04-30 21:50:08";
    const std::vector<FormatRow> rows = {
        {t, 0, "2004-04-30 21:50:08"},
        {t, 1, "04-04-30 21:50:08"},
        {t, 10, "30/04/2004 21:50:08"},
        {t, 11, "30/04/04 21:50:08"},
        {t, 21, "04/04/30 21:50:08"},
        // Every other code, negative ones too.
        {t, 2, "2004/04/30 21:50:08"},
        {t, 20, "2004/04/30 21:50:08"},
        {t, 22, "2004/04/30 21:50:08"},
        {t, -1, "2004/04/30 21:50:08"},
        {t, INT16_MIN, "2004/04/30 21:50:08"},
        {t, INT16_MAX, "2004/04/30 21:50:08"},
        // Two-digit years are not a remainder.
        {"1999-01-02 03:04:05", 1, "99-01-02 03:04:05"},
        {"2000-01-02 03:04:05", 1, "00-01-02 03:04:05"},
        {"2099-01-02 03:04:05", 21, "99/01/02 03:04:05"},
        {"2100-01-02 03:04:05", 1, "100-01-02 03:04:05"},
        {"2100-01-02 03:04:05", 11, "02/01/100 03:04:05"},
        {"2100-01-02 03:04:05", 21, "100/01/02 03:04:05"},
        {"1899-01-02 03:04:05", 1, "1799-01-02 03:04:05"},
        {"1899-01-02 03:04:05", 11, "02/01/1799 03:04:05"},
        {"1899-01-02 03:04:05", 21, "1799/01/02 03:04:05"},
        {"4-01-02 03:04:05", 21, "04/01/02 03:04:05"},
        {"4-01-02 03:04:05", 0, "0004-01-02 03:04:05"},
        {"1999-01-02 03:04:05", 10, "02/01/1999 03:04:05"},
        // Markers, fractions and missing halves.
        {"2004/04/30 " + kGogo + " 9:50:08", 0, "2004-04-30 21:50:08"},
        {"2004/04/30 09:50:08 PM", 0, "2004-04-30 21:50:08"},
        {"2004-04-30 21:50:08.123456", 0, "2004-04-30 21:50:08"},
        {"2004-04-30", 21, "04/04/30 00:00:00"},
        {"21:50:08", 0, " 21:50:08"},
        {"21:50:08", 21, " 21:50:08"},
        {"2004-04 21:50:08", 21, " 21:50:08"},
        {"2004-04-30 21:50", 0, "2004-04-30 00:00:00"},
        {"2004--04--30", 0, "2004-04-30 00:00:00"},
        {"", 21, " 00:00:00"},
        {"nonsense", 21, " 00:00:00"},
        // Negative numbers keep their sign inside the padding.
        {"2004/-4/30 -2:3:4", 0, "2004--4-30 -2:03:04"},
    };
    for (const FormatRow& row : rows) {
        SCOPED_TRACE(row.text + " style " + std::to_string(row.style));
        EXPECT_EQ(Render(row.text, row.style), row.expected);
    }
}

TEST(DateFormat, UsesTheObjectsCurrentStyle) {
    OdbcAccs accs;
    char text[64] = "2004-04-30 21:50:08";
    accs.FormatDateTime(text);
    EXPECT_STREQ(text, "04/04/30 21:50:08");
    std::strcpy(text, "2004-04-30 21:50:08");
    accs.SetDateStyle(10);
    accs.FormatDateTime(text);
    EXPECT_STREQ(text, "30/04/2004 21:50:08");
}

// The widest fields (six characters each) still fit 41 bytes and a NUL in
// every style; nothing after the 42nd byte of the buffer is touched.
TEST(DateFormat, ExtremeFieldsStayWithin42Bytes) {
    constexpr std::size_t kCallerBuffer = 42;
    const std::string widest = "-32768/-32768/-32768 -32768:-32768:-32768";
    const std::string largest = "32767/32767/32767 32767:32767:32767";
    ASSERT_LE(widest.size() + 1, kCallerBuffer);
    for (int16_t style : {0, 1, 10, 11, 21, 22, -1}) {
        for (const std::string& text : {widest, largest}) {
            SCOPED_TRACE(text + " style " + std::to_string(style));
            char buffer[kCallerBuffer + 32];
            std::memset(buffer, 0xA5, sizeof buffer);
            std::memcpy(buffer, text.c_str(), text.size() + 1);
            OdbcAccs::FormatDateTimeInStyle(buffer, style);
            EXPECT_LE(std::strlen(buffer), kCallerBuffer - 1);
            for (std::size_t i = kCallerBuffer; i < sizeof buffer; ++i) {
                ASSERT_EQ(static_cast<unsigned char>(buffer[i]), 0xA5) << "byte " << i;
            }
        }
    }
    EXPECT_EQ(Render(widest, 0), "-32768--32768--32768 -32768:-32768:-32768");
    EXPECT_EQ(Render(largest, 1), "30767-32767-32767 32767:32767:32767");
}

TEST(DateFormat, NullTextIsIgnored) { OdbcAccs::FormatDateTimeInStyle(nullptr, 0); }

// ---------------------------------------------------------------- time values

// Sets TZ for the life of the object and restores the previous zone.
class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        const char* previous = std::getenv("TZ");
        hadZone_ = previous != nullptr;
        if (hadZone_) previous_ = previous;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (hadZone_) {
            setenv("TZ", previous_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }
    ScopedTimeZone(const ScopedTimeZone&) = delete;
    ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

  private:
    bool hadZone_ = false;
    std::string previous_;
};

constexpr int32_t kCursor = 5;

// An object with a hand-built catalogue of one date/time column at cursor
// kCursor, whose calendar time is read back through the accessor; the
// catalogue is released and the heap balanced afterwards.
template <typename TestBase>
class DateTimeValueBase : public TestBase {
  protected:
    void SetUp() override {
        FakePlatform::Reset();
        void* block = AllocateBytes(sizeof(ColumnInfo));
        ASSERT_NE(block, nullptr);
        std::memset(block, 0, sizeof(ColumnInfo));
        accs_.columns[kCursor] = static_cast<ColumnInfo*>(block);
        accs_.columnCount[kCursor] = 1;
        accs_.columns[kCursor][0].isDateTime = 1;
    }
    void TearDown() override {
        accs_.FreeColumns(kCursor);
        EXPECT_EQ(FakePlatform::OutstandingBlocks(), 0);
    }

    // The calendar time that the column reports for a fetched text.
    int32_t TimeValueOf(const std::string& text) {
        ColumnInfo& column = accs_.columns[kCursor][0];
        FreeBytes(column.data);
        column.data = static_cast<unsigned char*>(AllocateBytes(text.size()));
        std::memcpy(column.data, text.data(), text.size());
        column.dataLength = column.dataCapacity = static_cast<int32_t>(text.size());
        return accs_.GetColumnDataTimet(kCursor, 1);
    }

    OdbcAccs accs_;
};

struct Zone {
    const char* name;
    const char* testName;
    long utcOffset;  // seconds east of UTC, constant for the years tested
};

using DateTimeValueTest = DateTimeValueBase<::testing::TestWithParam<Zone>>;

// Local wall-clock fields (already normalised) and the value they must give:
// seconds since the epoch, or -1 outside 0..INT32_MAX.
int32_t ExpectedLocal(int year, int month, int day, int hour, int minute, int second,
                      long utcOffset) {
    std::tm utc{};
    utc.tm_year = year - 1900;
    utc.tm_mon = month - 1;
    utc.tm_mday = day;
    utc.tm_hour = hour;
    utc.tm_min = minute;
    utc.tm_sec = second;
    long long seconds = static_cast<long long>(timegm(&utc)) - utcOffset;
    return seconds < 0 || seconds > INT32_MAX ? -1 : static_cast<int32_t>(seconds);
}

struct ValueRow {
    std::string text;
    bool hasDate;  // false: the value must be 0
    int year, month, day, hour, minute, second;
};

TEST_P(DateTimeValueTest, Table) {
    ScopedTimeZone zone(GetParam().name);
    const std::vector<ValueRow> rows = {
        {"2004-04-30 21:50:08", true, 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 " + kGogo + " 9:50:08", true, 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 09:50:08 PM", true, 2004, 4, 30, 21, 50, 8},
        {"2004/04/30 AM 12:10:00", true, 2004, 4, 30, 12, 10, 0},
        {"2004-04-30 21:50:08.999999", true, 2004, 4, 30, 21, 50, 8},
        {"2004-04-30", true, 2004, 4, 30, 0, 0, 0},
        {"2004-04-30 21:50", true, 2004, 4, 30, 0, 0, 0},
        // Out-of-range fields roll over.
        {"2004-13-01", true, 2005, 1, 1, 0, 0, 0},
        {"2004-04-31", true, 2004, 5, 1, 0, 0, 0},
        {"2004-04-30 24:00:00", true, 2004, 5, 1, 0, 0, 0},
        // The ends of the signed 32-bit range, which lie elsewhere in each zone.
        {"1965-01-01", true, 1965, 1, 1, 0, 0, 0},
        {"1970-01-01 00:00:00", true, 1970, 1, 1, 0, 0, 0},
        {"1970-01-01 09:00:00", true, 1970, 1, 1, 9, 0, 0},
        {"2038-01-19 03:14:07", true, 2038, 1, 19, 3, 14, 7},
        {"2038-01-19 03:14:08", true, 2038, 1, 19, 3, 14, 8},
        {"2038-01-19 12:14:07", true, 2038, 1, 19, 12, 14, 7},
        {"2038-01-19 12:14:08", true, 2038, 1, 19, 12, 14, 8},
        {"2040-06-01", true, 2040, 6, 1, 0, 0, 0},
        {"1899-12-31 23:59:59", true, 1899, 12, 31, 23, 59, 59},
        // No date: 0, whatever the time.
        {"21:50:08", false, 0, 0, 0, 0, 0, 0},
        {"2004-04 21:50:08", false, 0, 0, 0, 0, 0, 0},
        {"", false, 0, 0, 0, 0, 0, 0},
    };
    for (const ValueRow& row : rows) {
        SCOPED_TRACE(row.text);
        int32_t expected = row.hasDate ? ExpectedLocal(row.year, row.month, row.day, row.hour,
                                                       row.minute, row.second, GetParam().utcOffset)
                                       : 0;
        EXPECT_EQ(TimeValueOf(row.text), expected);
    }
    // The ends themselves, written out.
    if (GetParam().utcOffset == 0) {
        EXPECT_EQ(TimeValueOf("1970-01-01 00:00:00"), 0);
        EXPECT_EQ(TimeValueOf("2038-01-19 03:14:07"), INT32_MAX);
        EXPECT_EQ(TimeValueOf("2038-01-19 03:14:08"), -1);
    } else {
        EXPECT_EQ(TimeValueOf("1970-01-01 09:00:00"), 0);
        EXPECT_EQ(TimeValueOf("1970-01-01 08:59:59"), -1);
        EXPECT_EQ(TimeValueOf("2038-01-19 12:14:07"), INT32_MAX);
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, DateTimeValueTest,
                         ::testing::Values(Zone{"UTC", "UTC", 0},
                                           Zone{"Asia/Tokyo", "AsiaTokyo", 9 * 3600}),
                         [](const ::testing::TestParamInfo<Zone>& info) {
                             return std::string(info.param.testName);
                         });

using DateTimeValueFixture = DateTimeValueBase<::testing::Test>;

// Summer and winter in a zone with daylight saving: the zone's rules decide.
TEST_F(DateTimeValueFixture, DaylightSavingFollowsTheZone) {
    ScopedTimeZone zone("Europe/Berlin");
    EXPECT_EQ(TimeValueOf("2004-07-01 12:00:00"), ExpectedLocal(2004, 7, 1, 12, 0, 0, 2 * 3600));
    EXPECT_EQ(TimeValueOf("2004-01-01 12:00:00"), ExpectedLocal(2004, 1, 1, 12, 0, 0, 3600));
}

// ---------------------------------------------------------------- marker removal

TEST(DateRemoveFirst, MarkerAtEveryOffset) {
    const std::string base = "2004/04/30 9:50";
    for (const std::string& marker : {kGogo, kGozen + " ", std::string("PM")}) {
        for (std::size_t offset = 0; offset <= base.size(); ++offset) {
            SCOPED_TRACE(offset);
            std::string text = base.substr(0, offset) + marker + base.substr(offset);
            OdbcAccs::RemoveFirst(&text[0], marker.c_str());
            EXPECT_EQ(std::string(text.c_str()), base);
        }
    }
}

TEST(DateRemoveFirst, Table) {
    struct Row {
        std::string text;
        std::string marker;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {"AMAM", "AM", "AM"},  // only the first occurrence
        {"xAMyAMz", "AM", "xyAMz"},
        {"AM", "AM", ""},      // the whole text
        {"xyz", "AM", "xyz"},  // no match
        {"", "AM", ""},
        {"xA", "AM", "xA"},  // a partial match at the end
        {"xyz", "", "xyz"},  // an empty marker removes nothing
        // Matches are byte matches, across double-byte character boundaries:
        // the trail byte 0x8C of one character and the next character's bytes.
        {Bytes({0x82, 0x8C, 0xDF, 0x8C, 0xE3, 0x41}), kGogo, Bytes({0x82, 0x41})},
        {Bytes({0x8C, 0xDF, 0x8C}), kGogo, Bytes({0x8C, 0xDF, 0x8C})},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text + " / " + row.marker);
        std::string text = row.text;
        OdbcAccs::RemoveFirst(&text[0], row.marker.c_str());
        EXPECT_EQ(std::string(text.c_str()), row.expected);
    }
}

TEST(DateRemoveFirst, NullArgumentsAreIgnored) {
    char text[] = "AM";
    OdbcAccs::RemoveFirst(nullptr, "AM");
    OdbcAccs::RemoveFirst(text, nullptr);
    EXPECT_STREQ(text, "AM");
}

}  // namespace
}  // namespace jov

// Date and time texts: parsing, rendering in every date style into a 42-byte
// buffer, and the calendar time of a column.
//
// Input: two bytes of a date style, then the text (any bytes; the first NUL
// ends it).
//
// Properties: parsing reads only its text and only the first 255 bytes of it;
// a date is all three fields or none, a time holds -1 only as the hour a PM
// marker moved up from -13 (every hour up to 11 gains 12, negative ones too);
// a rendering is at most 41 bytes and never touches the guard bytes after
// the 42-byte buffer; a four-digit rendering of non-negative fields parses
// back to the same fields and renders the same again; the calendar time of a
// text without a date is 0, and an out-of-range cursor or column changes
// nothing.
#include <fuzzer/FuzzedDataProvider.h>

#include <string>

#include "odbcaccs/messages.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using jov::DateFields;
using jov::OdbcAccs;
using jov::TimeFields;

constexpr std::size_t kRenderSize = 42;
constexpr std::size_t kGuardSize = 16;
constexpr unsigned char kGuard = 0xA5;
constexpr std::size_t kParsedBytes = 255;

bool SameFields(const DateFields& a, const DateFields& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

bool SameFields(const TimeFields& a, const TimeFields& b) {
    return a.hour == b.hour && a.minute == b.minute && a.second == b.second;
}

bool MarkedPm(const std::string& text) {
    return text.find("PM") != std::string::npos || text.find(jov::kMarkerGogo) != std::string::npos;
}

void CheckParse(const std::string& text, DateFields* date, TimeFields* time) {
    const std::string before = text;
    OdbcAccs::ParseDateTime(text.c_str(), date, time);
    FUZZ_CHECK(text == before);
    FUZZ_CHECK(date->year == -1 || (date->month != -1 && date->day != -1));
    FUZZ_CHECK(time->minute != -1 && time->second != -1);
    FUZZ_CHECK(time->hour != -1 || MarkedPm(text));
    if (text.size() > kParsedBytes) {
        DateFields cutDate;
        TimeFields cutTime;
        OdbcAccs::ParseDateTime(text.substr(0, kParsedBytes).c_str(), &cutDate, &cutTime);
        FUZZ_CHECK(SameFields(*date, cutDate) && SameFields(*time, cutTime));
    }
}

// Renders the text's first 41 bytes in a 42-byte buffer followed by guards.
std::string RenderInBuffer(const std::string& text, int16_t style) {
    unsigned char area[kRenderSize + kGuardSize];
    std::memset(area, kGuard, sizeof area);
    const std::size_t n = text.size() < kRenderSize - 1 ? text.size() : kRenderSize - 1;
    std::memcpy(area, text.data(), n);
    area[n] = 0;
    char* buffer = reinterpret_cast<char*>(area);
    OdbcAccs::FormatDateTimeInStyle(buffer, style);
    FUZZ_CHECK(Terminated(buffer, kRenderSize));
    for (std::size_t i = kRenderSize; i < sizeof area; ++i) FUZZ_CHECK(area[i] == kGuard);
    return std::string(buffer);
}

// A longer text renders in its own buffer of exactly its size (or 42 bytes).
std::string RenderInPlace(const std::string& text, int16_t style) {
    std::unique_ptr<char[]> buffer = ExactCopy(text, kRenderSize);
    OdbcAccs::FormatDateTimeInStyle(buffer.get(), style);
    FUZZ_CHECK(Terminated(buffer.get(), kRenderSize));
    return std::string(buffer.get());
}

bool NonNegative(const DateFields& d, const TimeFields& t) {
    return d.year >= 0 && d.month >= 0 && d.day >= 0 && t.hour >= 0 && t.minute >= 0 &&
           t.second >= 0;
}

// Styles 0 and the default write the year whole, so their rendering of
// non-negative fields is a text the parser reads back unchanged.
void CheckRoundTrip(const std::string& rendered, int16_t style, const DateFields& date,
                    const TimeFields& time) {
    if (style != 0 && style != 2) return;
    if (date.year == -1 || !NonNegative(date, time)) return;
    DateFields again;
    TimeFields againTime;
    OdbcAccs::ParseDateTime(rendered.c_str(), &again, &againTime);
    FUZZ_CHECK(SameFields(again, date) && SameFields(againTime, time));
    FUZZ_CHECK(RenderInPlace(rendered, style) == rendered);
}

// The calendar time of a fetched text, read through the accessor: 0 without
// a date, never below -1, and 0 for handles and columns that do not exist.
void CheckTimeValue(const std::string& raw, const DateFields& date, const TimeFields& time) {
    FuzzCatalogue t;
    jov::ColumnInfo* c = t.AddCatalogue(1, 1);
    c[0].isDateTime = 1;
    FuzzCatalogue::SetValue(c[0], std::vector<unsigned char>(raw.begin(), raw.end()));
    for (int32_t h : {0, 2, jov::kMaxCursors + 1, -1}) FUZZ_CHECK(t.obj.GetColumnDataTimet(h, 1) == 0);
    for (int32_t column : {0, 2}) FUZZ_CHECK(t.obj.GetColumnDataTimet(1, column) == 0);
    const int32_t seconds = t.obj.GetColumnDataTimet(1, 1);
    FUZZ_CHECK(seconds >= -1);
    if (raw.find('\0') == std::string::npos) {
        FUZZ_CHECK(seconds == OdbcAccs::CalendarTime(date, time));
    }
    if (date.year == -1) FUZZ_CHECK(OdbcAccs::CalendarTime(date, time) == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const int16_t fuzzedStyle = input.ConsumeIntegral<int16_t>();
    const std::string raw = input.ConsumeRemainingBytesAsString();
    const std::string text(raw.c_str());

    DateFields date;
    TimeFields time;
    CheckParse(text, &date, &time);
    CheckTimeValue(raw, date, time);

    for (int16_t style : {int16_t{0}, int16_t{1}, int16_t{10}, int16_t{11}, int16_t{21}, int16_t{2},
                          int16_t{-1}, fuzzedStyle}) {
        const std::string inBuffer = RenderInBuffer(text, style);
        const std::string inPlace = RenderInPlace(text, style);
        FUZZ_CHECK(inPlace.size() <= kRenderSize - 1);
        if (text.size() < kRenderSize) FUZZ_CHECK(inBuffer == inPlace);
        CheckRoundTrip(inPlace, style, date, time);
    }
    return 0;
}

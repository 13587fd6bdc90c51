// Dates and times of date/time columns: reading the driver's text into
// calendar fields, the calendar time of such fields, and the rendering of such
// a text in a date style.
//
// Texts read (Windows-31J bytes, at most their first 255 bytes):
//   2004-04-30 21:50:08[.fraction]   the driver's canonical form
//   2004/04/30 21:50:08              the slash form
//   2004/04/30 午後 9:50:08, 2004/04/30 09:50:08 PM, ... twelve-hour forms
//     with "午前"/"午後"/"AM"/"PM" anywhere, with or without a following blank
//   2004-04-30                       a date alone (time 00:00:00)
//   21:50:08                         a time alone (no '/' and no '-'; no date)
// A date needs three pieces split at its separator and a time three pieces
// split at ':'; empty pieces do not count. Fewer pieces leave that half absent.
//
// Date styles written (the time always follows as " HH:MM:SS"):
//   0   YYYY-MM-DD        1   YY-MM-DD        10  DD/MM/YYYY
//   11  DD/MM/YY          21  YY/MM/DD        any other code  YYYY/MM/DD
// where YY is the year less 1900 when at least 1900, less another 100 when
// still 100 or more (1999 -> 99, 2100 -> 100, 1899 -> 1799). A text without a
// complete date renders as the time part alone, with its leading blank.
//
// Nothing here allocates, keeps state between calls or records an error; the
// splitting is re-entrant, so any number of threads may parse at once.
#include <cassert>
#include <cstdint>
#include <cstring>
#include <ctime>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"

namespace jov {

namespace {

// Working copy of a text; only its first kWorkSize - 1 bytes take part.
constexpr std::size_t kWorkSize = 256;

// Longest rendering: six characters for each of the six 16-bit fields
// ("-32768"), two date separators, the blank and two colons.
constexpr std::size_t kMaxRenderedLength = 6 * 6 + 2 + 1 + 2;
static_assert(kMaxRenderedLength == 41, "a rendering fits a 42-byte buffer");

// A field that the text did not supply.
constexpr int16_t kAbsent = -1;

// "午後"/"午前" with and without their blank, in the order they are removed:
// the forms with a blank first, so that one blank stays between date and time.
constexpr const char kMarkerGogoBlank[] = "\x8C\xDF\x8C\xE3 ";
constexpr const char kMarkerGozenBlank[] = "\x8C\xDF\x91O ";
constexpr const char* const kMeridiemMarkers[] = {
    kMarkerGogoBlank, kMarkerGozenBlank, kMarkerGogo, kMarkerGozen, "AM ", "PM ", "AM", "PM"};

// Whether text may hold a meridiem marker: every marker starts with 'A', 'P'
// or 0x8C, so a text without those bytes (the driver's own forms) skips the
// marker search.
bool MayHoldMarker(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (*p == 'A' || *p == 'P' || static_cast<unsigned char>(*p) == 0x8C) return true;
    }
    return false;
}

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// atoi-style: leading white space, an optional sign, decimal digits up to the
// first other character; no digits gives 0. The result is the low 16 bits of
// the number written, however long it is (unsigned arithmetic wraps, and the
// low 16 bits survive the wrap).
int16_t ConvertPiece(const char* piece) {
    while (IsSpace(*piece)) ++piece;
    bool negative = false;
    if (*piece == '+' || *piece == '-') negative = *piece++ == '-';
    uint32_t value = 0;
    for (; *piece >= '0' && *piece <= '9'; ++piece) value = value * 10u + (*piece - '0');
    if (negative) value = 0u - value;
    return static_cast<int16_t>(static_cast<uint16_t>(value));
}

// Splits text at separator in place, skipping empty pieces, and converts the
// first three pieces into values; the ones not found stay kAbsent. Later
// pieces are ignored.
void ReadThreeNumbers(char* text, char separator, int16_t values[3]) {
    values[0] = values[1] = values[2] = kAbsent;
    char* cursor = text;
    for (int found = 0; found < 3; ++found) {
        while (*cursor == separator) ++cursor;
        if (*cursor == '\0') return;
        char* piece = cursor;
        while (*cursor != '\0' && *cursor != separator) ++cursor;
        if (*cursor != '\0') *cursor++ = '\0';
        values[found] = ConvertPiece(piece);
    }
}

bool AllPresent(const int16_t values[3]) {
    return values[0] != kAbsent && values[1] != kAbsent && values[2] != kAbsent;
}

// The date separator of a working text, or '\0' when it holds none.
char DateSeparator(const char* text) {
    if (std::strchr(text, '/') != nullptr) return '/';
    if (std::strchr(text, '-') != nullptr) return '-';
    return '\0';
}

// Year as the two-digit styles print it; not a remainder (2100 -> 100).
int TwoDigitYear(int year) {
    if (year >= 1900) year -= 1900;
    if (year >= 100) year -= 100;
    return year;
}

// Appends value as printf's "%0<width>d" writes it: the sign first, then the
// digits padded with zeros to width characters in all.
char* AppendPadded(char* out, int value, int width) {
    // The fields of a driver's date fit their widths: write them digit by digit.
    if (value >= 0 && ((width == 2 && value < 100) || (width == 4 && value < 10000))) {
        for (int i = width - 1; i >= 0; --i) {
            out[i] = static_cast<char>('0' + value % 10);
            value /= 10;
        }
        return out + width;
    }
    char digits[12];
    int count = 0;
    unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) {
        *out++ = '-';
        --width;
    }
    for (int pad = width - count; pad > 0; --pad) *out++ = '0';
    while (count > 0) *out++ = digits[--count];
    return out;
}

// Appends three fields with their widths, separated by separator.
char* AppendThree(char* out, int a, int widthA, int b, int c, int widthC, char separator) {
    out = AppendPadded(out, a, widthA);
    *out++ = separator;
    out = AppendPadded(out, b, 2);
    *out++ = separator;
    return AppendPadded(out, c, widthC);
}

// Writes the date part of style at out; returns the end of what it wrote.
char* AppendDatePart(char* out, const DateFields& date, int16_t style) {
    switch (style) {
        case 0:
            return AppendThree(out, date.year, 4, date.month, date.day, 2, '-');
        case 1:
            return AppendThree(out, TwoDigitYear(date.year), 2, date.month, date.day, 2, '-');
        case 10:
            return AppendThree(out, date.day, 2, date.month, date.year, 4, '/');
        case 11:
            return AppendThree(out, date.day, 2, date.month, TwoDigitYear(date.year), 2, '/');
        case 21:
            return AppendThree(out, TwoDigitYear(date.year), 2, date.month, date.day, 2, '/');
        default:
            return AppendThree(out, date.year, 4, date.month, date.day, 2, '/');
    }
}

// Reads width decimal digits at text into *value; false when one is not a digit.
bool FixedDigits(const char* text, int width, int16_t* value) {
    int v = 0;
    for (int i = 0; i < width; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    *value = static_cast<int16_t>(v);
    return true;
}

// The driver's canonical forms, "yyyy-mm-dd" and "yyyy-mm-dd hh:mm:ss" with an
// optional ".fraction", read at fixed positions. Every text accepted here
// reads the same through the general parser, which handles all others.
bool ParseCanonical(const char* text, std::size_t length, DateFields* date, TimeFields* time) {
    if (length != 10 && length < 19) return false;
    DateFields d;
    if (!FixedDigits(text, 4, &d.year) || text[4] != '-' || !FixedDigits(text + 5, 2, &d.month) ||
        text[7] != '-' || !FixedDigits(text + 8, 2, &d.day)) {
        return false;
    }
    TimeFields t{0, 0, 0};
    if (length > 10) {
        if (text[10] != ' ' || !FixedDigits(text + 11, 2, &t.hour) || text[13] != ':' ||
            !FixedDigits(text + 14, 2, &t.minute) || text[16] != ':' ||
            !FixedDigits(text + 17, 2, &t.second)) {
            return false;
        }
        if (length > 19) {
            if (text[19] != '.') return false;
            for (std::size_t i = 20; i < length; ++i) {
                if (text[i] < '0' || text[i] > '9') return false;
            }
        }
    }
    *date = d;
    *time = t;
    return true;
}

}  // namespace

// Reads text into date and time. date->year is -1 unless the text held three
// date pieces; time is 00:00:00 unless it held three time pieces. A PM marker
// ("午後" or "PM" anywhere) moves the hours 0..11 to 12..23; AM changes
// nothing. A null text reads as empty.
void OdbcAccs::ParseDateTime(const char* text, DateFields* date, TimeFields* time) {
    if (date == nullptr || time == nullptr) return;
    *date = DateFields{kAbsent, 0, 0};
    *time = TimeFields{0, 0, 0};
    if (text == nullptr) return;

    std::size_t length = strnlen(text, kWorkSize - 1);
    if (ParseCanonical(text, length, date, time)) return;
    char work[kWorkSize];
    std::memcpy(work, text, length);
    work[length] = '\0';

    bool pm = false;
    if (MayHoldMarker(work)) {
        pm = std::strstr(work, kMarkerGogo) != nullptr || std::strstr(work, "PM") != nullptr;
        for (const char* marker : kMeridiemMarkers) RemoveFirst(work, marker);
    }

    // Without a date separator the whole text is a time of day (a SQL TIME
    // value); with one, the date runs up to the first blank after it.
    char* timePart = work;
    char separator = DateSeparator(work);
    if (separator != '\0') {
        char* blank = std::strchr(std::strchr(work, separator), ' ');
        timePart = nullptr;
        if (blank != nullptr) {
            *blank = '\0';
            timePart = blank + 1;
        }
        int16_t ymd[3];
        ReadThreeNumbers(work, separator, ymd);
        if (AllPresent(ymd)) *date = DateFields{ymd[0], ymd[1], ymd[2]};
    }
    if (timePart != nullptr) {
        int16_t hms[3];
        ReadThreeNumbers(timePart, ':', hms);
        // Only a time that was read moves: an absent one stays 00:00:00.
        if (AllPresent(hms)) {
            if (pm && hms[0] <= 11) hms[0] = static_cast<int16_t>(hms[0] + 12);
            *time = TimeFields{hms[0], hms[1], hms[2]};
        }
    }
}

void OdbcAccs::FormatDateTime(char* text) const {
    FormatDateTimeInStyle(text, dateStyle.load(std::memory_order_relaxed));
}

// Replaces text by its rendering in style: at most kMaxRenderedLength bytes
// and the terminator, whatever the 16-bit fields hold. A null text is ignored.
void OdbcAccs::FormatDateTimeInStyle(char* text, int16_t style) {
    if (text == nullptr) return;
    DateFields date;
    TimeFields time;
    ParseDateTime(text, &date, &time);

    char work[kWorkSize];
    char* end = work;
    if (date.year != kAbsent && date.month != kAbsent && date.day != kAbsent) {
        end = AppendDatePart(end, date, style);
    }
    *end++ = ' ';
    end = AppendThree(end, time.hour, 2, time.minute, time.second, 2, ':');
    *end = '\0';
    const std::size_t length = static_cast<std::size_t>(end - work);
    assert(length <= kMaxRenderedLength);
    std::memcpy(text, work, length + 1);
}

// The calendar time of the fields read as local time, in seconds since the
// epoch: 0 without a date, -1 when the moment lies before the epoch or beyond
// a signed 32-bit count of seconds.
int32_t OdbcAccs::CalendarTime(const DateFields& date, const TimeFields& time) {
    if (date.year == kAbsent) return 0;
    std::tm local{};
    local.tm_year = date.year - 1900;
    local.tm_mon = date.month - 1;
    local.tm_mday = date.day;
    local.tm_hour = time.hour;
    local.tm_min = time.minute;
    local.tm_sec = time.second;
    local.tm_isdst = -1;  // the zone's rules decide whether daylight saving applies
    std::time_t seconds = std::mktime(&local);
    return seconds < 0 || seconds > INT32_MAX ? -1 : static_cast<int32_t>(seconds);
}

// Removes the first occurrence of marker, tested at every byte offset, by
// moving the rest of the text and its terminator over it.
void OdbcAccs::RemoveFirst(char* text, const char* marker) {
    if (text == nullptr || marker == nullptr || *marker == '\0') return;
    char* match = std::strstr(text, marker);
    if (match == nullptr) return;
    std::size_t markerLength = std::strlen(marker);
    std::memmove(match, match + markerLength, std::strlen(match + markerLength) + 1);
}

}  // namespace jov

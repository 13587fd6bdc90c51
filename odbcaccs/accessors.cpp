// Column accessors: the catalogue entry of one column of one cursor and the
// value of its current row, answered from memory.
//
// They make no ODBC call, allocate nothing, write nothing in the object and
// record no error: a cursor handle without a catalogue (or outside 1..32), or a
// column number outside 1..count, only yields the failure value. A NULL value
// keeps in its ColumnInfo what the previous value left there; none of it is
// exposed while isNull is 1.
#include <cstring>

#include "odbcaccs/OdbcAccs.h"

namespace jov {

namespace {

// A requested column name is stripped in a copy of this size. The natives hand
// over at most 127 bytes, so every name they pass fits whole with its
// terminator; a longer text matches no column.
constexpr std::size_t kRequestedNameCopySize = 128 + 1;

// A date/time text is read in its first 255 bytes.
constexpr std::size_t kDateTextSize = 256;

// The entry of a 1-based column number of a cursor with a catalogue, or null.
const ColumnInfo* ColumnAt(const OdbcAccs& accs, int32_t h, int32_t column) {
    const ColumnInfo* catalogue = accs.GetColumns(h);
    if (catalogue == nullptr || column < 1 || column > accs.GetColumnCount(h)) return nullptr;
    return &catalogue[column - 1];
}

bool HasValue(const ColumnInfo& info) { return info.isNull != 1; }

// Copies text with its terminator into out (size bytes) when it fits whole.
bool CopyWhole(char* out, std::size_t size, const char* text) {
    const std::size_t length = strnlen(text, size);
    if (length == size) return false;
    std::memcpy(out, text, length + 1);
    return true;
}

}  // namespace

const char* OdbcAccs::GetColumnName(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr ? info->name : nullptr;
}

int16_t OdbcAccs::GetColumnType(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr ? info->sqlType : 0;
}

int32_t OdbcAccs::GetColumnOctetLength(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr ? info->length : 0;
}

int32_t OdbcAccs::GetColumnFetchDataLength(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr && HasValue(*info) ? info->dataLength : 0;
}

// Precision and scale describe the column, yet like the value's own answers
// they read 0 while the current value is NULL.
int16_t OdbcAccs::GetColumnNumericPrecision(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr && info->hasPrecision == 1 && HasValue(*info) ? info->precision : 0;
}

int16_t OdbcAccs::GetColumnNumericScale(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr && info->hasPrecision == 1 && HasValue(*info) ? info->scale : 0;
}

int32_t OdbcAccs::IsColumnDataNull(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    return info != nullptr && info->isNull == 1 ? 1 : 0;
}

// The calendar time of a date/time value, read from its stored text exactly
// as fetching stored it (at most its first kDateTextSize - 1 bytes take part,
// as in the parser itself). 0 for other columns, NULL and empty values.
int32_t OdbcAccs::GetColumnDataTimet(int32_t h, int32_t column) const {
    const ColumnInfo* info = ColumnAt(*this, h, column);
    if (info == nullptr || info->isDateTime != 1 || !HasValue(*info)) return 0;
    if (info->data == nullptr || info->dataLength <= 0) return 0;
    char text[kDateTextSize];
    const std::size_t n = info->dataLength < static_cast<int32_t>(sizeof text)
                              ? static_cast<std::size_t>(info->dataLength)
                              : sizeof text - 1;
    std::memcpy(text, info->data, n);
    text[n] = '\0';
    DateFields date;
    TimeFields time;
    ParseDateTime(text, &date, &time);
    return CalendarTime(date, time);
}

// The first column (lowest number) whose name equals the requested one once
// both are stripped of blanks and upper-cased in a to z; -1 when none does or
// the cursor has no catalogue. A null name is the empty name.
//
// Column names are compared in 32-byte working copies. The requested name is
// stripped in a copy of kRequestedNameCopySize bytes, so a long name padded
// with blanks still matches; a stripped request of kColumnNameSize bytes or
// more is longer than any stripped column name and matches nothing. No
// working copy is written beyond its size, and the column names themselves are
// never changed.
int32_t OdbcAccs::GetColumnNoFromName(int32_t h, const char* name) const {
    const ColumnInfo* catalogue = GetColumns(h);
    if (catalogue == nullptr) return -1;

    char wanted[kRequestedNameCopySize];
    if (!CopyWhole(wanted, sizeof wanted, name != nullptr ? name : "")) return -1;
    StripBlanksUpper(wanted);
    if (std::strlen(wanted) >= static_cast<std::size_t>(kColumnNameSize)) return -1;

    const int32_t count = GetColumnCount(h);
    for (int32_t i = 0; i < count; ++i) {
        char candidate[kColumnNameSize];
        std::memcpy(candidate, catalogue[i].name, kColumnNameSize);
        candidate[kColumnNameSize - 1] = 0;
        StripBlanksUpper(candidate);
        if (std::strcmp(wanted, candidate) == 0) return i + 1;
    }
    return -1;
}

// Returns the column's data buffer (null before its first non-empty value) and
// writes the value's byte count through length; copies at most limit bytes
// into destination when one is given. For an invalid cursor handle length is
// left unwritten; for an invalid column or a NULL value it becomes 0 and the
// result is null. After an empty value the buffer may still hold an older,
// longer value: only the reported length is valid.
const unsigned char* OdbcAccs::GetColumnDataBinary(int32_t h, int32_t column, int32_t* length,
                                                   unsigned char* destination,
                                                   int32_t limit) const {
    if (GetColumns(h) == nullptr) return nullptr;
    if (length != nullptr) *length = 0;
    const ColumnInfo* info = ColumnAt(*this, h, column);
    if (info == nullptr || !HasValue(*info)) return nullptr;
    if (length != nullptr) *length = info->dataLength;
    if (destination != nullptr && info->data != nullptr) {
        const int32_t n = info->dataLength < limit ? info->dataLength : limit;
        if (n > 0) std::memcpy(destination, info->data, static_cast<std::size_t>(n));
    }
    return info->data;
}

}  // namespace jov

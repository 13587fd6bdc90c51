// Fixed-width numbers of a cursor's current row as a 64-bit integer or a
// double, read from what fetching stored, without rendering any text.
//
// What a number column's data holds (see fetch.cpp):
//  - normally the bytes of its C type in host byte order: BIT 1 byte
//    (SQL_C_BIT, 0 or 1), TINYINT 1 (signed), SMALLINT 2, INTEGER 4, BIGINT 8,
//    REAL 4 (float), FLOAT and DOUBLE 8 (double);
//  - the driver's text of the value when the column is marked readAsChar or
//    the value valueIsText (a value wider than declared, or a C type the
//    driver refused). An integer is then the whole text as a decimal integer
//    of 64 bits, a double the whole text as a decimal floating-point number
//    (the nearest double), inf or nan; surrounding spaces are ignored.
// A double of an integer column is the integer converted (rounded to nearest
// beyond 2^53); a REAL widens exactly. Nothing past dataLength is read, and a
// value shorter than its type's width is refused.
//
// Failures record a message of the library's own with an empty code; the
// caller holds the cursor for reading (ReadCursor).
#include <charconv>
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"

namespace jov {

namespace {

enum class Width { kNone, kBit, kInt8, kInt16, kInt32, kInt64, kFloat, kDouble };

Width WidthOf(int16_t sqlType) {
    switch (sqlType) {
        case SQL_BIT:
            return Width::kBit;
        case SQL_TINYINT:
            return Width::kInt8;
        case SQL_SMALLINT:
            return Width::kInt16;
        case SQL_INTEGER:
            return Width::kInt32;
        case SQL_BIGINT:
            return Width::kInt64;
        case SQL_REAL:
            return Width::kFloat;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return Width::kDouble;
        default:
            return Width::kNone;
    }
}

bool IsInteger(Width width) { return width != Width::kFloat && width != Width::kDouble; }

template <typename T>
bool Load(const ColumnInfo& info, T* value) {
    if (info.data == nullptr || info.dataLength < static_cast<int32_t>(sizeof(T))) return false;
    std::memcpy(value, info.data, sizeof(T));
    return true;
}

// Loads a T and widens it into *value.
template <typename T, typename Wide>
bool LoadWidened(const ColumnInfo& info, Wide* value) {
    T narrow;
    if (!Load(info, &narrow)) return false;
    *value = static_cast<Wide>(narrow);
    return true;
}

// The integer stored for a column of integer width.
bool DecodeInteger(const ColumnInfo& info, Width width, int64_t* value) {
    switch (width) {
        case Width::kBit:
            return LoadWidened<unsigned char>(info, value);
        case Width::kInt8:
            return LoadWidened<int8_t>(info, value);
        case Width::kInt16:
            return LoadWidened<int16_t>(info, value);
        case Width::kInt32:
            return LoadWidened<int32_t>(info, value);
        case Width::kInt64:
            return Load(info, value);
        default:
            return false;
    }
}

bool DecodeFloating(const ColumnInfo& info, Width width, double* value) {
    if (width == Width::kFloat) return LoadWidened<float>(info, value);
    return width == Width::kDouble && Load(info, value);
}

bool IsHeldAsText(const ColumnInfo& info) { return info.readAsChar == 1 || info.valueIsText == 1; }

// Parses the whole stored text, spaces around it aside, with std::from_chars
// (locale-independent, no terminator needed).
template <typename T>
bool ParseText(const ColumnInfo& info, T* value) {
    if (info.data == nullptr) return false;
    const char* first = reinterpret_cast<const char*>(info.data);
    const char* last = first + info.dataLength;
    while (first < last && *first == ' ') ++first;
    while (last > first && last[-1] == ' ') --last;
    if (first == last) return false;
    T parsed;
    const std::from_chars_result read = std::from_chars(first, last, parsed);
    if (read.ec != std::errc() || read.ptr != last) return false;
    *value = parsed;
    return true;
}

}  // namespace

// 1 with the value, 0 for NULL (value 0), -1 with the record set for a cursor
// without a catalogue, a column out of range, a type that is not an integer
// and a value that is not one.
int32_t OdbcAccs::GetColumnLong(int32_t h, int32_t column, int64_t* value) {
    *value = 0;
    const ColumnInfo* info = NumberColumn(h, column);
    if (info == nullptr) return -1;
    const Width width = WidthOf(info->sqlType);
    if (width == Width::kNone || !IsInteger(width)) {
        RecordError("", kMsgNotIntegerColumn, column, info->sqlType);
        return -1;
    }
    if (info->isNull == 1) return 0;
    const bool read =
        IsHeldAsText(*info) ? ParseText(*info, value) : DecodeInteger(*info, width, value);
    if (!read) {
        *value = 0;
        RecordError("", kMsgNotIntegerValue, column);
        return -1;
    }
    return 1;
}

// As GetColumnLong, for every fixed-width number type.
int32_t OdbcAccs::GetColumnDouble(int32_t h, int32_t column, double* value) {
    *value = 0;
    const ColumnInfo* info = NumberColumn(h, column);
    if (info == nullptr) return -1;
    const Width width = WidthOf(info->sqlType);
    if (width == Width::kNone) {
        RecordError("", kMsgNotNumberColumn, column, info->sqlType);
        return -1;
    }
    if (info->isNull == 1) return 0;
    bool read = false;
    if (IsHeldAsText(*info)) {
        read = ParseText(*info, value);
    } else if (IsInteger(width)) {
        int64_t integer = 0;
        read = DecodeInteger(*info, width, &integer);
        *value = static_cast<double>(integer);
    } else {
        read = DecodeFloating(*info, width, value);
    }
    if (!read) {
        *value = 0;
        RecordError("", kMsgNotNumberValue, column);
        return -1;
    }
    return 1;
}

// The catalogue entry of a 1-based column, or null with the record set.
const ColumnInfo* OdbcAccs::NumberColumn(int32_t h, int32_t column) {
    const ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return nullptr;
    if (column < 1 || column > GetColumnCount(h)) {
        RecordError("", kMsgInvalidColumn, column);
        return nullptr;
    }
    return &catalogue[column - 1];
}

}  // namespace jov

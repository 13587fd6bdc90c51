// Value rendering: the current value of one column as text, chosen by the
// column's SQL type.
//
// What a column's data holds:
//  - decimal (2, 3) and date/time (9..11, 91..93) columns: character text;
//  - character columns (1, 12, -1): the character bytes;
//  - wide-character columns (-8..-10): UTF-16 code units in host byte order;
//  - binary columns (-2..-4): the bytes;
//  - fixed-width numbers: the bytes of their C type in host byte order,
//    INTEGER 4 (SLONG), SMALLINT 2 (SSHORT), TINYINT and BIT 1, BIGINT 8
//    (SBIGINT), REAL 4 (FLOAT), FLOAT and DOUBLE 8 (DOUBLE).
// A value marked valueIsText is text whatever its column's type (the driver's
// text, or the decimal text of a number too wide for the column); where the
// type is normally rendered from a binary form, that text is the rendering. A
// value shorter than its fixed-width type renders as the empty text: nothing
// beyond dataLength is ever read.
//
// Where a text goes: RenderColumnValue, behind the value natives, writes
// nothing of the object. A value whose text is its stored bytes is handed out
// as those bytes, which the caller's hold of the cursor keeps unchanged; any
// other is written into the caller's RenderBuffer. So no fetch or rendering on
// another cursor can change a text while its caller reads it.
// GetColumnDataString renders into rowBuffer instead, which fetching also
// writes: the longest value (kMaxValueBytes) with its terminator, and the hex
// text of kMaxHexBytes bytes with its terminator, both fit in kRowBufferSize.
#include <charconv>
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/render_buffer.h"

namespace jov {

namespace {

// Binary values render at most this many bytes, two hex digits each.
constexpr int32_t kMaxHexBytes = kMaxValueBytes / 2;
static_assert(2 * kMaxHexBytes + 1 <= kRowBufferSize, "hex text and terminator fit");

// Room for any number's text and terminator: the largest double in fixed
// notation with six decimals and a sign takes 317 bytes.
constexpr int32_t kNumberTextSize = 320;
// FormatDateTime's least buffer: its longest rendering and the terminator.
constexpr int32_t kDateTextSize = 42;
static_assert(kNumberTextSize <= RenderBuffer::kInlineSize, "numbers render on the stack");
static_assert(kDateTextSize <= RenderBuffer::kInlineSize, "dates render on the stack");

enum class Form {
    kText,      // the bytes as they are
    kDateTime,  // the text rewritten in the object's date style
    kInt8,
    kInt16,
    kInt32,
    kInt64,
    kFloat,
    kDouble,
    kWide,
    kBinary,
    kNone,  // no rendering: the empty text
};

Form FormOf(int16_t sqlType) {
    switch (sqlType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
        case SQL_NUMERIC:
        case SQL_DECIMAL:
            return Form::kText;
        case SQL_DATETIME:
        case SQL_TIME:
        case SQL_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TYPE_TIMESTAMP:
            return Form::kDateTime;
        case SQL_TINYINT:
        case SQL_BIT:
            return Form::kInt8;
        case SQL_SMALLINT:
            return Form::kInt16;
        case SQL_INTEGER:
            return Form::kInt32;
        case SQL_BIGINT:
            return Form::kInt64;
        case SQL_REAL:
            return Form::kFloat;
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return Form::kDouble;
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
            return Form::kWide;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return Form::kBinary;
        default:
            return Form::kNone;
    }
}

bool IsBinaryForm(Form form) {
    return form != Form::kText && form != Form::kDateTime && form != Form::kNone;
}

// The form the current value of a column renders in; the one place that
// decides whether a value held as text renders as that text.
Form FormOfValue(const ColumnInfo& info) {
    Form form = FormOf(info.sqlType);
    if (info.valueIsText == 1 && IsBinaryForm(form)) form = Form::kText;
    return form;
}

// Bytes the rendering of length stored bytes (> 0) in form needs with its
// terminator; at most kRowBufferSize for length <= kMaxValueBytes.
int32_t RenderedSize(Form form, int32_t length) {
    switch (form) {
        case Form::kText:
            return length + 1;
        case Form::kDateTime:
            return length + 1 > kDateTextSize ? length + 1 : kDateTextSize;
        case Form::kInt8:
        case Form::kInt16:
        case Form::kInt32:
        case Form::kInt64:
        case Form::kFloat:
        case Form::kDouble:
            return kNumberTextSize;
        case Form::kWide:
            return 2 * (length / 2) + 1;
        case Form::kBinary:
            return 2 * (length < kMaxHexBytes ? length : kMaxHexBytes) + 1;
        case Form::kNone:
            break;
    }
    return 1;
}

// Each renderer writes a terminated text at out, which has RenderedSize
// bytes, and returns a bound on its length (the exact length where it is
// known without scanning).

int32_t RenderText(char* out, const unsigned char* data, int32_t length) {
    std::memcpy(out, data, static_cast<std::size_t>(length));
    out[length] = 0;
    return length;
}

// Reads the fixed-width value of type T from data of length bytes, or answers
// false when fewer bytes than its width are there.
template <typename T>
bool Load(const unsigned char* data, int32_t length, T* value) {
    if (length < static_cast<int32_t>(sizeof(T))) return false;
    std::memcpy(value, data, sizeof(T));
    return true;
}

template <typename T>
int32_t RenderInteger(char* out, const unsigned char* data, int32_t length) {
    T value;
    if (!Load(data, length, &value)) return 0;
    // The decimal text "%d" writes, from std::to_chars.
    const std::to_chars_result written = std::to_chars(out, out + kNumberTextSize - 1, value);
    *written.ptr = 0;
    return static_cast<int32_t>(written.ptr - out);
}

// "%lf" of the value widened to double: fixed notation with six decimals,
// rounded exactly as printf rounds, then trimmed. std::to_chars writes the
// same text without printf's arbitrary-precision arithmetic.
template <typename T>
int32_t RenderFloating(char* out, const unsigned char* data, int32_t length) {
    T value;
    if (!Load(data, length, &value)) return 0;
    const std::to_chars_result written = std::to_chars(
        out, out + kNumberTextSize - 1, static_cast<double>(value), std::chars_format::fixed, 6);
    if (written.ec != std::errc()) {
        out[0] = 0;
        return 0;
    }
    *written.ptr = 0;
    OdbcAccs::TrimTrailingZeros(out);
    return static_cast<int32_t>(written.ptr - out);
}

int32_t RenderWide(char* out, const unsigned char* data, int32_t length) {
    const int32_t count = length / 2;
    // data comes from the heap, so it is aligned for 16-bit units.
    return OdbcAccs::WideToAnsi(out, 2 * count + 1, reinterpret_cast<const WCHAR*>(data), count);
}

int32_t RenderHex(char* out, const unsigned char* data, int32_t length) {
    static const char kDigits[] = "0123456789abcdef";
    const int32_t n = length < kMaxHexBytes ? length : kMaxHexBytes;
    for (int32_t i = 0; i < n; ++i) {
        out[2 * i] = kDigits[data[i] >> 4];
        out[2 * i + 1] = kDigits[data[i] & 0x0F];
    }
    out[2 * n] = 0;
    return 2 * n;
}

// Renders length stored bytes (> 0) of the value in form at out, which has
// RenderedSize bytes, and returns the length of the text.
int32_t RenderInto(const OdbcAccs& accs, const ColumnInfo& info, Form form, int32_t length,
                   char* out) {
    const unsigned char* data = info.data;
    out[0] = 0;  // what a value without a rendering leaves
    int32_t bound = 0;
    switch (form) {
        case Form::kText:
            bound = RenderText(out, data, length);
            break;
        case Form::kDateTime:
            RenderText(out, data, length);
            accs.FormatDateTime(out);
            bound = kDateTextSize - 1;
            break;
        case Form::kInt8:
            bound = RenderInteger<int8_t>(out, data, length);
            break;
        case Form::kInt16:
            bound = RenderInteger<int16_t>(out, data, length);
            break;
        case Form::kInt32:
            bound = RenderInteger<int32_t>(out, data, length);
            break;
        case Form::kInt64:
            bound = RenderInteger<int64_t>(out, data, length);
            break;
        case Form::kFloat:
            bound = RenderFloating<float>(out, data, length);
            break;
        case Form::kDouble:
            bound = RenderFloating<double>(out, data, length);
            break;
        case Form::kWide:
            bound = RenderWide(out, data, length);
            break;
        case Form::kBinary:
            bound = RenderHex(out, data, length);
            break;
        case Form::kNone:
            break;
    }
    return static_cast<int32_t>(strnlen(out, static_cast<std::size_t>(bound)));
}

// The column whose current value (h, column) names, or null when there is
// nothing to render: an invalid cursor handle or column number, a NULL value,
// or a column that never held a non-empty value.
const ColumnInfo* ValueToRender(const OdbcAccs& accs, int32_t h, int32_t column) {
    const ColumnInfo* catalogue = accs.GetColumns(h);
    if (catalogue == nullptr || column < 1 || column > accs.GetColumnCount(h)) return nullptr;
    const ColumnInfo& info = catalogue[column - 1];
    if (info.isNull == 1 || info.data == nullptr) return nullptr;
    return &info;
}

// The bytes of a stored text before its first NUL, if any.
int32_t TextLength(const char* text, int32_t length) {
    const void* nul = std::memchr(text, 0, static_cast<std::size_t>(length));
    return nul == nullptr ? length : static_cast<int32_t>(static_cast<const char*>(nul) - text);
}

// Bytes of the stored value that take part in its rendering.
int32_t StoredLength(const ColumnInfo& info) {
    return info.dataLength < kMaxValueBytes ? info.dataLength : kMaxValueBytes;
}

}  // namespace

RenderedText OdbcAccs::RenderColumnValue(int32_t h, int32_t column, RenderBuffer& buffer) const {
    const ColumnInfo* info = ValueToRender(*this, h, column);
    if (info == nullptr) return {};
    const auto* stored = reinterpret_cast<const char*>(info->data);
    const int32_t length = StoredLength(*info);
    if (length <= 0) return {stored, 0, false};
    const Form form = FormOfValue(*info);
    if (form == Form::kText) return {stored, TextLength(stored, length), false};
    char* out = buffer.Reserve(RenderedSize(form, length));
    if (out == nullptr) return {};
    return {out, RenderInto(*this, *info, form, length, out), true};
}

// The value rendered into rowBuffer; a destination of destinationSize bytes
// (at least 1) also receives as much of it as fits, terminated, and every
// null result leaves it empty. Null also before any fetch returned a row (no
// rowBuffer yet).
const char* OdbcAccs::GetColumnDataString(int32_t h, int32_t column, char* destination,
                                          int32_t destinationSize) {
    if (destinationSize < 1) destination = nullptr;
    if (destination != nullptr) destination[0] = 0;
    if (rowBuffer == nullptr) return nullptr;
    const ColumnInfo* info = ValueToRender(*this, h, column);
    if (info == nullptr) return nullptr;
    char* text = reinterpret_cast<char*>(rowBuffer);
    text[0] = 0;
    const int32_t length = StoredLength(*info);
    if (length <= 0) return text;
    const int32_t rendered = RenderInto(*this, *info, FormOfValue(*info), length, text);
    if (destination != nullptr) {
        const int32_t n = rendered < destinationSize - 1 ? rendered : destinationSize - 1;
        std::memcpy(destination, text, static_cast<std::size_t>(n));
        destination[n] = 0;
    }
    return text;
}

// Drops the trailing zeros after the last '.', keeping at least one digit
// after it: 1.500000 -> 1.5, 1.000000 -> 1.0. A text without a point, or with
// the point last (inf, nan, "12."), stays as it is.
void OdbcAccs::TrimTrailingZeros(char* text) {
    char* point = std::strrchr(text, '.');
    if (point == nullptr || point[1] == 0) return;
    char* last = point + std::strlen(point) - 1;
    while (last > point + 1 && *last == '0') *last-- = 0;
}

// Converts count UTF-16 units to the ANSI code page into output (outputSize
// bytes) and terminates it; returns the bytes before the terminator. The
// conversion gets outputSize - 1 bytes, so the terminator always has room and
// a text that does not fit whole yields the empty text, never a part of one
// (and never half of a double-byte character).
int32_t OdbcAccs::WideToAnsi(char* output, int32_t outputSize, const WCHAR* wide, int32_t count) {
    if (outputSize < 1) return 0;
    int32_t written = 0;
    // A destination size of 0 would ask the converter for the needed size.
    if (count > 0 && outputSize > 1) {
        written =
            WideCharToMultiByte(CP_ACP, 0, wide, count, output, outputSize - 1, nullptr, nullptr);
        if (written < 0) written = 0;
    }
    output[written] = 0;
    return written;
}

}  // namespace jov

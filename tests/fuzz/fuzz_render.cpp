// Rendering of arbitrary stored bytes as text, GetColumnDataString, for every
// SQL type, length and destination size.
//
// Input: the SQL type (a known type by index, or any 16-bit code), the value's
// length (0..65536; the fuzzed bytes repeat to fill it), the NULL and
// valueIsText flags, a date style and a destination size (0 = none), then the
// value's bytes.
//
// Properties: the result is the row buffer or null exactly as the value
// allows; the text is terminated inside the row buffer; the destination gets
// a terminated prefix of it and nothing past its size; per type, the text has
// its shape (the bytes themselves, hex digits of at most 32768 bytes, an
// integer equal to the stored one, at most 41 bytes of date, nothing for an
// unrendered type); RenderColumnValue, the value natives' rendering, gives
// exactly the same text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cinttypes>
#include <cstdlib>
#include <string>
#include <vector>

#include "odbcaccs/render_buffer.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

constexpr int16_t kKnownTypes[] = {SQL_CHAR,
                                   SQL_VARCHAR,
                                   SQL_LONGVARCHAR,
                                   SQL_NUMERIC,
                                   SQL_DECIMAL,
                                   SQL_INTEGER,
                                   SQL_SMALLINT,
                                   SQL_TINYINT,
                                   SQL_BIT,
                                   SQL_BIGINT,
                                   SQL_FLOAT,
                                   SQL_DOUBLE,
                                   SQL_REAL,
                                   SQL_DATETIME,
                                   SQL_TIME,
                                   SQL_TIMESTAMP,
                                   SQL_TYPE_DATE,
                                   SQL_TYPE_TIME,
                                   SQL_TYPE_TIMESTAMP,
                                   SQL_WCHAR,
                                   SQL_WVARCHAR,
                                   SQL_WLONGVARCHAR,
                                   SQL_BINARY,
                                   SQL_VARBINARY,
                                   SQL_LONGVARBINARY,
                                   SQL_GUID,
                                   0,
                                   13,
                                   94};
constexpr std::size_t kKnownTypeCount = sizeof kKnownTypes / sizeof kKnownTypes[0];
constexpr int32_t kMaxHexBytes = jov::kMaxValueBytes / 2;
constexpr std::size_t kGuardSize = 8;
constexpr char kGuard = '\x5A';

std::vector<unsigned char> ValueBytes(FuzzedDataProvider& input, int32_t length) {
    std::vector<unsigned char> pattern = input.ConsumeRemainingBytes<unsigned char>();
    if (pattern.empty()) pattern.push_back(0x41);
    std::vector<unsigned char> value(static_cast<std::size_t>(length));
    for (std::size_t i = 0; i < value.size(); ++i) value[i] = pattern[i % pattern.size()];
    return value;
}

template <typename T>
void CheckInteger(const std::string& text, const std::vector<unsigned char>& value) {
    if (value.size() < sizeof(T)) {
        FUZZ_CHECK(text.empty());
        return;
    }
    T expected;
    std::memcpy(&expected, value.data(), sizeof(T));
    FUZZ_CHECK(text == std::to_string(static_cast<long long>(expected)));
}

bool IsPlainText(int16_t type) {
    return type == SQL_CHAR || type == SQL_VARCHAR || type == SQL_LONGVARCHAR ||
           type == SQL_NUMERIC || type == SQL_DECIMAL;
}

// Types normally rendered from the driver's binary form of the value.
bool HasBinaryForm(int16_t type) {
    switch (type) {
        case SQL_INTEGER:
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIT:
        case SQL_BIGINT:
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_REAL:
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY:
            return true;
        default:
            return false;
    }
}

void CheckShape(int16_t type, bool asChar, const std::string& text,
                const std::vector<unsigned char>& value) {
    // Text (and a value the driver gave as text) renders as its bytes, up to
    // an embedded NUL.
    if (IsPlainText(type) || (asChar && HasBinaryForm(type))) {
        const std::string bytes(value.begin(), value.end());
        FUZZ_CHECK(text == std::string(bytes.c_str()));
        return;
    }
    switch (type) {
        case SQL_INTEGER:
            CheckInteger<int32_t>(text, value);
            break;
        case SQL_SMALLINT:
            CheckInteger<int16_t>(text, value);
            break;
        case SQL_TINYINT:
        case SQL_BIT:
            CheckInteger<int8_t>(text, value);
            break;
        case SQL_BIGINT:
            CheckInteger<int64_t>(text, value);
            break;
        case SQL_BINARY:
        case SQL_VARBINARY:
        case SQL_LONGVARBINARY: {
            const std::size_t n =
                value.size() < static_cast<std::size_t>(kMaxHexBytes) ? value.size() : kMaxHexBytes;
            FUZZ_CHECK(text.size() == 2 * n);
            FUZZ_CHECK(text.find_first_not_of("0123456789abcdef") == std::string::npos);
            break;
        }
        case SQL_DATETIME:
        case SQL_TIME:
        case SQL_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TYPE_TIMESTAMP:
            FUZZ_CHECK(text.size() <= 41);
            break;
        case SQL_WCHAR:
        case SQL_WVARCHAR:
        case SQL_WLONGVARCHAR:
            FUZZ_CHECK(text.size() <= 2 * (value.size() / 2));
            break;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_REAL:
            if (value.size() < (type == SQL_REAL ? 4u : 8u)) FUZZ_CHECK(text.empty());
            break;
        default:
            FUZZ_CHECK(text.empty());
            break;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    const uint8_t typeChoice = input.ConsumeIntegral<uint8_t>();
    const int16_t anyType = input.ConsumeIntegral<int16_t>();
    const int16_t type = typeChoice < kKnownTypeCount ? kKnownTypes[typeChoice] : anyType;
    const bool isNull = input.ConsumeIntegralInRange<uint8_t>(0, 15) == 0;
    const bool asChar = input.ConsumeIntegralInRange<uint8_t>(0, 7) == 0;
    const int16_t style = input.ConsumeIntegral<int16_t>();
    const int32_t destinationSize = input.ConsumeIntegralInRange<int32_t>(-1, 80);
    const int32_t length = input.ConsumeBool()
                               ? input.ConsumeIntegralInRange<int32_t>(0, 64)
                               : input.ConsumeIntegralInRange<int32_t>(0, jov::kMaxValueBytes);
    const std::vector<unsigned char> value = ValueBytes(input, length);

    FuzzCatalogue t;
    jov::ColumnInfo* c = t.AddCatalogue(1, 2);
    c[1].sqlType = type;
    c[1].valueIsText = asChar ? 1 : 0;
    FuzzCatalogue::SetValue(c[1], value);
    c[1].isNull = isNull ? 1 : 0;
    t.obj.SetDateStyle(style);

    const std::size_t area = destinationSize > 0 ? static_cast<std::size_t>(destinationSize) : 0;
    std::vector<char> destination(area + kGuardSize, kGuard);
    char* target = destinationSize > 0 ? destination.data() : nullptr;

    FUZZ_CHECK(t.obj.GetColumnDataString(1, 2, target, destinationSize) == nullptr);
    t.AddRowBuffer();
    for (int32_t column : {0, 3, -1}) {
        FUZZ_CHECK(t.obj.GetColumnDataString(1, column, target, destinationSize) == nullptr);
    }
    for (int32_t h : {0, 2, jov::kMaxCursors + 1}) {
        FUZZ_CHECK(t.obj.GetColumnDataString(h, 2, target, destinationSize) == nullptr);
    }

    const char* text = t.obj.GetColumnDataString(1, 2, target, destinationSize);
    for (std::size_t i = area; i < destination.size(); ++i) FUZZ_CHECK(destination[i] == kGuard);
    jov::RenderBuffer own;
    const jov::RenderedText natives = t.obj.RenderColumnValue(1, 2, own);
    FUZZ_CHECK((natives.text == nullptr) == (text == nullptr));
    if (text != nullptr) FUZZ_CHECK(std::string(natives.text, natives.length) == text);
    if (isNull || value.empty()) {
        FUZZ_CHECK(text == nullptr);
        if (target != nullptr) FUZZ_CHECK(target[0] == 0);
        return 0;
    }
    FUZZ_CHECK(text == reinterpret_cast<const char*>(t.obj.rowBuffer));
    FUZZ_CHECK(Terminated(text, jov::kRowBufferSize));
    const std::string rendered(text);
    if (target != nullptr) {
        FUZZ_CHECK(Terminated(target, area));
        const std::string copied(target);
        FUZZ_CHECK(copied.size() <= area - 1);
        FUZZ_CHECK(rendered.compare(0, copied.size(), copied) == 0);
        if (rendered.size() <= area - 1) FUZZ_CHECK(copied == rendered);
    }
    CheckShape(type, asChar, rendered, value);
    return 0;
}

#include "driver/text/windows31j.h"

#include <algorithm>
#include <climits>

#include "driver/text/refusal.h"
#include "platform/win32.h"

namespace jov::driver::text {

namespace {

// A unit gives at most two bytes; the bound keeps the byte count an int.
constexpr size_t kMaxBytesPerUnit = 2;
constexpr size_t kMaxUnits = INT_MAX / kMaxBytesPerUnit;

static_assert(sizeof(WCHAR) == sizeof(char16_t), "WCHAR must be a UTF-16 code unit");

const WCHAR* Wide(const char16_t* units) { return reinterpret_cast<const WCHAR*>(units); }

// The code page's own conversion, which replaces what it cannot map; the
// replacement it reports is the refusal.
bool Encode(const char16_t* units, size_t count, std::string* out) {
    if (count == 0) return true;
    if (count > kMaxUnits) return false;
    const size_t start = out->size();
    const int room = static_cast<int>(count * kMaxBytesPerUnit);
    out->resize(start + static_cast<size_t>(room));
    BOOL usedDefault = 0;
    const int bytes = WideCharToMultiByte(kWindows31jCodePage, 0, Wide(units),
                                          static_cast<int>(count), &(*out)[start], room, nullptr,
                                          &usedDefault);
    out->resize(start + static_cast<size_t>(std::max(bytes, 0)));
    return bytes > 0 && !usedDefault;
}

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

// Whether the units encode to bytes that decode to the same units.
bool RoundTrips(const char16_t* units, size_t count, std::string* bytes) {
    bytes->clear();
    if (!Encode(units, count, bytes)) return false;
    return Windows31jToUtf16(bytes->data(), bytes->size()) == Utf16(units, count);
}

// The first character of units that does not round-trip on its own.
Diagnostic FirstRefused(const Utf16& units) {
    std::string bytes;
    for (size_t i = 0; i < units.size(); ++i) {
        const bool pair = IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1]);
        const size_t width = pair ? 2 : 1;
        if (!RoundTrips(&units[i], width, &bytes)) {
            char32_t c = units[i];
            if (pair) c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            return Unencodable(c, i, "has no mapping in Windows-31J");
        }
        i += width - 1;
    }
    return Unencodable(0xFFFD, 0, "has no mapping in Windows-31J");
}

}  // namespace

bool Utf16ToWindows31j(const Utf16& units, std::string* out, Diagnostic* failure) {
    std::string bytes;
    if (!RoundTrips(units.data(), units.size(), &bytes)) {
        *failure = FirstRefused(units);
        return false;
    }
    out->append(bytes);
    return true;
}

Utf16 Windows31jToUtf16(const char* bytes, size_t length) {
    // A byte gives at most one unit: every Windows-31J character is in the BMP.
    const int n = static_cast<int>(std::min<size_t>(length, INT_MAX));
    Utf16 out(static_cast<size_t>(n), u'\0');
    if (n == 0) return out;
    const int units = MultiByteToWideChar(kWindows31jCodePage, 0, bytes, n,
                                          reinterpret_cast<WCHAR*>(&out[0]), n);
    out.resize(static_cast<size_t>(std::max(units, 0)));
    return out;
}

}  // namespace jov::driver::text

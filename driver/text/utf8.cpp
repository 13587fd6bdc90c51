#include "driver/text/utf8.h"

#include "driver/text/refusal.h"

namespace jov::driver::text {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

void AppendUtf8(char32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

void AppendUtf16(char32_t c, Utf16* out) {
    if (c < 0x10000) {
        out->push_back(static_cast<char16_t>(c));
        return;
    }
    out->push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
}

// The sequence at bytes[i] if it is well-formed UTF-8 (no overlong form, no
// surrogate, nothing above U+10FFFF): its code point and length; length 0
// when it is not.
size_t DecodeOne(const unsigned char* b, size_t left, char32_t* c) {
    const unsigned char lead = b[0];
    if (lead < 0x80) {
        *c = lead;
        return 1;
    }
    size_t n;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, min = 0x80, *c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, min = 0x800, *c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, min = 0x10000, *c = lead & 0x07;
    } else {
        return 0;
    }
    if (n > left) return 0;
    for (size_t k = 1; k < n; ++k) {
        if ((b[k] & 0xC0) != 0x80) return 0;
        *c = (*c << 6) | (b[k] & 0x3F);
    }
    const bool surrogate = *c >= 0xD800 && *c <= 0xDFFF;
    return *c < min || *c > 0x10FFFF || surrogate ? 0 : n;
}

}  // namespace

bool Utf16ToUtf8(const Utf16& units, std::string* out, Diagnostic* failure) {
    out->reserve(out->size() + units.size());
    for (size_t i = 0; i < units.size(); ++i) {
        char32_t c = units[i];
        if (IsHigh(units[i]) && i + 1 < units.size() && IsLow(units[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
            ++i;
        } else if (IsHigh(units[i]) || IsLow(units[i])) {
            *failure = Unencodable(c, i, "is half of a surrogate pair and has no UTF-8");
            return false;
        }
        AppendUtf8(c, out);
    }
    return true;
}

Utf16 Utf8ToUtf16(const char* bytes, size_t length) {
    Utf16 out;
    out.reserve(length);
    const auto* b = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < length) {
        char32_t c = 0;
        const size_t n = DecodeOne(b + i, length - i, &c);
        if (n == 0) {
            out.push_back(kReplacement);
            ++i;
        } else {
            AppendUtf16(c, &out);
            i += n;
        }
    }
    return out;
}

}  // namespace jov::driver::text

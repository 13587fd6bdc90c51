#include "driver/text/refusal.h"

#include <cstdio>

namespace jov::driver::text {

namespace {

constexpr size_t kCodePointTextSize = 16;

// "U+XXXX" and, for a character that is one, the character itself in quotes.
Utf16 Named(char32_t codePoint) {
    char hex[kCodePointTextSize];
    std::snprintf(hex, sizeof hex, "U+%04X", static_cast<unsigned>(codePoint));
    Utf16 name = AsciiText(hex);
    const bool isSurrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (isSurrogate || codePoint == 0) return name;
    name += u" '";
    if (codePoint > 0xFFFF) {
        name += static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
        name += static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
    } else {
        name += static_cast<char16_t>(codePoint);
    }
    name += u"'";
    return name;
}

}  // namespace

Diagnostic Unencodable(char32_t codePoint, size_t index, const char* why) {
    Utf16 message = u"character " + Named(codePoint) + u" at index " +
                    AsciiText(std::to_string(index)) + u" " + AsciiText(why);
    return Diagnostic{own::kNotInRepertoire, 0, message};
}

Diagnostic NulCharacter(size_t index) {
    return OwnDiagnostic(own::kNullArgument,
                         "character U+0000 at index " + std::to_string(index) +
                             " cannot be sent: the driver would end the text there");
}

}  // namespace jov::driver::text

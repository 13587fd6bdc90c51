// Cutting ANSI text without splitting a character: a cut never falls between
// the lead byte of a double-byte character and its trail byte, so a cut text
// converts back to exactly the characters it kept (no stray U+30FB) and still
// compares equal to a request made of those characters.
#pragma once

#include <cstdint>

#include "platform/win32.h"

namespace jov {

// The length of the longest prefix of text[0..length) that ends on a
// character boundary: a lead byte whose trail byte would lie at or beyond
// length is left out. Reads text[0..length) only; length <= 0 gives 0.
inline int32_t WholeCharacterLength(const char* text, int32_t length) {
    int32_t i = 0;
    while (i < length) {
        int32_t width = IsDBCSLeadByte(static_cast<BYTE>(text[i])) ? 2 : 1;
        if (i + width > length) break;
        i += width;
    }
    return i;
}

}  // namespace jov

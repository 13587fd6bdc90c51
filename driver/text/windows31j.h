// UTF-16 to and from Windows-31J (code page 932), for connections opened in
// that mode: data sources that hold CP932 bytes. The table is the one the
// natives convert with (platform/), so both read the same bytes alike.
//
// Towards Windows-31J nothing is replaced: a character is sent only when its
// bytes read back as the same character, so a character without a mapping
// (é, 😀, a lone surrogate) and one the code page maps only one way (a
// best fit) are refused, naming the first such character and its index.
#pragma once

#include <string>

#include "driver/diagnostic.h"

namespace jov::driver::text {

// Appends the Windows-31J bytes of units to out, or refuses (false, failure
// set, out unspecified).
bool Utf16ToWindows31j(const Utf16& units, std::string* out, Diagnostic* failure);

// The UTF-16 of Windows-31J bytes; bytes without a mapping become U+30FB as
// the natives read them (code page 932's own replacement on Windows), so a
// value is always read whole.
Utf16 Windows31jToUtf16(const char* bytes, size_t length);

}  // namespace jov::driver::text

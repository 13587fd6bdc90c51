// UTF-16 (Java's text) to and from standard UTF-8, exact for every code point:
// a surrogate pair becomes one four-byte sequence and back, never JNI's
// modified UTF-8 (six bytes for a pair, two for U+0000).
#pragma once

#include <string>

#include "driver/diagnostic.h"

namespace jov::driver::text {

// Appends the UTF-8 of units to out. A lone surrogate has no UTF-8: refused
// (false, failure set, out unspecified).
bool Utf16ToUtf8(const Utf16& units, std::string* out, Diagnostic* failure);

// The UTF-16 of UTF-8 bytes. Bytes that are not UTF-8 (a driver's fault or a
// value stored in another encoding) each become U+FFFD, so a value is always
// read and its damage visible; nothing else is replaced.
Utf16 Utf8ToUtf16(const char* bytes, size_t length);

}  // namespace jov::driver::text

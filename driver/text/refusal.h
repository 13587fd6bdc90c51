// Why a text cannot be sent: the first character that has no encoding, named
// by its code point and its position (a UTF-16 index, as Java counts).
#pragma once

#include <cstddef>

#include "driver/diagnostic.h"

namespace jov::driver::text {

// "<what> U+XXXX at index N cannot be sent <why>", SQLSTATE 22021.
Diagnostic Unencodable(char32_t codePoint, size_t index, const char* why);

// A U+0000 at index N, which would end the text early where the driver reads
// it as a terminated string; SQLSTATE HY009.
Diagnostic NulCharacter(size_t index);

}  // namespace jov::driver::text

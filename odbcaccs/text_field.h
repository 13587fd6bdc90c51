// Fixed-size text fields of error records.
#pragma once

#include <cstddef>
#include <cstring>

namespace jov {

// Copies at most size - 1 bytes of source into a field of size bytes and
// fills the rest with zero bytes, so the field is always terminated. The cut
// is by bytes, also inside a double-byte character. REQUIRES: size >= 1.
inline void CopyField(char* target, std::size_t size, const char* source) {
    std::size_t n = strnlen(source, size - 1);
    std::memcpy(target, source, n);
    std::memset(target + n, 0, size - n);
}

}  // namespace jov

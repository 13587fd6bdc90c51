// The C heap as the library uses it. Every buffer and object the library owns
// is taken here and given back here, so that tests can make any allocation
// fail and count what is still outstanding.
#pragma once

#include <cstddef>

namespace jov {

// Returns a block of at least size bytes, or null with errno set when the heap
// is exhausted. A size of 0 is taken as 1.
void* AllocateBytes(std::size_t size);

// Releases a block from AllocateBytes; null is ignored.
void FreeBytes(void* block);

}  // namespace jov

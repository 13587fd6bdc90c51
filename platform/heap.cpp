#include "platform/heap.h"

#include <cstdlib>

namespace jov {

void* AllocateBytes(std::size_t size) { return std::malloc(size == 0 ? 1 : size); }

void FreeBytes(void* block) { std::free(block); }

}  // namespace jov

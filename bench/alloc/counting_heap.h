// Allocation counters of the allocation benchmark. counting_heap.cpp takes the
// place of the library's platform/heap.cpp (jov::AllocateBytes, FreeBytes)
// and replaces the global operator new, so that every heap block the library
// asks for, and every one any C++ code of the process asks for, is counted.
// Blocks the C drivers take with malloc are not theirs to count.
#pragma once

#include <cstdint>

namespace jov::bench {

// Blocks handed out so far by AllocateBytes and by operator new, together.
int64_t Allocations();

}  // namespace jov::bench

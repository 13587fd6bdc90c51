// Text between Java's UTF-16 and the ANSI code page (Windows-31J), into
// bounded buffers that are always terminated.
//
// Both return the count written, not counting the terminator, and never write
// past capacity: a text of up to capacity - 1 comes through whole, one that
// converts to exactly capacity loses its last byte (or unit), and one that does
// not fit at all becomes the empty text. REQUIRES: capacity >= 1.
#pragma once

#include <cstdint>

#include "jni.h"

namespace jov {

int32_t JcharsToAnsi(char* target, int32_t capacity, const jchar* source, int32_t units);
int32_t AnsiToJchars(jchar* target, int32_t capacity, const char* source, int32_t bytes);

}  // namespace jov

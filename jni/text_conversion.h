// Text between Java's UTF-16 and the ANSI code page (Windows-31J), into
// bounded buffers that are always terminated.
//
// Both return the count written, not counting the terminator, and never write
// past capacity: a text of up to capacity - 1 comes through whole, one that
// converts to exactly capacity loses its last byte (or unit), and one that does
// not fit at all becomes the empty text. REQUIRES: capacity >= 1.
//
// JcharsToAnsi cuts before a whole character: where the lost last byte was
// the trail byte of a double-byte character, its lead byte goes too.
#pragma once

#include <cstdint>

#include "jni.h"

namespace jov {

int32_t JcharsToAnsi(char* target, int32_t capacity, const jchar* source, int32_t units);
int32_t AnsiToJchars(jchar* target, int32_t capacity, const char* source, int32_t bytes);

// All or nothing, for texts that must not reach the driver cut: converts
// the whole text and returns its bytes, or returns -1 with target empty when
// the text and its terminator do not fit capacity. REQUIRES: capacity >= 1.
int32_t JcharsToAnsiWhole(char* target, int32_t capacity, const jchar* source, int32_t units);

// The index of the first U+0000 among units, or -1. Such a unit would end
// the ANSI text early, so a text holding one cannot be passed on as it is.
int32_t FindNulUnit(const jchar* source, int32_t units);

}  // namespace jov

// Java's UTF-16 to and from the ANSI code page, through the platform's
// WideCharToMultiByte and MultiByteToWideChar (CP_ACP, no flags).
//
// The platform call is given the whole capacity and either writes the whole
// text or fails with 0 (an empty source fails too). Its answer n is clamped to
// 0 .. capacity - 1 and the terminator goes to target[n], so a text that
// fills the capacity exactly loses its last byte or unit, and one that does
// not fit is empty. Towards ANSI the cut then backs off to a character
// boundary, so no half of a double-byte character is kept.
#include "jni/text_conversion.h"

#include "platform/whole_characters.h"
#include "platform/win32.h"

namespace jov {
namespace {

// Terminates target after the platform's answer n and returns the length kept.
template <typename Unit>
int32_t Terminate(Unit* target, int32_t capacity, int n) {
    if (n < 0) n = 0;
    if (n >= capacity) n = capacity - 1;
    target[n] = 0;
    return n;
}

// The platform's answer for the whole text into capacity bytes: the bytes
// written, capacity when the text filled them exactly, 0 when it did not fit.
int ConvertToAnsi(char* target, int32_t capacity, const jchar* source, int32_t units) {
    return WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(source), units, target,
                               capacity, nullptr, nullptr);
}

}  // namespace

int32_t JcharsToAnsi(char* target, int32_t capacity, const jchar* source, int32_t units) {
    // A capacity of 0 would ask the platform for the size and leave no room
    // for the terminator.
    if (capacity < 1) return 0;
    int n = ConvertToAnsi(target, capacity, source, units);
    if (n >= capacity) n = WholeCharacterLength(target, capacity - 1);
    return Terminate(target, capacity, n);
}

int32_t JcharsToAnsiWhole(char* target, int32_t capacity, const jchar* source, int32_t units) {
    if (capacity < 1) return -1;
    target[0] = 0;
    if (units <= 0) return 0;
    // Every unit gives at least one byte, so 0 means the text did not fit.
    int n = ConvertToAnsi(target, capacity, source, units);
    if (n <= 0 || n >= capacity) {
        target[0] = 0;
        return -1;
    }
    target[n] = 0;
    return n;
}

int32_t FindNulUnit(const jchar* source, int32_t units) {
    for (int32_t i = 0; i < units; ++i) {
        if (source[i] == 0) return i;
    }
    return -1;
}

int32_t AnsiToJchars(jchar* target, int32_t capacity, const char* source, int32_t bytes) {
    if (capacity < 1) return 0;
    int n =
        MultiByteToWideChar(CP_ACP, 0, source, bytes, reinterpret_cast<WCHAR*>(target), capacity);
    return Terminate(target, capacity, n);
}

}  // namespace jov

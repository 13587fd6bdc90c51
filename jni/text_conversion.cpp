// Java's UTF-16 to and from the ANSI code page, through the platform's
// WideCharToMultiByte and MultiByteToWideChar (CP_ACP, no flags).
//
// The platform call is given the whole capacity and either writes the whole
// text or fails with 0 (an empty source fails too). Its answer n is clamped to
// 0 .. capacity - 1 and the terminator goes to target[n], so a text that
// fills the capacity exactly loses its last byte or unit (for CP932 possibly
// half of a double-byte character), and one that does not fit is empty.
#include "jni/text_conversion.h"

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

}  // namespace

int32_t JcharsToAnsi(char* target, int32_t capacity, const jchar* source, int32_t units) {
    // A capacity of 0 would ask the platform for the size and leave no room
    // for the terminator.
    if (capacity < 1) return 0;
    int n = WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(source), units, target,
                                capacity, nullptr, nullptr);
    return Terminate(target, capacity, n);
}

int32_t AnsiToJchars(jchar* target, int32_t capacity, const char* source, int32_t bytes) {
    if (capacity < 1) return 0;
    int n =
        MultiByteToWideChar(CP_ACP, 0, source, bytes, reinterpret_cast<WCHAR*>(target), capacity);
    return Terminate(target, capacity, n);
}

}  // namespace jov

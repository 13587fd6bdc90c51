// SqlText: the SQL text of one native call as ANSI text on the heap, freed
// with the object.
//
//   SqlText text(env, sql, 0);
//   if (text.get() == nullptr) ... the heap refused the buffer ...
//   if (text.holdsNul()) ... refuse: the driver would see the text cut ...
//
// A string of n units converts with a capacity of 2n + 1 bytes, room for a
// double-byte code page and the terminator; `extra` bytes more are allocated.
// A null string is the empty text.
#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "jni.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "platform/heap.h"

namespace jov {

class SqlText {
public:
    SqlText(JNIEnv* env, jstring sql, int64_t extra) {
        int64_t units = sql != nullptr ? env->GetStringLength(sql) : 0;
        int64_t capacity = 2 * units + 1;
        if (capacity > std::numeric_limits<int32_t>::max()) return;
        text_ = static_cast<char*>(AllocateBytes(static_cast<std::size_t>(capacity + extra)));
        if (text_ == nullptr) return;
        text_[0] = '\0';
        ScopedStringChars chars(env, sql);
        if (chars.chars() != nullptr) {
            const jchar* end = chars.chars() + chars.length();
            holdsNul_ = std::find(chars.chars(), end, jchar{0}) != end;
            JcharsToAnsi(text_, static_cast<int32_t>(capacity), chars.chars(), chars.length());
        }
    }
    ~SqlText() { FreeBytes(text_); }
    SqlText(const SqlText&) = delete;
    SqlText& operator=(const SqlText&) = delete;

    // Null when the heap could not hold the text.
    const char* get() const { return text_; }
    // Whether the Java string held U+0000: the text sent as NUL-terminated
    // would end there, a different statement from the one Java gave.
    bool holdsNul() const { return holdsNul_; }

private:
    char* text_ = nullptr;
    bool holdsNul_ = false;
};

}  // namespace jov

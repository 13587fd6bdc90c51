// SqlText: the SQL text of one native call as ANSI text on the heap, freed
// with the object.
//
//   SqlText text(env, sql, 0);
//   const char* checked = text.Checked("JNIODBCexecSQLQuery");
//   if (checked == nullptr) return -1;  // the record says why
//
// A string of n units converts with a capacity of 2n + 1 bytes, room for a
// double-byte code page and the terminator; `extra` bytes more are allocated.
// A null string is the empty text. A text holding U+0000 is not converted:
// the driver, reading up to the first NUL, would run a shorter statement than
// the caller wrote.
#pragma once

#include <cstdint>
#include <cstdio>
#include <limits>

#include "jni.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "odbcaccs/OdbcAccs.h"
#include "platform/heap.h"
#include "table/DataSourceTable.h"

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
        if (chars.chars() == nullptr) return;
        nulAt_ = FindNulUnit(chars.chars(), chars.length());
        if (nulAt_ < 0) {
            JcharsToAnsi(text_, static_cast<int32_t>(capacity), chars.chars(), chars.length());
        }
    }
    ~SqlText() { FreeBytes(text_); }
    SqlText(const SqlText&) = delete;
    SqlText& operator=(const SqlText&) = delete;

    // The text to run, or null after recording, in the name of `reporter`,
    // why there is none: the heap could not hold it, or it holds U+0000.
    const char* Checked(const char* reporter) const {
        char message[kErrorMessageSize];
        if (text_ == nullptr) {
            std::snprintf(message, sizeof message, "(%s)Not Enough Memory", reporter);
        } else if (nulAt_ >= 0) {
            std::snprintf(message, sizeof message, "(%s)NUL Character in SQL(Position=%d)",
                          reporter, nulAt_);
        } else {
            return text_;
        }
        TheDataSourceTable().SetError(message, "");
        return nullptr;
    }

private:
    char* text_ = nullptr;
    int32_t nulAt_ = -1;
};

}  // namespace jov

// Natives that run SQL, open and close cursors and fetch rows.
#include <cstdint>
#include <cstdio>
#include <limits>

#include "jni/natives.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "platform/heap.h"
#include "table/DataSourceTable.h"

using jov::TheDataSourceTable;

namespace {

constexpr char kMsgSqlNotEnoughMemory[] = "(JNIODBCexecSQLQuery)Not Enough Memory";
constexpr char kMsgSqlHoldsNul[] = "(JNIODBCexecSQLQuery)NUL Character in SQL(Position=%d)";

// The SQL text of one call as ANSI text on the heap, freed with the object.
// A string of n units converts with a capacity of 2n + 1 bytes, room for a
// double-byte code page and the terminator; `extra` bytes more are allocated.
// A text holding U+0000 is not converted: the driver, reading up to the first
// NUL, would run a shorter statement than the caller wrote.
class SqlText {
public:
    SqlText(JNIEnv* env, jstring sql, int64_t extra) {
        int64_t units = sql != nullptr ? env->GetStringLength(sql) : 0;
        int64_t capacity = 2 * units + 1;
        if (capacity > std::numeric_limits<int32_t>::max()) return;
        text_ = static_cast<char*>(jov::AllocateBytes(static_cast<std::size_t>(capacity + extra)));
        if (text_ == nullptr) return;
        text_[0] = '\0';
        jov::ScopedStringChars chars(env, sql);
        if (chars.chars() == nullptr) return;
        nulAt_ = jov::FindNulUnit(chars.chars(), chars.length());
        if (nulAt_ < 0) {
            jov::JcharsToAnsi(text_, static_cast<int32_t>(capacity), chars.chars(), chars.length());
        }
    }
    ~SqlText() { jov::FreeBytes(text_); }
    SqlText(const SqlText&) = delete;
    SqlText& operator=(const SqlText&) = delete;

    // The text to run, or null after recording why there is none: the heap
    // could not hold it, or it holds U+0000.
    const char* Checked() const {
        if (text_ == nullptr) {
            TheDataSourceTable().SetError(kMsgSqlNotEnoughMemory, "");
            return nullptr;
        }
        if (nulAt_ >= 0) {
            char message[jov::kErrorMessageSize];
            std::snprintf(message, sizeof message, kMsgSqlHoldsNul, nulAt_);
            TheDataSourceTable().SetError(message, "");
            return nullptr;
        }
        return text_;
    }

private:
    char* text_ = nullptr;
    int32_t nulAt_ = -1;
};

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(JNIEnv* env, jclass,
                                                                        jint id, jstring sql) {
    SqlText text(env, sql, 1);
    const char* checked = text.Checked();
    if (checked == nullptr) return -1;
    int32_t cursor = 0;
    int32_t result = TheDataSourceTable().ExecSQLQuery(id, checked, &cursor);
    return result < 0 ? result : cursor;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLUpdate(JNIEnv* env, jclass,
                                                                         jint id, jstring sql) {
    SqlText text(env, sql, 0);
    const char* checked = text.Checked();
    if (checked == nullptr) return -1;
    return TheDataSourceTable().ExecSQLUpdate(id, checked);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetCursorHandle(JNIEnv*, jclass,
                                                                           jint id) {
    return TheDataSourceTable().GetCursorHandle(id);
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcloseCursor(JNIEnv*, jclass, jint id,
                                                                       jint cursor) {
    TheDataSourceTable().CloseCursor(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNum(JNIEnv*, jclass, jint id,
                                                                        jint cursor) {
    return TheDataSourceTable().GetColumnNum(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetch(JNIEnv*, jclass, jint id,
                                                                 jint cursor) {
    return TheDataSourceTable().Fetch(id, cursor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCfetchScroll(JNIEnv*, jclass, jint id,
                                                                       jint cursor,
                                                                       jint orientation,
                                                                       jint offset) {
    return TheDataSourceTable().FetchScroll(id, cursor, orientation, offset);
}

}  // extern "C"

// Natives that read column metadata and the current row's values.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "jni/natives.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "platform/heap.h"
#include "table/DataSourceTable.h"

using jov::TheDataSourceTable;

namespace {

constexpr int32_t kColumnNameBufferSize = 128;
constexpr int32_t kRequestedNameBufferSize = 128;
// Value texts up to this many bytes convert on the stack; longer ones on the heap.
constexpr int32_t kStackUnits = 512;

constexpr char kMsgStringNotEnoughMemory[] = "(JNIODBCDLL_getColumnDataString)Not Enough Memory";
constexpr char kMsgNewStringError[] = "(JNIODBCDLL_getColumnDataString)NewString(SIZE=%ld) Error";
constexpr char kMsgNewByteArrayError[] =
    "(JNIODBCDLL_getColumnDataBinary)NewByteArray(SIZE=%ld) Error";

void RecordFormatted(const char* format, long value) {
    char message[jov::kErrorMessageSize];
    std::snprintf(message, sizeof message, format, value);
    TheDataSourceTable().SetError(message, "");
}

// Whether no byte of the text has its top bit set; eight bytes at a time.
bool IsAscii(const char* text, int32_t len) {
    constexpr uint64_t kTopBits = 0x8080808080808080u;
    uint64_t any = 0;
    int32_t i = 0;
    for (; i + 8 <= len; i += 8) {
        uint64_t word;
        std::memcpy(&word, text + i, sizeof word);
        any |= word;
    }
    for (; i < len; ++i) any |= static_cast<unsigned char>(text[i]);
    return (any & kTopBits) == 0;
}

// Converts a value text of len bytes (len > 0, no NUL inside) and makes the
// Java string. Most values are ASCII, which reads the same in Windows-31J and
// in the JVM's modified UTF-8: the JVM takes those bytes as they are.
jstring NewValueString(JNIEnv* env, const char* text, int32_t len) {
    if (IsAscii(text, len)) {
        jstring result = env->NewStringUTF(text);
        if (result == nullptr) RecordFormatted(kMsgNewStringError, len);
        return result;
    }
    jchar stackUnits[kStackUnits];
    jchar* units = stackUnits;
    if (len + 1 > kStackUnits) {
        units = static_cast<jchar*>(jov::AllocateBytes(sizeof(jchar) * (len + 1)));
        if (units == nullptr) {
            TheDataSourceTable().SetError(kMsgStringNotEnoughMemory, "");
            return nullptr;
        }
    }
    int32_t n = jov::AnsiToJchars(units, len + 1, text, len);
    jstring result = env->NewString(units, n);
    if (units != stackUnits) jov::FreeBytes(units);
    if (result == nullptr) RecordFormatted(kMsgNewStringError, n);
    return result;
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnName(JNIEnv* env, jclass,
                                                                            jint id, jint cursor,
                                                                            jint column) {
    char name[kColumnNameBufferSize] = {};
    jov::TextLease lease = TheDataSourceTable().GetColumnName(id, cursor, column);
    if (lease.text != nullptr) std::strncpy(name, lease.text, sizeof name - 1);
    jchar units[kColumnNameBufferSize];
    int32_t n = jov::AnsiToJchars(units, kColumnNameBufferSize, name,
                                  static_cast<int32_t>(std::strlen(name)));
    return env->NewString(units, n);
}

JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnType(JNIEnv*, jclass,
                                                                           jint id, jint cursor,
                                                                           jint column) {
    return TheDataSourceTable().GetColumnType(id, cursor, column);
}

JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnOctetLength(
    JNIEnv*, jclass, jint id, jint cursor, jint column) {
    return static_cast<jlong>(TheDataSourceTable().GetColumnOctetLength(id, cursor, column));
}

JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnFetchDataLength(
    JNIEnv*, jclass, jint id, jint cursor, jint column) {
    return static_cast<jlong>(TheDataSourceTable().GetColumnFetchDataLength(id, cursor, column));
}

JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNumericPrecision(
    JNIEnv*, jclass, jint id, jint cursor, jint column) {
    return TheDataSourceTable().GetColumnNumericPrecision(id, cursor, column);
}

JNIEXPORT jshort JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNumericScale(
    JNIEnv*, jclass, jint id, jint cursor, jint column) {
    return TheDataSourceTable().GetColumnNumericScale(id, cursor, column);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnNoFromName(JNIEnv* env,
                                                                               jclass, jint id,
                                                                               jint cursor,
                                                                               jstring name) {
    char requested[kRequestedNameBufferSize] = {};
    {
        jov::ScopedStringChars chars(env, name);
        if (chars.chars() != nullptr) {
            jov::JcharsToAnsi(requested, kRequestedNameBufferSize, chars.chars(), chars.length());
        }
        requested[kRequestedNameBufferSize - 1] = '\0';
    }
    return TheDataSourceTable().GetColumnNoFromName(id, cursor, requested);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisColumnDataNull(JNIEnv*, jclass,
                                                                            jint id, jint cursor,
                                                                            jint column) {
    return TheDataSourceTable().IsColumnDataNull(id, cursor, column);
}

JNIEXPORT jbyteArray JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataBinary(
    JNIEnv* env, jclass, jint id, jint cursor, jint column) {
    // A NULL value and an identifier that is not open give the empty array.
    jov::BytesLease lease = TheDataSourceTable().GetColumnValueBytes(id, cursor, column);
    if (lease.data == nullptr || lease.length <= 0) return env->NewByteArray(0);
    jbyteArray array = env->NewByteArray(lease.length);
    if (array == nullptr) {
        RecordFormatted(kMsgNewByteArrayError, lease.length);
        return nullptr;
    }
    env->SetByteArrayRegion(array, 0, lease.length, reinterpret_cast<const jbyte*>(lease.data));
    return array;
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataString(
    JNIEnv* env, jclass, jint id, jint cursor, jint column) {
    // A NULL value and an identifier that is not open give the empty string.
    jov::ValueText value = TheDataSourceTable().GetColumnValueText(id, cursor, column);
    if (value.text.text == nullptr || value.length == 0) return env->NewStringUTF("");
    return NewValueString(env, value.text.text, value.length);
}

JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetColumnDataTimet(
    JNIEnv*, jclass, jint id, jint cursor, jint column) {
    return static_cast<jlong>(TheDataSourceTable().GetColumnDataTimet(id, cursor, column));
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetDateStyle(JNIEnv*, jclass, jint id,
                                                                        jshort style) {
    TheDataSourceTable().SetDateStyle(id, style);
}

}  // extern "C"

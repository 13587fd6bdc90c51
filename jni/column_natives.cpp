// Natives that read column metadata and the current row's values.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "jni/natives.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "odbcaccs/render_buffer.h"
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

// Records that the heap refused a value string's buffer; null for Java.
jstring NotEnoughMemory() {
    TheDataSourceTable().SetError(kMsgStringNotEnoughMemory, "");
    return nullptr;
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

// The text as the JVM's NewStringUTF needs it, terminated right after its
// len bytes: where it is, or a copy in buffer when it is the stored value.
// Null when the heap refused the copy of a long text.
const char* TerminatedText(const jov::ValueText& value, jov::RenderBuffer& buffer) {
    if (value.terminated) return value.text.text;
    char* copy = buffer.Reserve(value.length + 1);
    if (copy == nullptr) return nullptr;
    std::memcpy(copy, value.text.text, static_cast<std::size_t>(value.length));
    copy[value.length] = 0;
    return copy;
}

// Makes the Java string of a value's text (length > 0, no NUL inside) from
// exactly its bytes. Most values are ASCII, which reads the same in
// Windows-31J and in the JVM's modified UTF-8: the JVM takes those bytes as
// they are. The others convert from where they are, without a copy.
jstring NewValueString(JNIEnv* env, const jov::ValueText& value, jov::RenderBuffer& buffer) {
    const char* text = value.text.text;
    const int32_t len = value.length;
    if (IsAscii(text, len)) {
        const char* terminated = TerminatedText(value, buffer);
        if (terminated == nullptr) return NotEnoughMemory();
        jstring result = env->NewStringUTF(terminated);
        if (result == nullptr) RecordFormatted(kMsgNewStringError, len);
        return result;
    }
    jchar stackUnits[kStackUnits];
    jchar* units = stackUnits;
    if (len + 1 > kStackUnits) {
        units = static_cast<jchar*>(jov::AllocateBytes(sizeof(jchar) * (len + 1)));
        if (units == nullptr) return NotEnoughMemory();
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
    jov::RenderBuffer buffer;
    jov::ValueText value = TheDataSourceTable().GetColumnValueText(id, cursor, column, buffer);
    if (value.text.text == nullptr && buffer.Refused()) return NotEnoughMemory();
    if (value.text.text == nullptr || value.length == 0) return env->NewStringUTF("");
    return NewValueString(env, value, buffer);
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

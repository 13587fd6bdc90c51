// Natives that open and close data sources, control transactions and read the
// last error.
#include <cstring>

#include "jni/natives.h"
#include "jni/scoped_string_chars.h"
#include "jni/text_conversion.h"
#include "table/DataSourceTable.h"

using jov::TheDataSourceTable;

namespace {

constexpr int32_t kDataSourceBufferSize = 128;
constexpr int32_t kUserBufferSize = 64;
constexpr int32_t kPasswordBufferSize = 64;
constexpr int32_t kOpenNameBufferSize = 84;

void ConvertInto(char* buffer, int32_t size, const jov::ScopedStringChars& text) {
    if (text.chars() != nullptr) jov::JcharsToAnsi(buffer, size, text.chars(), text.length());
    buffer[size - 1] = '\0';
}

// A Java string of a library text (ANSI), cut to capacity units.
template <int32_t kCapacity>
jstring NewJavaString(JNIEnv* env, const char* text) {
    jchar units[kCapacity];
    int32_t n = jov::AnsiToJchars(units, kCapacity, text, static_cast<int32_t>(std::strlen(text)));
    return env->NewString(units, n);
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(JNIEnv* env, jclass,
                                                                 jstring dataSource, jstring user,
                                                                 jstring password) {
    char source[kDataSourceBufferSize] = {};
    char userText[kUserBufferSize] = {};
    char passwordText[kPasswordBufferSize] = {};
    jov::ScopedStringChars sourceChars(env, dataSource);
    jov::ScopedStringChars userChars(env, user);
    jov::ScopedStringChars passwordChars(env, password);
    ConvertInto(source, kDataSourceBufferSize, sourceChars);
    ConvertInto(userText, kUserBufferSize, userChars);
    ConvertInto(passwordText, kPasswordBufferSize, passwordChars);
    sourceChars.Release();
    userChars.Release();
    passwordChars.Release();
    // "A:B:Sales" and "Sales" both name the data source Sales.
    const char* colon = std::strrchr(source, ':');
    const char* name = colon != nullptr ? colon + 1 : source;
    return TheDataSourceTable().Open(name, userText, passwordText);
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCclose(JNIEnv*, jclass, jint id) {
    TheDataSourceTable().Close(id);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCisOpenOk(JNIEnv*, jclass, jint id) {
    return TheDataSourceTable().IsOpenOk(id);
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetOpenDataSource(JNIEnv* env,
                                                                                jclass, jint id) {
    char name[kOpenNameBufferSize] = {};
    jov::TextLease lease = TheDataSourceTable().GetOpenDataSource(id);
    if (lease.text != nullptr && std::strlen(lease.text) < sizeof name) {
        std::strcpy(name, lease.text);
    }
    return NewJavaString<kOpenNameBufferSize>(env, name);
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCsetAutoCommit(JNIEnv*, jclass, jint id,
                                                                         jint autoCommit) {
    TheDataSourceTable().SetAutoCommit(id, autoCommit != 0 ? 1 : 0);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetAutoCommit(JNIEnv*, jclass, jint id) {
    return TheDataSourceTable().GetAutoCommit(id);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCcommitTran(JNIEnv*, jclass, jint id) {
    return TheDataSourceTable().Transact(id, 1);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCrollbackTran(JNIEnv*, jclass,
                                                                        jint id) {
    return TheDataSourceTable().Transact(id, 0);
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorString(JNIEnv* env,
                                                                             jclass) {
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    TheDataSourceTable().GetError(message, code);
    return NewJavaString<jov::kErrorMessageSize>(env, message);
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCgetErrorCode(JNIEnv* env, jclass) {
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    TheDataSourceTable().GetError(message, code);
    return NewJavaString<jov::kErrorCodeSize>(env, code);
}

}  // extern "C"

// Natives that open and close data sources, control transactions and read the
// last error.
#include <cstdio>
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

constexpr char kMsgCharsNotObtained[] = "(JNIODBCopen)GetStringChars(%s) Error";
constexpr char kMsgHoldsNul[] = "(JNIODBCopen)NUL Character in %s(Position=%d)";
constexpr char kMsgTooLong[] = "(JNIODBCopen)%s Too Long(Max=%d Bytes)";

// Converts one text of the open whole into its buffer (size bytes, zeroed
// by the caller); a null string stays the empty text. A text that holds U+0000,
// does not fit or whose characters the JVM does not hand over is refused with
// a record: the driver must receive exactly what the caller gave, never a cut
// or emptied text (psqlODBC takes an empty user as the data source's own).
bool ConvertOpenText(JNIEnv* env, jstring string, const char* what, char* buffer, int32_t size) {
    if (string == nullptr) return true;
    jov::ScopedStringChars chars(env, string);
    char message[jov::kErrorMessageSize];
    if (chars.chars() == nullptr) {
        std::snprintf(message, sizeof message, kMsgCharsNotObtained, what);
    } else if (int32_t nul = jov::FindNulUnit(chars.chars(), chars.length()); nul >= 0) {
        std::snprintf(message, sizeof message, kMsgHoldsNul, what, nul);
    } else if (jov::JcharsToAnsiWhole(buffer, size, chars.chars(), chars.length()) >= 0) {
        return true;
    } else {
        std::snprintf(message, sizeof message, kMsgTooLong, what, size - 1);
    }
    TheDataSourceTable().SetError(message, "");
    return false;
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
    if (!ConvertOpenText(env, dataSource, "Data Source", source, kDataSourceBufferSize) ||
        !ConvertOpenText(env, user, "User", userText, kUserBufferSize) ||
        !ConvertOpenText(env, password, "Password", passwordText, kPasswordBufferSize)) {
        return -1;
    }
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

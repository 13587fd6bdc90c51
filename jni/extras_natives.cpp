// The natives of JovOdbcExtras. Each array argument must hold at least one
// element: a null or empty array fails the call with a record before anything
// else happens (no statement runs, no cursor is read). Otherwise element 0
// always receives an answer: the count or value, 0 for NULL, and on failure
// -1 (row count) or 0 (value).
#include "jni/extras_natives.h"

#include <cstdint>
#include <cstring>

#include "jni/open_native.h"
#include "jni/sql_text.h"
#include "jni/text_conversion.h"
#include "table/DataSourceTable.h"
#include "table/thread_error.h"

using jov::TheDataSourceTable;

namespace {

constexpr char kMsgRowCountArray[] =
    "(JovOdbcExtras_execSQLUpdateRowCount)rowCount Must Hold One Element";
constexpr char kMsgLongArray[] = "(JovOdbcExtras_getColumnLong)value Must Hold One Element";
constexpr char kMsgExecRowCountArray[] = "(JovOdbcExtras_execSQL)rowCount Must Hold One Element";
constexpr char kMsgDoubleArray[] = "(JovOdbcExtras_getColumnDouble)value Must Hold One Element";

// Whether array has an element 0; records message otherwise.
bool HasFirstElement(JNIEnv* env, jarray array, const char* message) {
    if (array != nullptr && env->GetArrayLength(array) >= 1) return true;
    TheDataSourceTable().SetError(message, "");
    return false;
}

// A Java string of a record text (ANSI), cut to kCapacity units.
template <int32_t kCapacity>
jstring NewRecordString(JNIEnv* env, const char* text) {
    jchar units[kCapacity];
    int32_t n = jov::AnsiToJchars(units, kCapacity, text, static_cast<int32_t>(std::strlen(text)));
    return env->NewString(units, n);
}

}  // namespace

extern "C" {

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorString(JNIEnv* env, jclass) {
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    jov::GetThreadError(message, code);
    return NewRecordString<jov::kErrorMessageSize>(env, message);
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorCode(JNIEnv* env, jclass) {
    char message[jov::kErrorMessageSize];
    char code[jov::kErrorCodeSize];
    jov::GetThreadError(message, code);
    return NewRecordString<jov::kErrorCodeSize>(env, code);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_threadErrorNativeCode(JNIEnv*, jclass) {
    return static_cast<jint>(jov::GetThreadNativeError());
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_execSQLUpdateRowCount(JNIEnv* env, jclass,
                                                                              jint id, jstring sql,
                                                                              jlongArray rowCount) {
    if (!HasFirstElement(env, rowCount, kMsgRowCountArray)) return -1;
    int64_t count = -1;
    jint result = -1;
    jov::SqlText text(env, sql, 0);
    const char* checked = text.Checked("JovOdbcExtras_execSQLUpdateRowCount");
    if (checked != nullptr) {
        result = TheDataSourceTable().ExecSQLUpdateRowCount(id, checked, &count);
    }
    const jlong answer = static_cast<jlong>(count);
    env->SetLongArrayRegion(rowCount, 0, 1, &answer);
    return result;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_getColumnLong(JNIEnv* env, jclass, jint id,
                                                                      jint cursor, jint column,
                                                                      jlongArray value) {
    if (!HasFirstElement(env, value, kMsgLongArray)) return -1;
    int64_t number = 0;
    const jint result = TheDataSourceTable().GetColumnLong(id, cursor, column, &number);
    const jlong answer = static_cast<jlong>(number);
    env->SetLongArrayRegion(value, 0, 1, &answer);
    return result;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_getColumnDouble(JNIEnv* env, jclass,
                                                                        jint id, jint cursor,
                                                                        jint column,
                                                                        jdoubleArray value) {
    if (!HasFirstElement(env, value, kMsgDoubleArray)) return -1;
    double number = 0;
    const jint result = TheDataSourceTable().GetColumnDouble(id, cursor, column, &number);
    const jdouble answer = number;
    env->SetDoubleArrayRegion(value, 0, 1, &answer);
    return result;
}

// --- SQL run as the driver reports it ---

// The cursor handle when the statement has result columns, 0 with the row
// count when it has none, -1 on failure (element 0 then -1).
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_execSQL(JNIEnv* env, jclass, jint id,
                                                                jstring sql, jlongArray rowCount) {
    if (!HasFirstElement(env, rowCount, kMsgExecRowCountArray)) return -1;
    int32_t cursor = 0;
    int64_t count = -1;
    jint result = -1;
    jov::SqlText text(env, sql, 0);
    const char* checked = text.Checked("JovOdbcExtras_execSQL");
    if (checked != nullptr) {
        result = TheDataSourceTable().ExecSQLEither(id, checked, &cursor, &count);
    }
    const jlong answer = static_cast<jlong>(count);
    env->SetLongArrayRegion(rowCount, 0, 1, &answer);
    return result > 0 ? cursor : result;
}

// --- Timeouts and cancelling ---

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_openWithLoginTimeout(
    JNIEnv* env, jclass, jstring dataSource, jstring user, jstring password, jint seconds) {
    return jov::OpenFromJava(env, dataSource, user, password, seconds);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_setQueryTimeout(JNIEnv*, jclass, jint id,
                                                                        jint seconds) {
    return TheDataSourceTable().SetQueryTimeout(id, seconds);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_setConnectionTimeout(JNIEnv*, jclass,
                                                                             jint id,
                                                                             jint seconds) {
    return TheDataSourceTable().SetConnectionTimeout(id, seconds);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_JovOdbcExtras_cancel(JNIEnv*, jclass, jint id) {
    return TheDataSourceTable().Cancel(id);
}

}  // extern "C"

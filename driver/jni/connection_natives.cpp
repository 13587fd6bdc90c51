// The natives for the thread's records and connections.
#include <vector>

#include "driver/handles/data_sources.h"
#include "driver/handles/diagnostics.h"
#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/registry.h"

using jov::driver::Utf16;
namespace jni = jov::driver::jni;
namespace handles = jov::driver::handles;

namespace {

// Fields per record in takeDiagnostics' answer: state, native error, message.
constexpr jsize kFieldsPerRecord = 3;

bool IsCharset(jint charset) {
    return charset == static_cast<jint>(jov::driver::text::Charset::kUnicode) ||
           charset == static_cast<jint>(jov::driver::text::Charset::kWindows31j);
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_takeDiagnostics(
    JNIEnv* env, jclass) {
    const std::vector<jov::driver::Diagnostic> records = handles::TakeDiagnostics();
    jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return nullptr;
    const jsize n = static_cast<jsize>(records.size()) * kFieldsPerRecord;
    jobjectArray answer = env->NewObjectArray(n, stringClass, nullptr);
    if (answer == nullptr) return nullptr;
    for (jsize i = 0; i < static_cast<jsize>(records.size()); ++i) {
        const auto& r = records[static_cast<size_t>(i)];
        const Utf16 fields[kFieldsPerRecord] = {jov::driver::AsciiText(r.state),
                                                jov::driver::AsciiText(std::to_string(r.nativeError)),
                                                r.message};
        for (jsize f = 0; f < kFieldsPerRecord; ++f) {
            jstring s = jni::NewJavaString(env, fields[f]);
            if (s == nullptr) return nullptr;
            env->SetObjectArrayElement(answer, i * kFieldsPerRecord + f, s);
            env->DeleteLocalRef(s);
        }
    }
    return answer;
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_dataSourceSetting(
    JNIEnv* env, jclass, jstring dataSource, jstring key) {
    handles::ClearDiagnostics();
    Utf16 section;
    Utf16 entry;
    if (!jni::ReadString(env, dataSource, "dataSource", &section) ||
        !jni::ReadString(env, key, "key", &entry)) {
        return nullptr;
    }
    return jni::NewJavaString(env, handles::DataSourceSetting(section, entry));
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_connect(
    JNIEnv* env, jclass, jstring connectionString, jint charset, jint loginTimeout,
    jlongArray connection) {
    handles::ClearDiagnostics();
    Utf16 text;
    if (!jni::HasRoom(env, connection, "connection")) return jni::kError;
    jni::SetLong(env, connection, 0);
    if (!jni::ReadString(env, connectionString, "connectionString", &text)) return jni::kError;
    if (!IsCharset(charset)) {
        handles::KeepOwn(jov::driver::OwnDiagnostic(jov::driver::own::kGeneral,
                                                    "charset " + std::to_string(charset) +
                                                        " is neither UNICODE nor WINDOWS_31J"));
        return jni::kError;
    }
    int64_t token = 0;
    const SQLRETURN rc = jov::driver::OpenConnection(
        text, static_cast<jov::driver::text::Charset>(charset), loginTimeout, &token);
    jni::SetLong(env, connection, token);
    return jni::StatusOf(rc);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_disconnect(JNIEnv*, jclass,
                                                                            jlong connection) {
    handles::ClearDiagnostics();
    return jni::StatusOf(jov::driver::CloseConnection(connection));
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_setConnectionAttribute(
    JNIEnv*, jclass, jlong connection, jint attribute, jlong value) {
    handles::ClearDiagnostics();
    auto c = jov::driver::LeaseConnection(connection);
    if (!c) return jni::kError;
    return jni::StatusOf(c->SetAttribute(attribute, static_cast<SQLULEN>(value)));
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getConnectionAttribute(
    JNIEnv* env, jclass, jlong connection, jint attribute, jlongArray value) {
    handles::ClearDiagnostics();
    if (!jni::HasRoom(env, value, "value")) return jni::kError;
    auto c = jov::driver::LeaseConnection(connection);
    if (!c) return jni::kError;
    SQLULEN answer = 0;
    const SQLRETURN rc = c->GetAttribute(attribute, &answer);
    jni::SetLong(env, value, static_cast<int64_t>(answer));
    return jni::StatusOf(rc);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_endTransaction(
    JNIEnv*, jclass, jlong connection, jboolean commit) {
    handles::ClearDiagnostics();
    auto c = jov::driver::LeaseConnection(connection);
    if (!c) return jni::kError;
    return jni::StatusOf(c->EndTransaction(commit == JNI_TRUE));
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getInfoString(
    JNIEnv* env, jclass, jlong connection, jint infoType, jobjectArray value) {
    handles::ClearDiagnostics();
    if (!jni::HasRoom(env, value, "value")) return jni::kError;
    auto c = jov::driver::LeaseConnection(connection);
    if (!c) return jni::kError;
    Utf16 text;
    const SQLRETURN rc = c->InfoText(static_cast<SQLUSMALLINT>(infoType), &text);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return jni::StatusOf(rc);
    return jni::SetString(env, value, &text) ? jni::StatusOf(rc) : jni::kError;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getInfoInteger(
    JNIEnv* env, jclass, jlong connection, jint infoType, jint width, jlongArray value) {
    handles::ClearDiagnostics();
    if (!jni::HasRoom(env, value, "value")) return jni::kError;
    auto c = jov::driver::LeaseConnection(connection);
    if (!c) return jni::kError;
    int64_t answer = 0;
    const SQLRETURN rc = c->InfoInteger(static_cast<SQLUSMALLINT>(infoType), width, &answer);
    jni::SetLong(env, value, answer);
    return jni::StatusOf(rc);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_allocStatement(
    JNIEnv* env, jclass, jlong connection, jlongArray statement) {
    handles::ClearDiagnostics();
    if (!jni::HasRoom(env, statement, "statement")) return jni::kError;
    int64_t token = 0;
    const SQLRETURN rc = jov::driver::AllocateStatement(connection, &token);
    jni::SetLong(env, statement, token);
    return jni::StatusOf(rc);
}

}  // extern "C"

// The natives that run statements and move their cursors.
#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/values/columns.h"

using jov::driver::StatementState;
using jov::driver::Utf16;
namespace jni = jov::driver::jni;
namespace handles = jov::driver::handles;

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_freeStatement(JNIEnv*, jclass,
                                                                               jlong statement) {
    handles::ClearDiagnostics();
    return jni::StatusOf(jov::driver::FreeStatement(statement));
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_setStatementAttribute(
    JNIEnv*, jclass, jlong statement, jint attribute, jlong value) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return s.statement.SetAttribute(attribute, static_cast<SQLULEN>(value));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_prepare(JNIEnv* env, jclass,
                                                                         jlong statement,
                                                                         jstring sql) {
    Utf16 text;
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::ReadString(env, sql, "sql", &text)) return SQL_ERROR;
        return s.statement.Prepare(text);
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_execDirect(JNIEnv* env, jclass,
                                                                            jlong statement,
                                                                            jstring sql) {
    Utf16 text;
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::ReadString(env, sql, "sql", &text)) return SQL_ERROR;
        return s.statement.ExecDirect(text);
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_execute(JNIEnv*, jclass,
                                                                         jlong statement) {
    return jni::WithStatement(statement, [](StatementState& s) { return s.statement.Execute(); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_cancel(JNIEnv*, jclass,
                                                                        jlong statement) {
    return jni::WithStatement(statement, [](StatementState& s) { return s.statement.Cancel(); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_numResultCols(
    JNIEnv* env, jclass, jlong statement, jintArray count) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, count, "count")) return SQL_ERROR;
        SQLSMALLINT n = 0;
        const SQLRETURN rc = s.statement.NumResultCols(&n);
        jni::SetInt(env, count, n);
        if (SQL_SUCCEEDED(rc) && env->GetArrayLength(count) > 1) {
            const jint same = n > 0 && jov::driver::values::SameShapes(s.statement, s.described, n) ? 1 : 0;
            env->SetIntArrayRegion(count, 1, 1, &same);
        }
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_rowCount(JNIEnv* env, jclass,
                                                                          jlong statement,
                                                                          jlongArray count) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, count, "count")) return SQL_ERROR;
        SQLLEN n = -1;
        const SQLRETURN rc = s.statement.RowCount(&n);
        jni::SetLong(env, count, n);
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_moreResults(JNIEnv*, jclass,
                                                                             jlong statement) {
    return jni::WithStatement(statement,
                              [](StatementState& s) { return s.statement.MoreResults(); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_closeCursor(JNIEnv*, jclass,
                                                                             jlong statement) {
    return jni::WithStatement(statement,
                              [](StatementState& s) { return s.statement.CloseCursor(); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_resetParameters(
    JNIEnv*, jclass, jlong statement) {
    return jni::WithStatement(
        statement, [](StatementState& s) { return s.parameters.Reset(s.statement); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_numParams(JNIEnv* env, jclass,
                                                                           jlong statement,
                                                                           jintArray count) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, count, "count")) return SQL_ERROR;
        SQLSMALLINT n = 0;
        const SQLRETURN rc = s.statement.NumParams(&n);
        jni::SetInt(env, count, n);
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_describeParam(
    JNIEnv* env, jclass, jlong statement, jint parameter, jlongArray shape) {
    constexpr jsize kShapeFields = 4;  // SQL type, size, digits, nullable
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, shape, "shape", kShapeFields)) return SQL_ERROR;
        handles::ParameterShape p;
        const SQLRETURN rc = s.statement.DescribeParam(static_cast<SQLUSMALLINT>(parameter), &p);
        const jlong fields[kShapeFields] = {p.sqlType, static_cast<jlong>(p.size), p.digits,
                                            p.nullable};
        env->SetLongArrayRegion(shape, 0, kShapeFields, fields);
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetch(JNIEnv*, jclass,
                                                                       jlong statement) {
    return jni::WithStatement(statement, [](StatementState& s) { return s.statement.Fetch(); });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_fetchScroll(
    JNIEnv*, jclass, jlong statement, jint orientation, jlong offset) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return s.statement.FetchScroll(static_cast<SQLSMALLINT>(orientation),
                                       static_cast<SQLLEN>(offset));
    });
}

}  // extern "C"

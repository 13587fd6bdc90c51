// The natives that bind parameter arrays and execute many rows at once. A
// Java array's length is its parameter's rows; executeArray refuses more rows
// than the shortest bound parameter holds, so no execution reads past one.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/params/arrays.h"
#include "platform/driver_manager.h"

using jov::driver::StatementState;
using jov::driver::Utf16;
namespace jni = jov::driver::jni;
namespace params = jov::driver::params;

namespace {

SQLRETURN Refuse(const std::string& why) {
    jov::driver::handles::KeepOwn(
        jov::driver::OwnDiagnostic(jov::driver::own::kNullArgument, why));
    return SQL_ERROR;
}

SQLRETURN Bind(StatementState& s, jint number, std::unique_ptr<params::ArrayParameter> array) {
    return s.parameters.Bind(s.statement, static_cast<SQLUSMALLINT>(number), std::move(array));
}

// A column of fixed-width values: Java's primitive array and its NULL flags.
template <typename Value, typename JavaArray, typename Read>
SQLRETURN BindFixed(JNIEnv* env, StatementState& s, jint number, JavaArray values,
                    jbooleanArray nulls, SQLSMALLINT cType, jint sqlType, Read read) {
    if (values == nullptr || nulls == nullptr) return Refuse("values and nulls must not be null");
    const jsize rows = env->GetArrayLength(values);
    if (rows < 1 || env->GetArrayLength(nulls) != rows) {
        return Refuse("values and nulls must hold the same rows, at least one");
    }
    std::vector<Value> got(static_cast<size_t>(rows));
    std::vector<jboolean> isNull(static_cast<size_t>(rows));
    (env->*read)(values, 0, rows, got.data());
    env->GetBooleanArrayRegion(nulls, 0, rows, isNull.data());
    auto array = std::make_unique<params::ArrayParameter>(cType, static_cast<SQLSMALLINT>(sqlType),
                                                          sizeof(Value), got.size());
    for (size_t row = 0; row < got.size(); ++row) {
        if (isNull[row] != JNI_TRUE) array->Set(row, &got[row], sizeof(Value));
    }
    return Bind(s, number, std::move(array));
}

// Each row's bytes (empty for NULL) and whether it is NULL, from a Java
// array of values read by read; false with a record when one cannot be.
template <typename Read>
bool ReadRows(JNIEnv* env, jobjectArray values, Read read, std::vector<std::string>* rows,
              std::vector<bool>* nulls) {
    if (values == nullptr || env->GetArrayLength(values) < 1) {
        Refuse("values must hold at least one row");
        return false;
    }
    const jsize count = env->GetArrayLength(values);
    rows->resize(static_cast<size_t>(count));
    nulls->resize(static_cast<size_t>(count));
    for (jsize row = 0; row < count; ++row) {
        jobject value = env->GetObjectArrayElement(values, row);
        (*nulls)[static_cast<size_t>(row)] = value == nullptr;
        const bool ok = value == nullptr || read(value, &(*rows)[static_cast<size_t>(row)]);
        env->DeleteLocalRef(value);
        if (!ok) return false;
    }
    return true;
}

// An array of variable-length values, each slot as wide as the longest.
SQLRETURN BindVariable(StatementState& s, jint number, const std::vector<std::string>& rows,
                       const std::vector<bool>& nulls, SQLSMALLINT cType, SQLSMALLINT sqlType,
                       size_t unitBytes) {
    if (!jov::platform::kPassesVariableWidthArrays) {
        jov::driver::handles::KeepOwn(jov::driver::OwnDiagnostic(
            jov::driver::own::kNotImplemented, "The driver manager does not pass text or binary parameter arrays whole"));
        return SQL_ERROR;
    }
    size_t width = unitBytes;
    for (const auto& row : rows) width = std::max(width, row.size());
    auto array = std::make_unique<params::ArrayParameter>(cType, sqlType, width, rows.size());
    for (size_t row = 0; row < rows.size(); ++row) {
        if (!nulls[row]) array->Set(row, rows[row].data(), rows[row].size());
    }
    array->Declare(width / unitBytes);
    return Bind(s, number, std::move(array));
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindLongArray(
    JNIEnv* env, jclass, jlong statement, jint parameter, jlongArray values, jbooleanArray nulls,
    jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return BindFixed<jlong>(env, s, parameter, values, nulls, SQL_C_SBIGINT, sqlType,
                                &JNIEnv::GetLongArrayRegion);
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDoubleArray(
    JNIEnv* env, jclass, jlong statement, jint parameter, jdoubleArray values, jbooleanArray nulls,
    jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return BindFixed<jdouble>(env, s, parameter, values, nulls, SQL_C_DOUBLE, sqlType,
                                  &JNIEnv::GetDoubleArrayRegion);
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindStringArray(
    JNIEnv* env, jclass, jlong statement, jint parameter, jobjectArray values, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        const auto& codec = s.statement.codec();
        std::vector<std::string> rows;
        std::vector<bool> nulls;
        auto encode = [&](jobject value, std::string* out) {
            Utf16 units;
            if (!jni::ReadString(env, static_cast<jstring>(value), "value", &units)) return false;
            jov::driver::Diagnostic refused;
            if (codec.EncodeValue(units, out, &refused)) return true;
            jov::driver::handles::KeepOwn(refused);
            return false;
        };
        if (!ReadRows(env, values, encode, &rows, &nulls)) return SQL_ERROR;
        return BindVariable(s, parameter, rows, nulls, codec.TextCType(),
                            codec.TextSqlType(static_cast<SQLSMALLINT>(sqlType)), codec.UnitBytes());
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBytesArray(
    JNIEnv* env, jclass, jlong statement, jint parameter, jobjectArray values, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        std::vector<std::string> rows;
        std::vector<bool> nulls;
        auto copy = [&](jobject value, std::string* out) {
            auto bytes = static_cast<jbyteArray>(value);
            out->assign(static_cast<size_t>(env->GetArrayLength(bytes)), '\0');
            if (!out->empty()) {
                env->GetByteArrayRegion(bytes, 0, env->GetArrayLength(bytes),
                                        reinterpret_cast<jbyte*>(&(*out)[0]));
            }
            return true;
        };
        if (!ReadRows(env, values, copy, &rows, &nulls)) return SQL_ERROR;
        return BindVariable(s, parameter, rows, nulls, SQL_C_BINARY,
                            static_cast<SQLSMALLINT>(sqlType), 1);
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_executeArray(
    JNIEnv* env, jclass, jlong statement, jint rows, jlongArray counts, jintArray statuses) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (rows < 1) return Refuse("an array execution needs at least one row");
        if (!jni::HasRoom(env, counts, "counts", rows) ||
            !jni::HasRoom(env, statuses, "statuses", rows)) {
            return SQL_ERROR;
        }
        const auto n = static_cast<size_t>(rows);
        if (s.parameters.Rows() < n) {
            return Refuse(std::to_string(rows) + " rows are more than the bound arrays hold");
        }
        std::vector<SQLUSMALLINT> rowStatus(n);
        std::vector<SQLLEN> rowCount(n);
        const SQLRETURN rc = s.statement.ExecuteArray(n, rowStatus.data(), rowCount.data());
        const std::vector<jlong> countsOut(rowCount.begin(), rowCount.end());
        const std::vector<jint> statusOut(rowStatus.begin(), rowStatus.end());
        env->SetLongArrayRegion(counts, 0, rows, countsOut.data());
        env->SetIntArrayRegion(statuses, 0, rows, statusOut.data());
        return rc;
    });
}

}  // extern "C"

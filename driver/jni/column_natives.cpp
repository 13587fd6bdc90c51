// The natives that describe a result's columns and read its values.
#include <string>
#include <vector>

#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/values/columns.h"
#include "driver/values/whole_value.h"

using jov::driver::StatementState;
using jov::driver::Utf16;
using jov::driver::values::ColumnDescription;
namespace jni = jov::driver::jni;

namespace {

// describeColumns' answer: one array per field, in OdbcNatives' COLUMN_* order.
constexpr jsize kColumnFields = 14;

using Columns = std::vector<ColumnDescription>;

jobjectArray Strings(JNIEnv* env, const Columns& columns, Utf16 (*field)(const ColumnDescription&)) {
    jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(columns.size()), stringClass, nullptr);
    for (jsize i = 0; array != nullptr && i < static_cast<jsize>(columns.size()); ++i) {
        jstring s = jni::NewJavaString(env, field(columns[static_cast<size_t>(i)]));
        if (s == nullptr) return nullptr;
        env->SetObjectArrayElement(array, i, s);
        env->DeleteLocalRef(s);
    }
    return array;
}

jintArray Ints(JNIEnv* env, const Columns& columns, jint (*field)(const ColumnDescription&)) {
    std::vector<jint> values;
    for (const auto& c : columns) values.push_back(field(c));
    jintArray array = env->NewIntArray(static_cast<jsize>(values.size()));
    if (array != nullptr) env->SetIntArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
    return array;
}

jlongArray Longs(JNIEnv* env, const Columns& columns, jlong (*field)(const ColumnDescription&)) {
    std::vector<jlong> values;
    for (const auto& c : columns) values.push_back(field(c));
    jlongArray array = env->NewLongArray(static_cast<jsize>(values.size()));
    if (array != nullptr) env->SetLongArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
    return array;
}

jbooleanArray Flags(JNIEnv* env, const Columns& columns, bool (*field)(const ColumnDescription&)) {
    std::vector<jboolean> values;
    for (const auto& c : columns) values.push_back(field(c) ? JNI_TRUE : JNI_FALSE);
    jbooleanArray array = env->NewBooleanArray(static_cast<jsize>(values.size()));
    if (array != nullptr) env->SetBooleanArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
    return array;
}

// Fills columns[0..kColumnFields); false when the JVM ran out of memory.
bool FillColumns(JNIEnv* env, jobjectArray out, const Columns& c) {
    using D = const ColumnDescription&;
    const jobject fields[kColumnFields] = {
        Strings(env, c, [](D d) { return d.shape.name; }),
        Strings(env, c, [](D d) { return d.label; }),
        Ints(env, c, [](D d) { return static_cast<jint>(d.shape.sqlType); }),
        Longs(env, c, [](D d) { return static_cast<jlong>(d.shape.size); }),
        Ints(env, c, [](D d) { return static_cast<jint>(d.shape.digits); }),
        Ints(env, c, [](D d) { return static_cast<jint>(d.shape.nullable); }),
        Flags(env, c, [](D d) { return d.isUnsigned; }),
        Longs(env, c, [](D d) { return static_cast<jlong>(d.displaySize); }),
        Strings(env, c, [](D d) { return d.table; }),
        Strings(env, c, [](D d) { return d.schema; }),
        Strings(env, c, [](D d) { return d.catalog; }),
        Strings(env, c, [](D d) { return d.typeName; }),
        Flags(env, c, [](D d) { return d.autoIncrement; }),
        Flags(env, c, [](D d) { return d.caseSensitive; })};
    for (jsize i = 0; i < kColumnFields; ++i) {
        if (fields[i] == nullptr) return false;
        env->SetObjectArrayElement(out, i, fields[i]);
        env->DeleteLocalRef(fields[i]);
    }
    return true;
}

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Reads a fixed-width value as cType into value[0] (0 for NULL or a failure).
template <typename Number, typename Array, typename Element>
jint GetNumber(JNIEnv* env, jlong statement, jint column, SQLSMALLINT cType, Array value,
               void (JNIEnv::*store)(Array, jsize, jsize, const Element*)) {
    bool isNull = false;
    const jint status = jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, value, "value")) return SQL_ERROR;
        Number number = 0;
        const SQLRETURN rc = jov::driver::values::ReadFixed(
            s.statement, static_cast<SQLUSMALLINT>(column), cType, &number, sizeof number, &isNull);
        const Element answer = Ok(rc) && !isNull ? static_cast<Element>(number) : 0;
        (env->*store)(value, 0, 1, &answer);
        return rc;
    });
    return isNull && status >= 0 ? jni::kNullData : status;
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_describeColumns(
    JNIEnv* env, jclass, jlong statement, jobjectArray columns) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, columns, "columns", kColumnFields)) return SQL_ERROR;
        Columns described;
        const SQLRETURN rc = jov::driver::values::DescribeColumns(s.statement, &described);
        s.described.clear();
        if (!Ok(rc) || !FillColumns(env, columns, described)) return Ok(rc) ? SQL_ERROR : rc;
        for (const auto& c : described) s.described.push_back(c.shape);
        return rc;
    });
}

// UTF-8 text goes to Java undecoded: Java's decoder is several times faster
// than this library's loop followed by a String built from UTF-16.
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getText(
    JNIEnv* env, jclass, jlong statement, jint column, jobjectArray value) {
    bool isNull = false;
    const jint status = jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, value, "value")) return SQL_ERROR;
        const auto number = static_cast<SQLUSMALLINT>(column);
        const jov::driver::text::Codec& codec = s.statement.codec();
        if (!codec.TextIsUtf8()) {
            Utf16 text;
            const SQLRETURN rc = jov::driver::values::ReadText(s.statement, number, &text, &isNull);
            if (!Ok(rc)) return rc;
            return jni::SetString(env, value, isNull ? nullptr : &text) ? rc : SQL_ERROR;
        }
        std::string bytes;
        const SQLRETURN rc = jov::driver::values::ReadWhole(s.statement, number, codec.TextCType(),
                                                            codec.UnitBytes(), &bytes, &isNull);
        if (!Ok(rc)) return rc;
        return jni::SetBytes(env, value, isNull ? nullptr : &bytes) ? rc : SQL_ERROR;
    });
    return isNull && status >= 0 ? jni::kNullData : status;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getBytes(
    JNIEnv* env, jclass, jlong statement, jint column, jobjectArray value) {
    bool isNull = false;
    const jint status = jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, value, "value")) return SQL_ERROR;
        std::string bytes;
        const SQLRETURN rc = jov::driver::values::ReadWhole(
            s.statement, static_cast<SQLUSMALLINT>(column), SQL_C_BINARY, 0, &bytes, &isNull);
        if (!Ok(rc)) return rc;
        return jni::SetBytes(env, value, isNull ? nullptr : &bytes) ? rc : SQL_ERROR;
    });
    return isNull && status >= 0 ? jni::kNullData : status;
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getLong(
    JNIEnv* env, jclass, jlong statement, jint column, jlongArray value) {
    return GetNumber<SQLBIGINT>(env, statement, column, SQL_C_SBIGINT, value,
                                &JNIEnv::SetLongArrayRegion);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_getDouble(
    JNIEnv* env, jclass, jlong statement, jint column, jdoubleArray value) {
    return GetNumber<SQLDOUBLE>(env, statement, column, SQL_C_DOUBLE, value,
                                &JNIEnv::SetDoubleArrayRegion);
}

}  // extern "C"

// The natives that bind parameters and send long values at execution.
#include <memory>
#include <string>

#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"
#include "driver/params/bytes.h"
#include "driver/params/datetime.h"
#include "driver/params/scalars.h"
#include "driver/params/stream.h"
#include "driver/params/text.h"

using jov::driver::StatementState;
using jov::driver::Utf16;
namespace jni = jov::driver::jni;
namespace params = jov::driver::params;

namespace {

SQLRETURN Bind(StatementState& s, jint number, std::unique_ptr<params::Parameter> parameter) {
    return s.parameters.Bind(s.statement, static_cast<SQLUSMALLINT>(number), std::move(parameter));
}

// The bytes of a Java byte array, the first length of them (all for -1).
bool ReadBytes(JNIEnv* env, jbyteArray array, jint length, std::string* out) {
    if (array == nullptr) {
        jni::NullArgument("bytes");
        return false;
    }
    const jsize size = env->GetArrayLength(array);
    const jsize n = length < 0 ? size : length;
    if (n > size) {
        jov::driver::handles::KeepOwn(jov::driver::OwnDiagnostic(
            jov::driver::own::kNullArgument, "length " + std::to_string(n) +
                                                 " is beyond the piece's " + std::to_string(size) +
                                                 " bytes"));
        return false;
    }
    out->assign(static_cast<size_t>(n), '\0');
    if (n > 0) env->GetByteArrayRegion(array, 0, n, reinterpret_cast<jbyte*>(&(*out)[0]));
    return true;
}

// A text in the statement's encoding; false with a record when it has none.
bool Encode(JNIEnv* env, const StatementState& s, jstring value, std::string* out) {
    Utf16 units;
    if (!jni::ReadString(env, value, "value", &units)) return false;
    jov::driver::Diagnostic refused;
    if (s.statement.codec().EncodeValue(units, out, &refused)) return true;
    jov::driver::handles::KeepOwn(refused);
    return false;
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindNull(
    JNIEnv*, jclass, jlong statement, jint parameter, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return Bind(s, parameter, std::make_unique<params::NullParameter>(sqlType));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindLong(
    JNIEnv*, jclass, jlong statement, jint parameter, jlong value, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return Bind(s, parameter, std::make_unique<params::LongParameter>(value, sqlType));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDouble(
    JNIEnv*, jclass, jlong statement, jint parameter, jdouble value, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return Bind(s, parameter, std::make_unique<params::DoubleParameter>(value, sqlType));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBoolean(
    JNIEnv*, jclass, jlong statement, jint parameter, jboolean value) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        return Bind(s, parameter, std::make_unique<params::BooleanParameter>(value == JNI_TRUE));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindString(
    JNIEnv* env, jclass, jlong statement, jint parameter, jstring value, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        std::string encoded;
        if (!Encode(env, s, value, &encoded)) return SQL_ERROR;
        const auto& codec = s.statement.codec();
        return Bind(s, parameter,
                    std::make_unique<params::TextParameter>(
                        std::move(encoded), codec.TextCType(),
                        codec.TextSqlType(static_cast<SQLSMALLINT>(sqlType)), codec.UnitBytes()));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindBytes(
    JNIEnv* env, jclass, jlong statement, jint parameter, jbyteArray value, jint sqlType) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        std::string bytes;
        if (!ReadBytes(env, value, -1, &bytes)) return SQL_ERROR;
        return Bind(s, parameter, std::make_unique<params::BytesParameter>(std::move(bytes), sqlType));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDecimal(
    JNIEnv* env, jclass, jlong statement, jint parameter, jstring digits, jint precision,
    jint scale) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        Utf16 units;
        if (!jni::ReadString(env, digits, "digits", &units)) return SQL_ERROR;
        // A number's text is ASCII in every encoding.
        std::string ascii(units.begin(), units.end());
        for (char16_t u : units) {
            if (u > 0x7F || u == 0) {
                jov::driver::handles::KeepOwn(jov::driver::OwnDiagnostic(
                    jov::driver::own::kNotInRepertoire, "a decimal's digits must be ASCII"));
                return SQL_ERROR;
            }
        }
        return Bind(s, parameter,
                    std::make_unique<params::DecimalParameter>(std::move(ascii),
                                                               static_cast<SQLULEN>(precision),
                                                               static_cast<SQLSMALLINT>(scale)));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindDate(
    JNIEnv*, jclass, jlong statement, jint parameter, jint year, jint month, jint day) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        const SQL_DATE_STRUCT date{static_cast<SQLSMALLINT>(year), static_cast<SQLUSMALLINT>(month),
                                   static_cast<SQLUSMALLINT>(day)};
        return Bind(s, parameter, std::make_unique<params::DateParameter>(date));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindTime(
    JNIEnv*, jclass, jlong statement, jint parameter, jint hour, jint minute, jint second) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        const SQL_TIME_STRUCT time{static_cast<SQLUSMALLINT>(hour),
                                   static_cast<SQLUSMALLINT>(minute),
                                   static_cast<SQLUSMALLINT>(second)};
        return Bind(s, parameter, std::make_unique<params::TimeParameter>(time));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindTimestamp(
    JNIEnv*, jclass, jlong statement, jint parameter, jint year, jint month, jint day, jint hour,
    jint minute, jint second, jint nanos, jint fractionDigits) {
    return jni::WithStatement(statement, [&](StatementState& s) {
        const SQL_TIMESTAMP_STRUCT stamp{
            static_cast<SQLSMALLINT>(year),    static_cast<SQLUSMALLINT>(month),
            static_cast<SQLUSMALLINT>(day),    static_cast<SQLUSMALLINT>(hour),
            static_cast<SQLUSMALLINT>(minute), static_cast<SQLUSMALLINT>(second),
            static_cast<SQLUINTEGER>(nanos)};
        return Bind(s, parameter,
                    std::make_unique<params::TimestampParameter>(
                        stamp, static_cast<SQLSMALLINT>(fractionDigits)));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_bindStream(
    JNIEnv*, jclass, jlong statement, jint parameter, jboolean binary, jlong length, jlong units) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        const auto& codec = s.statement.codec();
        const bool bytes = binary == JNI_TRUE;
        // The length counts bytes of the C type the pieces go as.
        const bool wide = !bytes && codec.UnitBytes() == sizeof(char16_t);
        const int64_t announced =
            !wide ? length : units < 0 ? -1 : units * static_cast<int64_t>(sizeof(char16_t));
        if (announced < 0 && s.needsLongDataLength) {
            jov::driver::handles::KeepOwn(jov::driver::OwnDiagnostic(
                "HYC00", "this ODBC driver needs a long value's length before its data"));
            return SQL_ERROR;
        }
        const SQLSMALLINT cType = bytes ? SQL_C_BINARY : codec.TextCType();
        const SQLSMALLINT sqlType = bytes ? SQL_LONGVARBINARY : codec.TextSqlType(SQL_LONGVARCHAR);
        return Bind(s, parameter,
                    std::make_unique<params::StreamParameter>(static_cast<SQLUSMALLINT>(parameter),
                                                              cType, sqlType, announced));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_paramData(
    JNIEnv* env, jclass, jlong statement, jintArray parameter) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!jni::HasRoom(env, parameter, "parameter")) return SQL_ERROR;
        SQLPOINTER wanted = nullptr;
        const SQLRETURN rc = s.statement.ParamData(&wanted);
        const auto number = rc == SQL_NEED_DATA ? reinterpret_cast<uintptr_t>(wanted) : 0;
        jni::SetInt(env, parameter, static_cast<int32_t>(number));
        return rc;
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_putString(
    JNIEnv* env, jclass, jlong statement, jstring piece) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        std::string encoded;
        if (!Encode(env, s, piece, &encoded)) return SQL_ERROR;
        return s.statement.PutData(&encoded[0], static_cast<SQLLEN>(encoded.size()));
    });
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_putBytes(
    JNIEnv* env, jclass, jlong statement, jbyteArray piece, jint length) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        std::string bytes;
        if (!ReadBytes(env, piece, length, &bytes)) return SQL_ERROR;
        return s.statement.PutData(&bytes[0], static_cast<SQLLEN>(bytes.size()));
    });
}

}  // extern "C"

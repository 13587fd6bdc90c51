// The native that runs ODBC's catalogue functions.
#include <optional>
#include <vector>

#include "driver/jni/java_values.h"
#include "driver/jni/natives.h"

using jov::driver::StatementState;
using jov::driver::Utf16;
using jov::driver::text::ArityOf;
using jov::driver::text::CatalogFunction;
namespace jni = jov::driver::jni;
namespace handles = jov::driver::handles;

namespace {

// The names of a Java String[], null elements as nullopt.
void ReadNames(JNIEnv* env, jobjectArray array, std::vector<std::optional<Utf16>>* out) {
    const jsize count = env->GetArrayLength(array);
    for (jsize i = 0; i < count; ++i) {
        auto element = static_cast<jstring>(env->GetObjectArrayElement(array, i));
        if (element == nullptr) {
            out->push_back(std::nullopt);
            continue;
        }
        Utf16 units;
        jni::ReadString(env, element, "name", &units);
        env->DeleteLocalRef(element);
        out->push_back(std::move(units));
    }
}

std::vector<SQLUSMALLINT> ReadNumbers(JNIEnv* env, jintArray array) {
    std::vector<jint> values(static_cast<size_t>(env->GetArrayLength(array)));
    if (!values.empty()) {
        env->GetIntArrayRegion(array, 0, static_cast<jsize>(values.size()), values.data());
    }
    return std::vector<SQLUSMALLINT>(values.begin(), values.end());
}

// Whether the arguments fit the function; a record naming what is wrong otherwise.
bool Fits(JNIEnv* env, jint function, jobjectArray names, jintArray numbers) {
    if (function < 0 || function >= static_cast<jint>(CatalogFunction::kCount)) {
        jni::NullArgument(("a catalogue function numbered " + std::to_string(function)).c_str());
        return false;
    }
    const auto arity = ArityOf(static_cast<CatalogFunction>(function));
    if (names == nullptr || numbers == nullptr ||
        static_cast<size_t>(env->GetArrayLength(names)) != arity.names ||
        static_cast<size_t>(env->GetArrayLength(numbers)) != arity.numbers) {
        const std::string wanted = "the catalogue function's arguments (" +
                                   std::to_string(arity.names) + " names and " +
                                   std::to_string(arity.numbers) + " numbers wanted)";
        jni::NullArgument(wanted.c_str());
        return false;
    }
    return true;
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_driver_odbc_OdbcNatives_catalog(
    JNIEnv* env, jclass, jlong statement, jint function, jobjectArray names, jintArray numbers) {
    return jni::WithStatement(statement, [&](StatementState& s) -> SQLRETURN {
        if (!Fits(env, function, names, numbers)) return SQL_ERROR;
        std::vector<std::optional<Utf16>> texts;
        ReadNames(env, names, &texts);
        return s.statement.Catalog(static_cast<CatalogFunction>(function), texts,
                                   ReadNumbers(env, numbers));
    });
}

}  // extern "C"

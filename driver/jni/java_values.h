// Between Java's values and the driver's: strings as their UTF-16 units
// (never JNI's modified UTF-8), the status Java receives for an ODBC return
// code, and the out-arrays answers go into. Nothing here throws or leaves a
// Java exception pending: a null or empty argument is a record (HY009).
#pragma once

#include <cstdint>
#include <string>

#include "driver/diagnostic.h"
#include "driver/odbc.h"
#include "jni.h"

namespace jov::driver::jni {

// OdbcNatives' status constants.
constexpr jint kError = -1;
constexpr jint kSuccess = 0;
constexpr jint kSuccessWithInfo = 1;
constexpr jint kNoData = 2;
constexpr jint kNullData = 3;
constexpr jint kNeedData = 99;

jint StatusOf(SQLRETURN rc);

// Keeps an HY009 record naming the argument; answers kError.
jint NullArgument(const char* what);

// The units of a Java string; false (with a record) for null.
bool ReadString(JNIEnv* env, jstring value, const char* what, Utf16* out);
// A Java string of units; null when the JVM cannot allocate it.
jstring NewJavaString(JNIEnv* env, const Utf16& units);

// Element 0 of array becomes the string of units, or null for nullptr;
// false when the JVM cannot allocate the string (its error is then pending)
// or a Java string cannot be that long (a record says so).
bool SetString(JNIEnv* env, jobjectArray array, const Utf16* units);
// The same with a byte[] of bytes.
bool SetBytes(JNIEnv* env, jobjectArray array, const std::string* bytes);

// Runs work on the statement token names, with the thread's records cleared
// first; kError with a record when the token names none.
template <typename Work>
jint WithStatement(int64_t token, Work work);

// Whether an out-array holds at least count elements; a record otherwise.
bool HasRoom(JNIEnv* env, jarray array, const char* what, jsize count = 1);

void SetLong(JNIEnv* env, jlongArray array, int64_t value);
void SetInt(JNIEnv* env, jintArray array, int32_t value);

}  // namespace jov::driver::jni

#include "driver/handles/diagnostics.h"
#include "driver/registry.h"

template <typename Work>
jint jov::driver::jni::WithStatement(int64_t token, Work work) {
    handles::ClearDiagnostics();
    auto state = LeaseStatement(token);
    if (!state) return kError;
    return StatusOf(work(*state));
}

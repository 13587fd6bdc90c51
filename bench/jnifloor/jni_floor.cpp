// libJovBenchJniFloor: the floor's reading driven from Java, value by value,
// through the fewest JNI calls that the bridge's road allows (one per fetch,
// one per value). It is the least any bridge over ODBC pays: the driver, the
// rendering, one JNI transition per call and one Java string per value, and
// nothing else (no identifiers, no holds, no copies into column buffers).
//
// Strings are made as the library makes them: ASCII bytes straight through
// NewStringUTF, anything else converted to UTF-16 and handed to NewString.
// Columns are read in ascending order, each once per row.
//
// Java side: jov.jdbc.odbc.bench.JniFloor. A handle is a pointer to a
// session, valid from open to close; the benchmark is its only caller.
#include <jni.h>

#include <cstdint>
#include <string>

#include "bench/common/odbc_session.h"
#include "bench/floor/floor_reader.h"

namespace jov::bench {
namespace {

struct JniFloorSession {
    OdbcSession session;
    FloorReader reader;
};

JniFloorSession* FromHandle(jlong handle) { return reinterpret_cast<JniFloorSession*>(handle); }

// Java text to bytes: the benchmark's names and SQL are ASCII.
std::string Narrow(JNIEnv* env, jstring text) {
    std::string narrow;
    if (text == nullptr) return narrow;
    const jsize length = env->GetStringLength(text);
    const jchar* units = env->GetStringChars(text, nullptr);
    if (units == nullptr) return narrow;
    for (jsize i = 0; i < length; ++i) narrow += static_cast<char>(units[i]);
    env->ReleaseStringChars(text, units);
    return narrow;
}

bool IsAscii(const FloorText& text) {
    for (int32_t i = 0; i < text.length; ++i) {
        if (static_cast<unsigned char>(text.bytes[i]) >= 0x80) return false;
    }
    return true;
}

}  // namespace
}  // namespace jov::bench

using jov::bench::FromHandle;
using jov::bench::JniFloorSession;

extern "C" {

JNIEXPORT jlong JNICALL Java_jov_jdbc_odbc_bench_JniFloor_open(JNIEnv* env, jclass,
                                                               jstring dataSource, jstring user,
                                                               jstring password) {
    auto* floor = new JniFloorSession();
    if (!floor->session.Connect(jov::bench::Narrow(env, dataSource),
                                jov::bench::Narrow(env, user), jov::bench::Narrow(env, password))) {
        delete floor;
        return 0;
    }
    return reinterpret_cast<jlong>(floor);
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_bench_JniFloor_query(JNIEnv* env, jclass, jlong handle,
                                                               jstring sql) {
    JniFloorSession* floor = FromHandle(handle);
    return floor->reader.Start(floor->session.connection(),
                               jov::bench::Narrow(env, sql).c_str());
}

JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_bench_JniFloor_fetch(JNIEnv*, jclass, jlong handle) {
    return FromHandle(handle)->reader.Fetch();
}

// The value of column number, or null when the driver fails.
JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_bench_JniFloor_getString(JNIEnv* env, jclass,
                                                                     jlong handle, jint column) {
    jov::bench::FloorReader& reader = FromHandle(handle)->reader;
    jov::bench::FloorText text;
    if (!reader.ReadText(column, &text)) return nullptr;
    if (jov::bench::IsAscii(text)) return env->NewStringUTF(text.bytes);
    const char16_t* units = nullptr;
    const int32_t count = reader.ToUtf16(text, &units);
    return env->NewString(reinterpret_cast<const jchar*>(units), count);
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_bench_JniFloor_closeCursor(JNIEnv*, jclass,
                                                                    jlong handle) {
    FromHandle(handle)->reader.Finish();
}

JNIEXPORT void JNICALL Java_jov_jdbc_odbc_bench_JniFloor_close(JNIEnv*, jclass, jlong handle) {
    delete FromHandle(handle);
}

// The JVM's price list: a native call that does nothing, and one that makes an
// ASCII string of length bytes (at most kPriceTextLength) and nothing else.
JNIEXPORT jint JNICALL Java_jov_jdbc_odbc_bench_JniFloor_nothing(JNIEnv*, jclass, jint value) {
    return value;
}

JNIEXPORT jstring JNICALL Java_jov_jdbc_odbc_bench_JniFloor_asciiString(JNIEnv* env, jclass,
                                                                       jint length) {
    constexpr int kPriceTextLength = 64;
    static const char kLetters[kPriceTextLength + 1] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ab";
    char text[kPriceTextLength + 1];
    const int n = length < 0 ? 0 : length > kPriceTextLength ? kPriceTextLength : length;
    for (int i = 0; i < n; ++i) text[i] = kLetters[i];
    text[n] = 0;
    return env->NewStringUTF(text);
}

}  // extern "C"

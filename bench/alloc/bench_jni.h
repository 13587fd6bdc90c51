// BenchJni: the smallest JNIEnv that lets the allocation benchmark call the
// natives the way a JVM does, without one. It serves the five functions the
// fetch and render path uses; NewString and NewStringUTF allocate nothing:
// they count the units they are given and answer one shared placeholder
// object, which is all the caller passes on.
//
//   BenchJni jni;
//   jstring sql = jni.String(u"SELECT * FROM t");
//   Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCexecSQLQuery(jni.env(), nullptr, id, sql);
#pragma once

#include <jni.h>

#include <cstdint>
#include <deque>
#include <string>

namespace jov::bench {

class BenchJni {
public:
    BenchJni();
    BenchJni(const BenchJni&) = delete;
    BenchJni& operator=(const BenchJni&) = delete;

    JNIEnv* env() { return &env_; }
    // A Java string of the given text; lives as long as this object.
    jstring String(const std::u16string& text);
    // UTF-16 units passed to NewString so far.
    int64_t units() const { return units_; }

private:
    struct Text : _jstring {
        std::u16string units;
    };
    static BenchJni& Self(JNIEnv* env);
    static jsize JNICALL GetStringLength(JNIEnv* env, jstring s);
    static const jchar* JNICALL GetStringChars(JNIEnv* env, jstring s, jboolean* isCopy);
    static void JNICALL ReleaseStringChars(JNIEnv* env, jstring s, const jchar* chars);
    static jstring JNICALL NewString(JNIEnv* env, const jchar* units, jsize length);
    static jstring JNICALL NewStringUTF(JNIEnv* env, const char* utf);

    JNINativeInterface_ table_{};
    JNIEnv env_{};
    std::deque<Text> texts_;
    _jstring made_;
    int64_t units_ = 0;
};

}  // namespace jov::bench

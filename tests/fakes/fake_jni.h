// A minimal JNIEnv for calling the natives without a JVM. It implements the
// ten JNI functions the library uses over plain UTF-16 strings and byte, long
// and double vectors, checks that every GetStringChars is paired with one
// ReleaseStringChars, and can be told to fail object creation.
//
// Usage:
//   FakeJni jni;
//   jstring s = jni.String(u"Sales");
//   jint id = Java_jov_jdbc_odbc_JOVODBCDLL_JNIODBCopen(jni.env(), nullptr, s, ...);
//   EXPECT_EQ(jni.Text(result), u"...");
//   EXPECT_EQ(jni.OutstandingChars(), 0);
#pragma once

#include <jni.h>

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

class FakeJni {
public:
    FakeJni();
    ~FakeJni();
    FakeJni(const FakeJni&) = delete;
    FakeJni& operator=(const FakeJni&) = delete;

    JNIEnv* env() { return &env_; }

    jstring String(const std::u16string& text);
    std::u16string Text(jstring s) const;
    std::vector<unsigned char> Bytes(jbyteArray a) const;
    jsize Length(jbyteArray a) const;

    // Characters obtained and not yet released.
    int OutstandingChars() const { return outstanding_; }
    int GetCharsCalls() const { return getCharsCalls_; }
    // Failure injection for the next calls.
    bool failGetStringChars = false;
    bool failNewString = false;
    bool failNewByteArray = false;
    // Runs once at the next NewString or NewStringUTF, before it reads its
    // argument: what another thread might do while the JVM makes a string.
    std::function<void()> beforeNewString;

private:
    struct StringObject;
    struct ArrayObject;
    static FakeJni& Self(JNIEnv* env);
    void RunBeforeNewString();
    static jsize JNICALL GetStringLength(JNIEnv* env, jstring s);
    static const jchar* JNICALL GetStringChars(JNIEnv* env, jstring s, jboolean* isCopy);
    static void JNICALL ReleaseStringChars(JNIEnv* env, jstring s, const jchar* chars);
    static jstring JNICALL NewString(JNIEnv* env, const jchar* units, jsize length);
    static jstring JNICALL NewStringUTF(JNIEnv* env, const char* utf);
    static jbyteArray JNICALL NewByteArray(JNIEnv* env, jsize length);
    static void JNICALL SetByteArrayRegion(JNIEnv* env, jbyteArray a, jsize start, jsize length,
                                           const jbyte* bytes);
    static jsize JNICALL GetArrayLength(JNIEnv* env, jarray a);

    JNINativeInterface_ table_;
    JNIEnv env_;
    std::deque<StringObject> strings_;
    std::deque<ArrayObject> arrays_;
    // The length of every array made here, whatever its element type.
    std::map<jarray, jsize> lengths_;
    int outstanding_ = 0;
    int getCharsCalls_ = 0;
};

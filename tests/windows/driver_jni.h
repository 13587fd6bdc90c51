// A minimal JNIEnv for the natives of OdbcNatives, which FakeJni does not
// serve: strings read by region, object arrays (out-arrays of strings, the
// records of takeDiagnostics, the columns of describeColumns) and int, long
// and boolean arrays; no byte or double arrays, which no check here reads. Every object lives until the DriverJni
// does; DeleteLocalRef forgets nothing. Bounds are checked as the JVM would,
// a breach throwing std::logic_error, so a native that writes past an array
// fails the test instead of corrupting it. One DriverJni serves one thread.
#pragma once

#include <jni.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

class DriverJni {
  public:
    DriverJni();
    ~DriverJni();
    DriverJni(const DriverJni&) = delete;
    DriverJni& operator=(const DriverJni&) = delete;

    JNIEnv* env() { return &env_; }

    jstring String(const std::u16string& text);
    // The string's units; "(null)" for a null reference.
    std::u16string Text(jobject s) const;
    jobjectArray ObjectArray(jsize length);
    jlongArray LongArray(jsize length);
    jobject Element(jobjectArray a, jsize index) const;
    // The elements of an int, long or boolean array, widened.
    std::vector<int64_t> Numbers(jobject a) const;

  private:
    struct Object;
    Object& Make();
    static Object& Of(jobject o);

    static jsize JNICALL GetStringLength(JNIEnv*, jstring s);
    static void JNICALL GetStringRegion(JNIEnv*, jstring s, jsize start, jsize length, jchar* out);
    static jstring JNICALL NewString(JNIEnv* env, const jchar* units, jsize length);
    static jclass JNICALL FindClass(JNIEnv*, const char* name);
    static jobjectArray JNICALL NewObjectArray(JNIEnv* env, jsize length, jclass, jobject fill);
    static void JNICALL SetObjectArrayElement(JNIEnv*, jobjectArray a, jsize index, jobject value);
    static void JNICALL DeleteLocalRef(JNIEnv*, jobject);
    static jsize JNICALL GetArrayLength(JNIEnv*, jarray a);
    static jintArray JNICALL NewIntArray(JNIEnv* env, jsize length);
    static jlongArray JNICALL NewLongArray(JNIEnv* env, jsize length);
    static jbooleanArray JNICALL NewBooleanArray(JNIEnv* env, jsize length);
    static void JNICALL SetIntArrayRegion(JNIEnv*, jintArray a, jsize start, jsize length, const jint* in);
    static void JNICALL SetLongArrayRegion(JNIEnv*, jlongArray a, jsize start, jsize length,
                                           const jlong* in);
    static void JNICALL SetBooleanArrayRegion(JNIEnv*, jbooleanArray a, jsize start, jsize length,
                                              const jboolean* in);

    JNINativeInterface_ table_;
    JNIEnv env_;
    std::deque<Object> objects_;
};

#include "bench/alloc/bench_jni.h"

#include <cstddef>

namespace jov::bench {

BenchJni::BenchJni() {
    table_.GetStringLength = &BenchJni::GetStringLength;
    table_.GetStringChars = &BenchJni::GetStringChars;
    table_.ReleaseStringChars = &BenchJni::ReleaseStringChars;
    table_.NewString = &BenchJni::NewString;
    table_.NewStringUTF = &BenchJni::NewStringUTF;
    // The first reserved slot leads back to this object.
    table_.reserved0 = this;
    env_.functions = &table_;
}

jstring BenchJni::String(const std::u16string& text) {
    texts_.emplace_back();
    texts_.back().units = text;
    return &texts_.back();
}

BenchJni& BenchJni::Self(JNIEnv* env) { return *static_cast<BenchJni*>(env->functions->reserved0); }

jsize JNICALL BenchJni::GetStringLength(JNIEnv*, jstring s) {
    return static_cast<jsize>(static_cast<Text*>(s)->units.size());
}

const jchar* JNICALL BenchJni::GetStringChars(JNIEnv*, jstring s, jboolean* isCopy) {
    if (isCopy != nullptr) *isCopy = JNI_FALSE;
    return reinterpret_cast<const jchar*>(static_cast<Text*>(s)->units.c_str());
}

void JNICALL BenchJni::ReleaseStringChars(JNIEnv*, jstring, const jchar*) {}

jstring JNICALL BenchJni::NewString(JNIEnv* env, const jchar*, jsize length) {
    BenchJni& self = Self(env);
    self.units_ += length;
    return &self.made_;
}

jstring JNICALL BenchJni::NewStringUTF(JNIEnv* env, const char*) { return &Self(env).made_; }

}  // namespace jov::bench

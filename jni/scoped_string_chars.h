// ScopedStringChars: the UTF-16 characters of a Java string for the length of
// a scope, released on every way out.
//
//   ScopedStringChars sql(env, jsql);
//   if (sql.chars() != nullptr) Convert(sql.chars(), sql.length());
//
// A null jstring is never handed to the JVM: it reads as no characters, the
// same as a string whose characters could not be obtained. Callers that need
// a fixed release order call Release() explicitly; it is safe to call twice.
#pragma once

#include "jni.h"

namespace jov {

class ScopedStringChars {
public:
    ScopedStringChars(JNIEnv* env, jstring string)
        : env_(env),
          string_(string),
          chars_(string != nullptr ? env->GetStringChars(string, nullptr) : nullptr),
          length_(chars_ != nullptr ? env->GetStringLength(string) : 0) {}
    ~ScopedStringChars() { Release(); }
    ScopedStringChars(const ScopedStringChars&) = delete;
    ScopedStringChars& operator=(const ScopedStringChars&) = delete;

    // Null when the string was null or its characters were not obtained.
    const jchar* chars() const { return chars_; }
    jsize length() const { return length_; }

    void Release() {
        if (chars_ != nullptr) env_->ReleaseStringChars(string_, chars_);
        chars_ = nullptr;
        length_ = 0;
    }

private:
    JNIEnv* env_;
    jstring string_;
    const jchar* chars_;
    jsize length_;
};

}  // namespace jov

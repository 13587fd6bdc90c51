#include "tests/fakes/fake_jni.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <utility>

struct FakeJni::StringObject : _jstring {
    std::u16string text;
};

struct FakeJni::ArrayObject : _jbyteArray {
    std::vector<unsigned char> bytes;
};

namespace {

// The FakeJni of this thread; natives receive only the env pointer.
thread_local FakeJni* gCurrent = nullptr;

}  // namespace

FakeJni::FakeJni() : table_{}, env_{} {
    table_.GetStringLength = &FakeJni::GetStringLength;
    table_.GetStringChars = &FakeJni::GetStringChars;
    table_.ReleaseStringChars = &FakeJni::ReleaseStringChars;
    table_.NewString = &FakeJni::NewString;
    table_.NewStringUTF = &FakeJni::NewStringUTF;
    table_.NewByteArray = &FakeJni::NewByteArray;
    table_.SetByteArrayRegion = &FakeJni::SetByteArrayRegion;
    table_.GetArrayLength = &FakeJni::GetArrayLength;
    env_.functions = &table_;
    gCurrent = this;
}

FakeJni::~FakeJni() {
    if (gCurrent == this) gCurrent = nullptr;
}

FakeJni& FakeJni::Self(JNIEnv*) {
    if (gCurrent == nullptr) throw std::logic_error("no FakeJni on this thread");
    return *gCurrent;
}

jstring FakeJni::String(const std::u16string& text) {
    strings_.emplace_back();
    strings_.back().text = text;
    return &strings_.back();
}

std::u16string FakeJni::Text(jstring s) const {
    if (s == nullptr) throw std::logic_error("null jstring");
    return static_cast<StringObject*>(s)->text;
}

std::vector<unsigned char> FakeJni::Bytes(jbyteArray a) const {
    if (a == nullptr) throw std::logic_error("null jbyteArray");
    return static_cast<ArrayObject*>(a)->bytes;
}

jsize FakeJni::Length(jbyteArray a) const { return static_cast<jsize>(Bytes(a).size()); }

jsize JNICALL FakeJni::GetStringLength(JNIEnv*, jstring s) {
    if (s == nullptr) throw std::logic_error("GetStringLength(null)");
    return static_cast<jsize>(static_cast<StringObject*>(s)->text.size());
}

const jchar* JNICALL FakeJni::GetStringChars(JNIEnv* env, jstring s, jboolean* isCopy) {
    FakeJni& self = Self(env);
    if (s == nullptr) throw std::logic_error("GetStringChars(null)");
    ++self.getCharsCalls_;
    if (self.failGetStringChars) return nullptr;
    if (isCopy != nullptr) *isCopy = JNI_FALSE;
    ++self.outstanding_;
    return reinterpret_cast<const jchar*>(static_cast<StringObject*>(s)->text.data());
}

void JNICALL FakeJni::ReleaseStringChars(JNIEnv* env, jstring, const jchar*) {
    --Self(env).outstanding_;
}

void FakeJni::RunBeforeNewString() {
    std::function<void()> hook = std::move(beforeNewString);
    beforeNewString = nullptr;
    if (hook) hook();
}

jstring JNICALL FakeJni::NewString(JNIEnv* env, const jchar* units, jsize length) {
    FakeJni& self = Self(env);
    self.RunBeforeNewString();
    if (self.failNewString) return nullptr;
    return self.String(std::u16string(reinterpret_cast<const char16_t*>(units), length));
}

jstring JNICALL FakeJni::NewStringUTF(JNIEnv* env, const char* utf) {
    FakeJni& self = Self(env);
    self.RunBeforeNewString();
    if (self.failNewString) return nullptr;
    std::u16string text;
    for (const char* p = utf; *p != 0; ++p) text.push_back(static_cast<char16_t>(*p));
    return self.String(text);
}

jbyteArray JNICALL FakeJni::NewByteArray(JNIEnv* env, jsize length) {
    FakeJni& self = Self(env);
    if (self.failNewByteArray) return nullptr;
    self.arrays_.emplace_back();
    self.arrays_.back().bytes.assign(static_cast<size_t>(length), 0);
    self.lengths_[&self.arrays_.back()] = length;
    return &self.arrays_.back();
}

void JNICALL FakeJni::SetByteArrayRegion(JNIEnv*, jbyteArray a, jsize start, jsize length,
                                         const jbyte* bytes) {
    auto& target = static_cast<ArrayObject*>(a)->bytes;
    if (start < 0 || length < 0 || static_cast<size_t>(start + length) > target.size()) {
        throw std::logic_error("SetByteArrayRegion out of bounds");
    }
    std::memcpy(target.data() + start, bytes, static_cast<size_t>(length));
}

jsize JNICALL FakeJni::GetArrayLength(JNIEnv* env, jarray a) {
    const FakeJni& self = Self(env);
    auto it = self.lengths_.find(a);
    if (it == self.lengths_.end()) throw std::logic_error("GetArrayLength of an unknown array");
    return it->second;
}


#include "tests/windows/driver_jni.h"

#include <stdexcept>

// One kind of object for all: a string's units, or an array's elements in
// the member its element type uses.
struct DriverJni::Object : _jobject {
    enum class Kind { kString, kObjects, kNumbers } kind = Kind::kString;
    std::u16string text;
    std::vector<jobject> objects;
    std::vector<int64_t> numbers;

    size_t Length() const {
        switch (kind) {
            case Kind::kObjects: return objects.size();
            case Kind::kNumbers: return numbers.size();
            default: throw std::logic_error("GetArrayLength of a string");
        }
    }
    // Throws where the JVM raises ArrayIndexOutOfBoundsException.
    void Check(Kind wanted, jsize start, jsize length) const {
        if (kind != wanted) throw std::logic_error("array of another element type");
        if (start < 0 || length < 0 ||
            static_cast<size_t>(start) + static_cast<size_t>(length) > Length()) {
            throw std::logic_error("array region out of bounds");
        }
    }
};

namespace {

// The DriverJni of this thread; natives receive only the env pointer.
thread_local DriverJni* gCurrent = nullptr;
// FindClass's answer: any non-null class will do, none is looked into.
_jclass gStringClass;

DriverJni& Self() {
    if (gCurrent == nullptr) throw std::logic_error("no DriverJni on this thread");
    return *gCurrent;
}

template <typename T>
void SetNumbers(std::vector<int64_t>& target, jsize start, jsize length, const T* in) {
    for (jsize i = 0; i < length; ++i) target[static_cast<size_t>(start + i)] = static_cast<int64_t>(in[i]);
}

}  // namespace

DriverJni::DriverJni() : table_{}, env_{} {
    table_.GetStringLength = &GetStringLength;
    table_.GetStringRegion = &GetStringRegion;
    table_.NewString = &NewString;
    table_.FindClass = &FindClass;
    table_.NewObjectArray = &NewObjectArray;
    table_.SetObjectArrayElement = &SetObjectArrayElement;
    table_.DeleteLocalRef = &DeleteLocalRef;
    table_.GetArrayLength = &GetArrayLength;
    table_.NewIntArray = &NewIntArray;
    table_.NewLongArray = &NewLongArray;
    table_.NewBooleanArray = &NewBooleanArray;
    table_.SetIntArrayRegion = &SetIntArrayRegion;
    table_.SetLongArrayRegion = &SetLongArrayRegion;
    table_.SetBooleanArrayRegion = &SetBooleanArrayRegion;
    env_.functions = &table_;
    gCurrent = this;
}

DriverJni::~DriverJni() {
    if (gCurrent == this) gCurrent = nullptr;
}

DriverJni::Object& DriverJni::Make() {
    objects_.emplace_back();
    return objects_.back();
}

DriverJni::Object& DriverJni::Of(jobject o) {
    if (o == nullptr) throw std::logic_error("null reference");
    return *static_cast<Object*>(o);
}

jstring DriverJni::String(const std::u16string& text) {
    Object& s = Make();
    s.text = text;
    return reinterpret_cast<jstring>(static_cast<jobject>(&s));
}

std::u16string DriverJni::Text(jobject s) const {
    if (s == nullptr) return u"(null)";
    if (Of(s).kind != Object::Kind::kString) throw std::logic_error("not a string");
    return Of(s).text;
}

jobjectArray DriverJni::ObjectArray(jsize length) {
    Object& a = Make();
    a.kind = Object::Kind::kObjects;
    a.objects.assign(static_cast<size_t>(length), nullptr);
    return reinterpret_cast<jobjectArray>(static_cast<jobject>(&a));
}

jlongArray DriverJni::LongArray(jsize length) { return NewLongArray(&env_, length); }

jobject DriverJni::Element(jobjectArray a, jsize index) const {
    Of(a).Check(Object::Kind::kObjects, index, 1);
    return Of(a).objects[static_cast<size_t>(index)];
}

std::vector<int64_t> DriverJni::Numbers(jobject a) const {
    if (Of(a).kind != Object::Kind::kNumbers) throw std::logic_error("not a number array");
    return Of(a).numbers;
}

jsize JNICALL DriverJni::GetStringLength(JNIEnv*, jstring s) {
    return static_cast<jsize>(Of(s).text.size());
}

void JNICALL DriverJni::GetStringRegion(JNIEnv*, jstring s, jsize start, jsize length, jchar* out) {
    const std::u16string& text = Of(s).text;
    if (start < 0 || length < 0 ||
        static_cast<size_t>(start) + static_cast<size_t>(length) > text.size()) {
        throw std::logic_error("GetStringRegion out of bounds");
    }
    for (jsize i = 0; i < length; ++i) out[i] = static_cast<jchar>(text[static_cast<size_t>(start + i)]);
}

jstring JNICALL DriverJni::NewString(JNIEnv*, const jchar* units, jsize length) {
    return Self().String(
        std::u16string(reinterpret_cast<const char16_t*>(units), static_cast<size_t>(length)));
}

jclass JNICALL DriverJni::FindClass(JNIEnv*, const char* name) {
    if (std::string(name) != "java/lang/String") throw std::logic_error("FindClass of " + std::string(name));
    return &gStringClass;
}

jobjectArray JNICALL DriverJni::NewObjectArray(JNIEnv*, jsize length, jclass, jobject fill) {
    jobjectArray a = Self().ObjectArray(length);
    for (jobject& element : Of(a).objects) element = fill;
    return a;
}

void JNICALL DriverJni::SetObjectArrayElement(JNIEnv*, jobjectArray a, jsize index, jobject value) {
    Of(a).Check(Object::Kind::kObjects, index, 1);
    Of(a).objects[static_cast<size_t>(index)] = value;
}

void JNICALL DriverJni::DeleteLocalRef(JNIEnv*, jobject) {}

jsize JNICALL DriverJni::GetArrayLength(JNIEnv*, jarray a) { return static_cast<jsize>(Of(a).Length()); }

// int, long and boolean arrays share one element store, widened to 64 bits.
jlongArray JNICALL DriverJni::NewLongArray(JNIEnv*, jsize length) {
    Object& a = Self().Make();
    a.kind = Object::Kind::kNumbers;
    a.numbers.assign(static_cast<size_t>(length), 0);
    return reinterpret_cast<jlongArray>(static_cast<jobject>(&a));
}

jintArray JNICALL DriverJni::NewIntArray(JNIEnv* env, jsize length) {
    return reinterpret_cast<jintArray>(NewLongArray(env, length));
}

jbooleanArray JNICALL DriverJni::NewBooleanArray(JNIEnv* env, jsize length) {
    return reinterpret_cast<jbooleanArray>(NewLongArray(env, length));
}

void JNICALL DriverJni::SetIntArrayRegion(JNIEnv*, jintArray a, jsize start, jsize length, const jint* in) {
    Of(a).Check(Object::Kind::kNumbers, start, length);
    SetNumbers(Of(a).numbers, start, length, in);
}

void JNICALL DriverJni::SetLongArrayRegion(JNIEnv*, jlongArray a, jsize start, jsize length,
                                           const jlong* in) {
    Of(a).Check(Object::Kind::kNumbers, start, length);
    SetNumbers(Of(a).numbers, start, length, in);
}

void JNICALL DriverJni::SetBooleanArrayRegion(JNIEnv*, jbooleanArray a, jsize start, jsize length,
                                              const jboolean* in) {
    Of(a).Check(Object::Kind::kNumbers, start, length);
    SetNumbers(Of(a).numbers, start, length, in);
}

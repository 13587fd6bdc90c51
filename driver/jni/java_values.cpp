#include "driver/jni/java_values.h"

#include <limits>

#include "driver/handles/diagnostics.h"

namespace jov::driver::jni {

namespace {

// Whether Java can hold count elements in one array or string; a record
// says why not otherwise, so no length wraps into a negative jsize.
bool FitsJava(size_t count, const char* what) {
    if (count <= static_cast<size_t>(std::numeric_limits<jsize>::max())) return true;
    handles::KeepOwn(OwnDiagnostic(own::kBadLength, "A value of " + std::to_string(count) + " " +
                                                        what + " is longer than Java can hold"));
    return false;
}

}  // namespace

jint StatusOf(SQLRETURN rc) {
    switch (rc) {
        case SQL_SUCCESS: return kSuccess;
        case SQL_SUCCESS_WITH_INFO: return kSuccessWithInfo;
        case SQL_NO_DATA: return kNoData;
        case SQL_NEED_DATA: return kNeedData;
        default: return kError;
    }
}

jint NullArgument(const char* what) {
    handles::KeepOwn(OwnDiagnostic(own::kNullArgument, std::string(what) + " is null"));
    return kError;
}

bool ReadString(JNIEnv* env, jstring value, const char* what, Utf16* out) {
    if (value == nullptr) {
        NullArgument(what);
        return false;
    }
    const jsize length = env->GetStringLength(value);
    out->assign(static_cast<size_t>(length), u'\0');
    static_assert(sizeof(jchar) == sizeof(char16_t), "a jchar is one UTF-16 unit");
    if (length > 0) env->GetStringRegion(value, 0, length, reinterpret_cast<jchar*>(&(*out)[0]));
    return true;
}

jstring NewJavaString(JNIEnv* env, const Utf16& units) {
    return env->NewString(reinterpret_cast<const jchar*>(units.data()),
                          static_cast<jsize>(units.size()));
}

bool SetString(JNIEnv* env, jobjectArray array, const Utf16* units) {
    jstring s = nullptr;
    if (units != nullptr) {
        if (!FitsJava(units->size(), "characters")) return false;
        s = NewJavaString(env, *units);
        if (s == nullptr) return false;
    }
    env->SetObjectArrayElement(array, 0, s);
    if (s != nullptr) env->DeleteLocalRef(s);
    return true;
}

bool SetBytes(JNIEnv* env, jobjectArray array, const std::string* bytes) {
    jbyteArray out = nullptr;
    if (bytes != nullptr) {
        if (!FitsJava(bytes->size(), "bytes")) return false;
        out = env->NewByteArray(static_cast<jsize>(bytes->size()));
        if (out == nullptr) return false;
        env->SetByteArrayRegion(out, 0, static_cast<jsize>(bytes->size()),
                                reinterpret_cast<const jbyte*>(bytes->data()));
    }
    env->SetObjectArrayElement(array, 0, out);
    if (out != nullptr) env->DeleteLocalRef(out);
    return true;
}

bool HasRoom(JNIEnv* env, jarray array, const char* what, jsize count) {
    if (array != nullptr && env->GetArrayLength(array) >= count) return true;
    handles::KeepOwn(OwnDiagnostic(own::kNullArgument, std::string(what) + " must hold at least " +
                                                           std::to_string(count) + " elements"));
    return false;
}

void SetLong(JNIEnv* env, jlongArray array, int64_t value) {
    const jlong v = static_cast<jlong>(value);
    env->SetLongArrayRegion(array, 0, 1, &v);
}

void SetInt(JNIEnv* env, jintArray array, int32_t value) {
    const jint v = static_cast<jint>(value);
    env->SetIntArrayRegion(array, 0, 1, &v);
}

}  // namespace jov::driver::jni

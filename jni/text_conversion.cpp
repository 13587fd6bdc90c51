// PLACEHOLDER: replaced by the conversions.
#include "jni/text_conversion.h"
namespace jov {
int32_t JcharsToAnsi(char* target, int32_t, const jchar*, int32_t) { target[0] = 0; return 0; }
int32_t AnsiToJchars(jchar* target, int32_t, const char*, int32_t) { target[0] = 0; return 0; }
}  // namespace jov

// The open native's work, shared by JNIODBCopen and the open with a login
// timeout of JovOdbcExtras: the three texts are checked and converted whole
// (a text that holds U+0000 or does not fit is refused with a record before
// the driver is asked), "A:B:DSN" names DSN. Answers the identifier or -1.
#pragma once

#include <cstdint>

#include "jni.h"

namespace jov {

jint OpenFromJava(JNIEnv* env, jstring dataSource, jstring user, jstring password,
                  int32_t loginTimeoutSeconds);

}  // namespace jov

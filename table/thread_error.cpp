// The per-thread failure record; see thread_error.h.
#include "table/thread_error.h"

#include <cstring>
#include <type_traits>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/text_field.h"

namespace jov {

namespace {

struct ThreadErrorRecord {
    char message[kErrorMessageSize];
    char code[kErrorCodeSize];
    int32_t nativeError;
};
// Zero-filled storage with nothing to run at thread start or exit.
static_assert(std::is_trivial<ThreadErrorRecord>::value, "plain thread-local storage");

thread_local ThreadErrorRecord tRecord;

}  // namespace

void SetThreadError(const char* message, const char* code, int32_t nativeError) {
    CopyField(tRecord.message, sizeof tRecord.message, message);
    CopyField(tRecord.code, sizeof tRecord.code, code);
    tRecord.nativeError = nativeError;
}

void GetThreadError(char* message, char* code) {
    std::memcpy(message, tRecord.message, sizeof tRecord.message);
    std::memcpy(code, tRecord.code, sizeof tRecord.code);
}

int32_t GetThreadNativeError() { return tRecord.nativeError; }

}  // namespace jov

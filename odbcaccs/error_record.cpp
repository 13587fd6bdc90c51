// The object's own error record: the library's messages, the driver's
// diagnostics, and the copy that the data source table takes.
//
// Every write replaces the whole record under errorLock_, so a reader on
// another thread always sees two whole, terminated texts.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/text_field.h"

namespace jov {

namespace {

// SQLGetDiagRec's text buffer and the buffer length passed with it: a text of
// 510 bytes or more arrives as its first 509 bytes and a terminator.
constexpr int kDiagTextSize = 512;
constexpr SQLSMALLINT kDiagTextLimit = 510;
constexpr int kSqlStateSize = 6;

}  // namespace

void OdbcAccs::RecordError(const char* code, const char* format, ...) {
    char message[kErrorMessageSize];
    va_list args;
    va_start(args, format);
    std::vsnprintf(message, sizeof message, format, args);
    va_end(args);
    std::lock_guard<std::mutex> lock(errorLock_);
    CopyField(errorMessage, sizeof errorMessage, message);
    CopyField(errorCode, sizeof errorCode, code);
}

void OdbcAccs::GetError(char* message, char* code) {
    std::lock_guard<std::mutex> lock(errorLock_);
    std::memcpy(message, errorMessage, sizeof errorMessage);
    std::memcpy(code, errorCode, sizeof errorCode);
}

void OdbcAccs::StoreDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    SQLCHAR state[kSqlStateSize] = {};
    SQLCHAR text[kDiagTextSize] = {};
    SQLINTEGER nativeError = 0;
    SQLSMALLINT textLength = 0;
    SQLRETURN rc = SQLGetDiagRec(handleType, handle, 1, state, &nativeError, text,
                                 kDiagTextLimit, &textLength);
    if (!Succeeded(rc)) {
        state[0] = '\0';
        text[0] = '\0';
    } else if (textLength >= 0 && textLength < kDiagTextLimit) {
        text[textLength] = '\0';
    } else {
        text[kDiagTextLimit - 1] = '\0';  // the driver's own cut at 509 bytes
    }
    state[kSqlStateSize - 1] = '\0';
    std::lock_guard<std::mutex> lock(errorLock_);
    CopyField(errorMessage, sizeof errorMessage, reinterpret_cast<char*>(text));
    CopyField(errorCode, sizeof errorCode, reinterpret_cast<char*>(state));
}

}  // namespace jov

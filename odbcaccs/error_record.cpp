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

// SQLGetDiagRec's buffer length: a text of 510 bytes or more arrives as its
// first 509 bytes and a terminator.
constexpr SQLSMALLINT kDiagTextLimit = 510;
static_assert(kDiagTextLimit <= kErrorMessageSize, "the driver's text fits the record");

// Diagnostic record 1 of the handle; all empty when it has none.
DriverDiagnostic ReadDiagnostic(SQLSMALLINT handleType, SQLHANDLE handle) {
    DriverDiagnostic d{};
    SQLCHAR* text = reinterpret_cast<SQLCHAR*>(d.message);
    SQLSMALLINT textLength = 0;
    SQLINTEGER nativeError = 0;  // a long on Windows
    SQLRETURN rc = SQLGetDiagRec(handleType, handle, 1, reinterpret_cast<SQLCHAR*>(d.state),
                                 &nativeError, text, kDiagTextLimit, &textLength);
    if (!Succeeded(rc)) return DriverDiagnostic{};
    d.nativeError = static_cast<int32_t>(nativeError);
    if (textLength >= 0 && textLength < kDiagTextLimit) {
        d.message[textLength] = '\0';
    } else {
        d.message[kDiagTextLimit - 1] = '\0';  // the driver's own cut at 509 bytes
    }
    d.state[kSqlStateSize - 1] = '\0';
    return d;
}

__attribute__((format(printf, 2, 0))) void Format(char* message, const char* format,
                                                   va_list args) {
    std::vsnprintf(message, kErrorMessageSize, format, args);
}

}  // namespace

void OdbcAccs::WriteRecord(const char* message, const char* code) {
    std::lock_guard<std::mutex> lock(errorLock_);
    CopyField(errorMessage, sizeof errorMessage, message);
    CopyField(errorCode, sizeof errorCode, code);
}

void OdbcAccs::RecordError(const char* code, const char* format, ...) {
    char message[kErrorMessageSize];
    va_list args;
    va_start(args, format);
    Format(message, format, args);
    va_end(args);
    WriteRecord(message, code);
}

void OdbcAccs::GetError(char* message, char* code) {
    std::lock_guard<std::mutex> lock(errorLock_);
    std::memcpy(message, errorMessage, sizeof errorMessage);
    std::memcpy(code, errorCode, sizeof errorCode);
}

void OdbcAccs::StoreDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle) {
    DriverDiagnostic d = ReadDiagnostic(handleType, handle);
    WriteRecord(d.message, d.state);
}

}  // namespace jov

// One diagnostic record as Java receives it: the ODBC driver's own (SQLSTATE,
// native error, message decoded exactly) or the library's (its own SQLSTATE,
// native error 0). Text is UTF-16, as Java holds it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace jov::driver {

using Utf16 = std::u16string;

struct Diagnostic {
    std::string state;  // five ASCII characters
    int32_t nativeError = 0;
    Utf16 message;
};

// The library's own failures, by the SQLSTATE they carry.
namespace own {
constexpr char kGeneral[] = "HY000";
constexpr char kNullArgument[] = "HY009";
constexpr char kNotInRepertoire[] = "22021";
constexpr char kNoConnection[] = "08003";
constexpr char kOutOfMemory[] = "HY001";
constexpr char kBadLength[] = "HY090";
constexpr char kNotImplemented[] = "HYC00";
}  // namespace own

// An ASCII message as UTF-16 (the library's own texts are ASCII).
inline Utf16 AsciiText(const std::string& ascii) { return Utf16(ascii.begin(), ascii.end()); }

inline Diagnostic OwnDiagnostic(const char* state, const std::string& message) {
    return Diagnostic{state, 0, AsciiText(message)};
}

}  // namespace jov::driver

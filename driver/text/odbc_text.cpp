#include "driver/text/odbc_text.h"

#include <algorithm>
#include <cstring>

#include "driver/text/refusal.h"
#include "driver/text/utf8.h"
#include "driver/text/windows31j.h"

namespace jov::driver::text {

namespace {

// The first try at a name, a message or an information text; a longer one is
// read again with the length the driver reported.
constexpr SQLSMALLINT kFirstTextBytes = 512;
constexpr SQLSMALLINT kMaxTextBytes = 32766;
constexpr SQLSMALLINT kStateBufferSize = 6;

// How a call counts its buffer and the length it reports.
enum class Counts { kBytes, kUnits };

// Reads a text of unknown length: call(buffer, capacity, &reported) with the
// capacity and reported length counted as the call counts them, retried once
// with room for what the driver reported. out gets the bytes without the
// terminator.
template <typename Call>
SQLRETURN ReadText(size_t unitBytes, Counts counts, std::string* out, Call call) {
    const SQLSMALLINT per = counts == Counts::kBytes ? 1 : static_cast<SQLSMALLINT>(unitBytes);
    SQLSMALLINT capacityBytes = kFirstTextBytes;
    for (int attempt = 0;; ++attempt) {
        out->assign(static_cast<size_t>(capacityBytes) + unitBytes, '\0');
        SQLSMALLINT reported = 0;
        const SQLRETURN rc = call(&(*out)[0], static_cast<SQLSMALLINT>(capacityBytes / per),
                                  &reported);
        if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
            out->clear();
            return rc;
        }
        const size_t needBytes = static_cast<size_t>(std::max<SQLSMALLINT>(reported, 0)) *
                                 static_cast<size_t>(per);
        const size_t room = static_cast<size_t>(capacityBytes) - unitBytes;
        if (needBytes <= room || attempt == 1 || capacityBytes >= kMaxTextBytes) {
            out->resize(std::min(needBytes, room));
            return rc;
        }
        capacityBytes = static_cast<SQLSMALLINT>(
            std::min<size_t>(needBytes + unitBytes, static_cast<size_t>(kMaxTextBytes)));
    }
}

#ifdef _WIN32
// The wide calls get a Java string's units as they are: a SQLWCHAR must be
// one UTF-16 unit, as a jchar is (java_values.cpp asserts that half).
static_assert(sizeof(SQLWCHAR) == sizeof(char16_t) && alignof(SQLWCHAR) == alignof(char16_t),
              "a SQLWCHAR is one UTF-16 unit, a jchar");

SQLWCHAR* Units(const std::string& encoded) {
    return reinterpret_cast<SQLWCHAR*>(const_cast<char*>(encoded.data()));
}
SQLINTEGER UnitCount(const std::string& encoded) {
    return static_cast<SQLINTEGER>(encoded.size() / sizeof(SQLWCHAR));
}
#endif

SQLCHAR* Bytes(const std::string& encoded) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(encoded.data()));
}

SQLINTEGER ByteCount(const std::string& encoded) { return static_cast<SQLINTEGER>(encoded.size()); }

}  // namespace

bool Codec::TextIsUtf8() const { return charset_ == Charset::kUnicode && !Wide(); }

bool Codec::Wide() const {
#ifdef _WIN32
    return charset_ == Charset::kUnicode;
#else
    return false;
#endif
}

bool Codec::EncodeValue(const Utf16& text, std::string* out, Diagnostic* failure) const {
    if (charset_ == Charset::kWindows31j) return Utf16ToWindows31j(text, out, failure);
    if (!Wide()) return Utf16ToUtf8(text, out, failure);
    out->append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(char16_t));
    return true;
}

bool Codec::EncodeCommand(const Utf16& text, std::string* out, Diagnostic* failure) const {
    const size_t nul = text.find(u'\0');
    if (nul != Utf16::npos) {
        *failure = NulCharacter(nul);
        return false;
    }
    return EncodeValue(text, out, failure);
}

Utf16 Codec::Decode(const std::string& bytes) const {
    if (charset_ == Charset::kWindows31j) return Windows31jToUtf16(bytes.data(), bytes.size());
    if (!Wide()) return Utf8ToUtf16(bytes.data(), bytes.size());
    Utf16 units(bytes.size() / sizeof(char16_t), u'\0');
    std::memcpy(&units[0], bytes.data(), units.size() * sizeof(char16_t));
    return units;
}

SQLSMALLINT Codec::TextCType() const { return Wide() ? SQL_C_WCHAR : SQL_C_CHAR; }

size_t Codec::UnitBytes() const { return Wide() ? sizeof(char16_t) : 1; }

SQLSMALLINT Codec::TextSqlType(SQLSMALLINT requested) const {
    if (!Wide()) return requested;
    switch (requested) {
        case SQL_CHAR: return SQL_WCHAR;
        case SQL_VARCHAR: return SQL_WVARCHAR;
        case SQL_LONGVARCHAR: return SQL_WLONGVARCHAR;
        default: return requested;
    }
}

SQLRETURN Codec::DriverConnect(SQLHDBC dbc, const std::string& encoded) const {
#ifdef _WIN32
    if (Wide()) {
        return SQLDriverConnectW(dbc, nullptr, Units(encoded),
                                 static_cast<SQLSMALLINT>(UnitCount(encoded)), nullptr, 0,
                                 nullptr, SQL_DRIVER_NOPROMPT);
    }
#endif
    return SQLDriverConnect(dbc, nullptr, Bytes(encoded),
                            static_cast<SQLSMALLINT>(ByteCount(encoded)), nullptr, 0, nullptr,
                            SQL_DRIVER_NOPROMPT);
}

SQLRETURN Codec::Prepare(SQLHSTMT stmt, const std::string& encoded) const {
#ifdef _WIN32
    if (Wide()) return SQLPrepareW(stmt, Units(encoded), UnitCount(encoded));
#endif
    return SQLPrepare(stmt, Bytes(encoded), ByteCount(encoded));
}

SQLRETURN Codec::ExecDirect(SQLHSTMT stmt, const std::string& encoded) const {
#ifdef _WIN32
    if (Wide()) return SQLExecDirectW(stmt, Units(encoded), UnitCount(encoded));
#endif
    return SQLExecDirect(stmt, Bytes(encoded), ByteCount(encoded));
}

SQLRETURN Codec::DiagRec(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                         Diagnostic* out) const {
    std::string state(static_cast<size_t>(kStateBufferSize) * UnitBytes(), '\0');
    SQLINTEGER native = 0;
    std::string message;
    const SQLRETURN rc = ReadText(
        UnitBytes(), Counts::kUnits, &message,
        [&](char* buffer, SQLSMALLINT capacity, SQLSMALLINT* reported) -> SQLRETURN {
#ifdef _WIN32
            if (Wide()) {
                return SQLGetDiagRecW(handleType, handle, record, Units(state), &native,
                                      reinterpret_cast<SQLWCHAR*>(buffer), capacity, reported);
            }
#endif
            return SQLGetDiagRec(handleType, handle, record, Bytes(state), &native,
                                 reinterpret_cast<SQLCHAR*>(buffer), capacity, reported);
        });
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) return rc;
    const Utf16 decodedState = Decode(state);
    out->state.assign(decodedState.begin(),
                      std::find(decodedState.begin(), decodedState.end(), u'\0'));
    out->nativeError = native;
    out->message = Decode(message);
    return rc;
}

SQLRETURN Codec::DescribeColumn(SQLHSTMT stmt, SQLUSMALLINT column, ColumnShape* out) const {
    std::string name;
    const SQLRETURN rc = ReadText(
        UnitBytes(), Counts::kUnits, &name,
        [&](char* buffer, SQLSMALLINT capacity, SQLSMALLINT* reported) -> SQLRETURN {
#ifdef _WIN32
            if (Wide()) {
                return SQLDescribeColW(stmt, column, reinterpret_cast<SQLWCHAR*>(buffer), capacity,
                                       reported, &out->sqlType, &out->size, &out->digits,
                                       &out->nullable);
            }
#endif
            return SQLDescribeCol(stmt, column, reinterpret_cast<SQLCHAR*>(buffer), capacity,
                                  reported, &out->sqlType, &out->size, &out->digits,
                                  &out->nullable);
        });
    out->name = Decode(name);
    return rc;
}

SQLRETURN Codec::ColumnText(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field,
                            Utf16* out) const {
    std::string text;
    const SQLRETURN rc = ReadText(
        UnitBytes(), Counts::kBytes, &text,
        [&](char* buffer, SQLSMALLINT capacity, SQLSMALLINT* reported) -> SQLRETURN {
#ifdef _WIN32
            if (Wide()) return SQLColAttributeW(stmt, column, field, buffer, capacity, reported, nullptr);
#endif
            return SQLColAttribute(stmt, column, field, buffer, capacity, reported, nullptr);
        });
    *out = Decode(text);
    return rc;
}

SQLRETURN Codec::InfoText(SQLHDBC dbc, SQLUSMALLINT infoType, Utf16* out) const {
    std::string text;
    const SQLRETURN rc = ReadText(
        UnitBytes(), Counts::kBytes, &text,
        [&](char* buffer, SQLSMALLINT capacity, SQLSMALLINT* reported) -> SQLRETURN {
#ifdef _WIN32
            if (Wide()) return SQLGetInfoW(dbc, infoType, buffer, capacity, reported);
#endif
            return SQLGetInfo(dbc, infoType, buffer, capacity, reported);
        });
    *out = Decode(text);
    return rc;
}

}  // namespace jov::driver::text

// The one place that chooses how text crosses to the ODBC driver: narrow
// (SQLCHAR) calls or wide (SQLWCHAR) calls, and in which encoding. A
// connection's charset is fixed when it opens.
//
//                  Linux (unixODBC)             Windows
//   kUnicode       narrow calls, UTF-8          wide calls, UTF-16 (= jchar)
//   kWindows31j    narrow calls, Windows-31J    narrow calls, Windows-31J
//
// Why: on Linux the narrow functions carrying UTF-8 are exact on every
// driver, while unixODBC maps wide calls to ANSI-only drivers through a
// lossy, locale-bound UCS-2 conversion; on Windows the driver manager
// converts narrow calls with the machine's code page, and the wide calls are
// exact. Every call here that sends text encodes it whole first and refuses
// what cannot be sent; every text it reads is decoded whole, exactly.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "driver/diagnostic.h"
#include "driver/odbc.h"

namespace jov::driver::text {

enum class Charset : int32_t { kUnicode = 0, kWindows31j = 1 };

// A column's description as SQLDescribeCol gives it.
struct ColumnShape {
    Utf16 name;
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
};

// ODBC's catalogue functions, in the order of OdbcNatives' CATALOG_* numbers.
enum class CatalogFunction : int32_t {
    kTables,
    kColumns,
    kPrimaryKeys,
    kForeignKeys,
    kStatistics,
    kTypeInfo,
    kProcedures,
    kProcedureColumns,
    kTablePrivileges,
    kColumnPrivileges,
    kSpecialColumns,
    kCount
};

// How many names and how many numbers a catalogue function takes.
struct CatalogArity {
    size_t names;
    size_t numbers;
};
CatalogArity ArityOf(CatalogFunction function);

// One catalogue call: names already encoded for the connection (nullopt is a
// NULL pointer), in the order the function lists them, its numbers after.
// Holds exactly ArityOf(function) of each, every name shorter than
// kMaxCatalogNameUnits units.
struct CatalogCall {
    CatalogFunction function = CatalogFunction::kTables;
    std::vector<std::optional<std::string>> names;
    std::vector<SQLUSMALLINT> numbers;
};

// A name's length crosses as an SQLSMALLINT count of units.
constexpr size_t kMaxCatalogNameUnits = 32767;

class Codec {
  public:
    explicit Codec(Charset charset) : charset_(charset) {}
    Charset charset() const { return charset_; }

    // Appends the bytes text sends as (for wide calls, its UTF-16 units), or
    // refuses an unencodable character. Values may hold U+0000 (they travel
    // with their length).
    bool EncodeValue(const Utf16& text, std::string* out, Diagnostic* failure) const;
    // The same for SQL text and connection strings, where U+0000 is refused:
    // drivers read those as terminated strings.
    bool EncodeCommand(const Utf16& text, std::string* out, Diagnostic* failure) const;
    // The text of value bytes read as TextCType().
    Utf16 Decode(const std::string& bytes) const;
    // Whether value bytes read as TextCType() are UTF-8 (narrow calls of the
    // Unicode charset), which Java decodes as fast as the library.
    bool TextIsUtf8() const;

    // The C type text values are bound and read as, and its unit's size (the
    // terminator SQLGetData writes).
    SQLSMALLINT TextCType() const;
    size_t UnitBytes() const;
    // The SQL type a text parameter declares for the caller's: with wide
    // calls the character types become their wide forms.
    SQLSMALLINT TextSqlType(SQLSMALLINT requested) const;

    SQLRETURN DriverConnect(SQLHDBC dbc, const std::string& encoded) const;
    SQLRETURN Prepare(SQLHSTMT stmt, const std::string& encoded) const;
    SQLRETURN ExecDirect(SQLHSTMT stmt, const std::string& encoded) const;
    // Record `record` of handle; SQL_NO_DATA after the last.
    SQLRETURN DiagRec(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record,
                      Diagnostic* out) const;
    SQLRETURN DescribeColumn(SQLHSTMT stmt, SQLUSMALLINT column, ColumnShape* out) const;
    SQLRETURN ColumnText(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field,
                         Utf16* out) const;
    SQLRETURN InfoText(SQLHDBC dbc, SQLUSMALLINT infoType, Utf16* out) const;
    SQLRETURN Catalog(SQLHSTMT stmt, const CatalogCall& call) const;

  private:
    bool Wide() const;
    Charset charset_;
};

}  // namespace jov::driver::text

// Reading the current row's value of a column whole, whatever its length:
// SQLGetData in chunks into one buffer that grows with the value (to the
// length the driver announces, or geometrically where it cannot tell), so
// memory stays proportional to the value. Text is decoded only after the
// chunks are joined: drivers cut chunks inside characters.
#pragma once

#include <string>

#include "driver/handles/statement.h"

namespace jov::driver::values {

// The value's bytes as cType (terminatorBytes: what SQLGetData appends to
// each chunk, 1 for SQL_C_CHAR, 2 for SQL_C_WCHAR, 0 for binary). isNull
// tells SQL NULL (bytes then empty).
SQLRETURN ReadWhole(handles::Statement& statement, SQLUSMALLINT column, SQLSMALLINT cType,
                    size_t terminatorBytes, std::string* bytes, bool* isNull);

// The value's text in the statement's encoding, decoded.
SQLRETURN ReadText(handles::Statement& statement, SQLUSMALLINT column, Utf16* text,
                   bool* isNull);

// A fixed-width value (SQL_C_SBIGINT, SQL_C_DOUBLE) into target.
SQLRETURN ReadFixed(handles::Statement& statement, SQLUSMALLINT column, SQLSMALLINT cType,
                    void* target, size_t size, bool* isNull);

}  // namespace jov::driver::values

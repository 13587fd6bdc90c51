// The ODBC 3 API as the library calls it: the ANSI functions of the driver
// manager (unixODBC on Linux, ODBC32 on Windows). Lengths, indicators and
// integer attributes that ODBC writes are
// SQLLEN/SQLULEN, which are 8 bytes on 64-bit platforms: never pass a narrower
// variable for them.
#pragma once

#include "platform/win32.h"  // on Windows, <windows.h> must come before the ODBC headers

#include <sql.h>
#include <sqlext.h>

namespace jov {

// SQL_SUCCESS and SQL_SUCCESS_WITH_INFO are the only answers that count as success.
inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

}  // namespace jov

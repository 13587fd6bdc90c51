// The calling thread's diagnostics: every record of its latest failing or
// warning call, the ODBC driver's and the library's own, until Java takes
// them. Each thread has its own, so a thread never reads another's failure.
#pragma once

#include <vector>

#include "driver/diagnostic.h"
#include "driver/odbc.h"
#include "driver/text/odbc_text.h"

namespace jov::driver::handles {

// Forgets the thread's records; every native starts with this.
void ClearDiagnostics();
// Keeps one record of the library's own.
void KeepOwn(Diagnostic record);
// Hands the thread's records over and forgets them.
std::vector<Diagnostic> TakeDiagnostics();

// Keeps every record a call left on handle when it answered an error or a
// warning (SQL_INVALID_HANDLE gets a record of its own); returns rc.
SQLRETURN Checked(SQLRETURN rc, const text::Codec& codec, SQLSMALLINT handleType,
                  SQLHANDLE handle);

}  // namespace jov::driver::handles

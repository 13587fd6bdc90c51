// The calling thread's own last failure, kept beside the table's process-wide
// record.
//
// DataSourceTable::SetError, the one place that writes the table's record,
// writes the calling thread's copy too, with the same texts: a thread reads
// its own latest failure while other threads fail at the same moment. Where
// an ODBC call's diagnostic lies behind the failure, the thread's copy holds
// that diagnostic (SQLSTATE, the driver's text, its native error) even where
// the table's record keeps a text of the library's own (DataSourceTable::
// CopyErrorFrom); otherwise the native error is 0. A thread starts with two
// empty texts and 0; a success clears nothing, reading clears nothing.
//
// Threads: each thread touches only its own record, so nothing is locked. The
// record is thread-local storage that is trivially constructed and destroyed:
// no constructor runs when a thread first fails and no destructor when it
// ends, also in the Windows DLL.
#pragma once

#include <cstdint>

namespace jov {

// Stores at most kErrorMessageSize - 1 bytes of message and kErrorCodeSize - 1
// of code, cut by bytes as the table's record cuts them.
void SetThreadError(const char* message, const char* code, int32_t nativeError);
// Copies the calling thread's record; message holds kErrorMessageSize bytes,
// code kErrorCodeSize.
void GetThreadError(char* message, char* code);
int32_t GetThreadNativeError();

}  // namespace jov

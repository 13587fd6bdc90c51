#include "driver/handles/diagnostics.h"

#include <utility>

namespace jov::driver::handles {

namespace {

// Enough for any driver's chain of records; a driver that never answers
// SQL_NO_DATA cannot hold a call in a loop.
constexpr SQLSMALLINT kMaxRecords = 1000;

std::vector<Diagnostic>& ThreadRecords() {
    thread_local std::vector<Diagnostic> records;
    return records;
}

}  // namespace

void ClearDiagnostics() { ThreadRecords().clear(); }

void KeepOwn(Diagnostic record) { ThreadRecords().push_back(std::move(record)); }

std::vector<Diagnostic> TakeDiagnostics() {
    std::vector<Diagnostic> taken;
    taken.swap(ThreadRecords());
    return taken;
}

SQLRETURN Checked(SQLRETURN rc, const text::Codec& codec, SQLSMALLINT handleType,
                  SQLHANDLE handle) {
    if (rc == SQL_INVALID_HANDLE) {
        KeepOwn(OwnDiagnostic(own::kGeneral, "the ODBC driver manager refused the handle"));
        return rc;
    }
    if (rc != SQL_ERROR && rc != SQL_SUCCESS_WITH_INFO) return rc;
    for (SQLSMALLINT record = 1; record <= kMaxRecords; ++record) {
        Diagnostic d;
        const SQLRETURN got = codec.DiagRec(handleType, handle, record, &d);
        if (got != SQL_SUCCESS && got != SQL_SUCCESS_WITH_INFO) break;
        ThreadRecords().push_back(std::move(d));
    }
    return rc;
}

}  // namespace jov::driver::handles

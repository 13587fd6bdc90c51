#include "driver/handles/environment.h"

#include <cstdint>
#include <mutex>

#include "driver/handles/diagnostics.h"

namespace jov::driver::handles {

namespace {

SQLRETURN SetVersion(SQLHENV env, uintptr_t version) {
    return SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(version), 0);
}

SQLHENV Allocate() {
    SQLHENV env = SQL_NULL_HENV;
    const SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        KeepOwn(OwnDiagnostic(own::kOutOfMemory, "the ODBC environment could not be allocated"));
        return SQL_NULL_HENV;
    }
    // ODBC 3.0, not 3.80: the driver uses nothing newer, and unixODBC warns at
    // every connect to a 3.0 driver (sqliteodbc, psqlODBC) that the requested
    // version is not supported, a warning every connection would carry.
    SQLRETURN set = SetVersion(env, SQL_OV_ODBC3);
    if (set != SQL_SUCCESS && set != SQL_SUCCESS_WITH_INFO) {
        Checked(set, text::Codec(text::Charset::kUnicode), SQL_HANDLE_ENV, env);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
        return SQL_NULL_HENV;
    }
    return env;
}

std::mutex gLock;
SQLHENV gEnvironment = SQL_NULL_HENV;

}  // namespace

SQLHENV SharedEnvironment() {
    std::lock_guard<std::mutex> guard(gLock);
    if (gEnvironment == SQL_NULL_HENV) gEnvironment = Allocate();
    return gEnvironment;
}

void ForgetSharedEnvironment() {
    std::lock_guard<std::mutex> guard(gLock);
    gEnvironment = SQL_NULL_HENV;
}

}  // namespace jov::driver::handles

// Bounding what a driver may keep waiting on: the query timeout given to each
// statement, the connection timeout, and cancelling from another thread.
//
// Nothing here changes a call while no timeout is set: AllocStatement then
// allocates exactly as before, and publishing a running statement calls no
// driver function.
#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"

namespace jov {

namespace {

SQLPOINTER AsAttribute(int32_t seconds) {
    return reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(seconds));
}

}  // namespace

int32_t OdbcAccs::SetQueryTimeout(int32_t seconds) {
    if (seconds < 0) {
        RecordError("", kMsgNegativeTimeout, "Query", seconds);
        return -1;
    }
    queryTimeout_.store(seconds, std::memory_order_relaxed);
    return 0;
}

int32_t OdbcAccs::SetConnectionTimeout(int32_t seconds) {
    if (seconds < 0) {
        RecordError("", kMsgNegativeTimeout, "Connection", seconds);
        return -1;
    }
    if (Succeeded(SQLSetConnectAttr(hDbc, SQL_ATTR_CONNECTION_TIMEOUT, AsAttribute(seconds),
                                    SQL_IS_UINTEGER))) {
        return 0;
    }
    StoreDiagnostics(SQL_HANDLE_DBC, hDbc);
    return -1;
}

int32_t OdbcAccs::Cancel() {
    std::lock_guard<std::mutex> lock(runningLock_);
    int32_t result = 0;
    for (SQLHSTMT stmt : running_) {
        if (stmt == SQL_NULL_HSTMT) continue;
        if (!Succeeded(SQLCancel(stmt))) {
            StoreDiagnostics(SQL_HANDLE_STMT, stmt);
            return -1;
        }
        result = 1;
    }
    return result;
}

// A refused timeout leaves the statement as the driver made it: the caller
// that needs the bound keeps its own watch (the JDBC driver cancels).
SQLRETURN OdbcAccs::AllocStatement(SQLHSTMT* stmt) {
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, hDbc, stmt);
    const int32_t seconds = queryTimeout_.load(std::memory_order_relaxed);
    if (Succeeded(rc) && seconds > 0) {
        SQLSetStmtAttr(*stmt, SQL_ATTR_QUERY_TIMEOUT, AsAttribute(seconds), SQL_IS_UINTEGER);
    }
    return rc;
}

SQLRETURN OdbcAccs::ExecuteRunning(RunKind kind, SQLHSTMT stmt, SQLCHAR* sql) {
    {
        std::lock_guard<std::mutex> lock(runningLock_);
        running_[kind] = stmt;
    }
    SQLRETURN rc = SQLExecDirect(stmt, sql, SQL_NTS);
    std::lock_guard<std::mutex> lock(runningLock_);
    running_[kind] = SQL_NULL_HSTMT;
    return rc;
}

}  // namespace jov

// Connection lifecycle of an OdbcAccs: construction, connecting and
// disconnecting, auto-commit and transactions, and the release of cursors and
// catalogues.
//
// Handles are released in the reverse order of their allocation: statements,
// disconnect, connection, environment. A failed open releases everything it
// allocated (through OdbcClose) after reading the driver's diagnostics, so an
// object that is not open holds nothing. An open publishes openOk only once it
// has succeeded whole, so no other thread reaches an object that a failed open
// is closing.
//
// Closing always ends the connection: what was not committed is rolled back
// before the disconnect (a driver refuses to disconnect in a transaction), and
// whatever the driver answers the object ends closed, holding nothing.
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"
#include "platform/heap.h"

namespace jov {

OdbcAccs::OdbcAccs()
    : errorMessage{},
      errorCode{},
      hEnv(SQL_NULL_HENV),
      hDbc(SQL_NULL_HDBC),
      connected(0),
      hStmt{},
      cursorInUse{},
      rowBuffer(nullptr),
      openOk(0),
      dataSourceName{},
      dateStyle(kDefaultDateStyle),
      lastCursorHandle(-1),
      columns{},
      columnCount{} {
    ClearColumnTables();
}

void OdbcAccs::ClearColumnTables() {
    for (int h = 0; h <= kMaxCursors; ++h) {
        columns[h] = nullptr;
        columnCount[h] = 0;
    }
}

namespace {

// Byte length of a text as SQLConnect takes it.
SQLSMALLINT TextLength(const char* text) { return static_cast<SQLSMALLINT>(std::strlen(text)); }

SQLCHAR* AsSql(const char* text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text));
}

}  // namespace

int32_t OdbcAccs::OdbcOpen(const char* dataSource, const char* user, const char* password) {
    BusyGuard guard(openBusy);
    if (IsOpenOk() == 1) {
        if (std::strcmp(dataSourceName, dataSource) == 0) return 1;
        RecordError(kCodeAlreadyOpen, kMsgAlreadyOpen, dataSourceName);
        return 0;
    }
    ClearColumnTables();
    hEnv = SQL_NULL_HENV;
    hDbc = SQL_NULL_HDBC;
    for (int h = 0; h <= kMaxCursors; ++h) {
        hStmt[h] = SQL_NULL_HSTMT;
        cursorInUse[h] = 0;
    }
    rowBuffer = nullptr;
    connected = 0;
    openOk.store(0);

    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv))) {
        StoreDiagnostics(SQL_HANDLE_ENV, hEnv);
        hEnv = SQL_NULL_HENV;
        return 0;
    }
    if (!Succeeded(SQLSetEnvAttr(hEnv, SQL_ATTR_ODBC_VERSION,
                                 reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), SQL_IS_INTEGER))) {
        StoreDiagnostics(SQL_HANDLE_ENV, hEnv);
        OdbcClose();
        return 0;
    }
    hDbc = SQL_NULL_HDBC;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_DBC, hEnv, &hDbc))) {
        StoreDiagnostics(SQL_HANDLE_ENV, hEnv);
        hDbc = SQL_NULL_HDBC;
        OdbcClose();
        return 0;
    }
    if (!Succeeded(SQLConnect(hDbc, AsSql(dataSource), TextLength(dataSource), AsSql(user),
                              TextLength(user), AsSql(password), TextLength(password)))) {
        StoreDiagnostics(SQL_HANDLE_DBC, hDbc);
        OdbcClose();
        return 0;
    }
    connected = 1;
    std::strncpy(dataSourceName, dataSource, sizeof dataSourceName - 1);
    dataSourceName[sizeof dataSourceName - 1] = '\0';
    StripBlanks(dataSourceName);
    if (!Succeeded(SetCursorType())) {
        StoreDiagnostics(SQL_HANDLE_DBC, hDbc);
        OdbcClose();
        return 0;
    }
    SetAutoCommit(1);
    openOk.store(1);
    return 1;
}

void OdbcAccs::OdbcClose() {
    BusyGuard guard(closeBusy);
    for (int32_t h = 1; h <= kMaxCursors; ++h) {
        CloseCursor(h);
        if (hStmt[h] != SQL_NULL_HSTMT) {
            FreeStatement(hStmt[h]);
            hStmt[h] = SQL_NULL_HSTMT;
        }
    }
    EndConnection();
    hDbc = SQL_NULL_HDBC;
    hEnv = SQL_NULL_HENV;
    connected = 0;
    openOk.store(0);
    for (int32_t h = 1; h <= kMaxCursors; ++h) FreeColumns(h);
    FreeBytes(rowBuffer);
    rowBuffer = nullptr;
}

// Rolls back, disconnects and frees the connection and its environment, each
// step attempted whatever the one before answered. Only a driver that refuses
// the disconnect even after the rollback keeps its connection (no ODBC call
// frees a connected handle); the object lets go of it all the same.
void OdbcAccs::EndConnection() {
    if (hDbc != SQL_NULL_HDBC && connected == 1) {
        SQLTransact(hEnv, hDbc, SQL_ROLLBACK);
        SQLDisconnect(hDbc);
    }
    if (hDbc != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, hDbc);
    if (hEnv != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, hEnv);
}

// A driver refuses (HY010) to free a statement left still executing or waiting
// for data (SQL_STILL_EXECUTING, SQL_NEED_DATA); SQLCancel ends that state, so
// a refused free is cancelled and tried again.
void OdbcAccs::FreeStatement(SQLHSTMT stmt) {
    if (Succeeded(SQLFreeHandle(SQL_HANDLE_STMT, stmt))) return;
    SQLCancel(stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
}

SQLRETURN OdbcAccs::SetCursorType() {
    return SQLSetConnectOption(hDbc, SQL_CURSOR_TYPE, SQL_CURSOR_DYNAMIC);
}

void OdbcAccs::SetAutoCommit(int32_t on) {
    if (hDbc == SQL_NULL_HDBC || connected != 1) return;
    SQLSetConnectOption(hDbc, SQL_AUTOCOMMIT, on == 1 ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF);
}

int32_t OdbcAccs::GetAutoCommit() {
    if (hDbc == SQL_NULL_HDBC || connected != 1) return 1;
    // The driver writes an SQLULEN; it starts non-zero so that a failed read
    // answers "on".
    SQLULEN value = SQL_AUTOCOMMIT_ON;
    SQLGetConnectOption(hDbc, SQL_AUTOCOMMIT, &value);
    return value == 0 ? 0 : 1;
}

int32_t OdbcAccs::Transact(int32_t commit) {
    if (hEnv == SQL_NULL_HENV) return 0;
    SQLUSMALLINT type = commit != 0 ? SQL_COMMIT : SQL_ROLLBACK;
    if (Succeeded(SQLTransact(hEnv, hDbc, type))) return 0;
    StoreDiagnostics(SQL_HANDLE_DBC, hDbc);
    return -1;
}

void OdbcAccs::CloseCursor(int32_t h) {
    if (!IsCursorHandle(h)) return;
    std::unique_lock<CursorLock> hold(cursorLocks_[h]);
    CloseCursorHeld(h);
}

void OdbcAccs::CloseCursorHeld(int32_t h) {
    if (cursorInUse[h] == 1) {
        if (hStmt[h] != SQL_NULL_HSTMT) {
            SQLCloseCursor(hStmt[h]);
            FreeStatement(hStmt[h]);
        }
        hStmt[h] = SQL_NULL_HSTMT;
        FreeColumns(h);
    }
    cursorInUse[h] = 0;
}

void OdbcAccs::FreeColumns(int32_t h) {
    ColumnInfo* catalogue = GetColumns(h);
    if (catalogue == nullptr) return;
    for (int32_t i = 0; i < columnCount[h]; ++i) FreeBytes(catalogue[i].data);
    FreeBytes(catalogue);
    columns[h] = nullptr;
    columnCount[h] = 0;
}

}  // namespace jov

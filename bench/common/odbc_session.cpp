#include "bench/common/odbc_session.h"

#include <cstdio>

namespace jov::bench {

namespace {

SQLCHAR* Sql(const std::string& text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str()));
}

}  // namespace

void ReportDiagnostics(const char* what, SQLSMALLINT handleType, SQLHANDLE handle) {
    SQLCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLCHAR text[1024] = {};
    SQLSMALLINT length = 0;
    if (!Ok(SQLGetDiagRec(handleType, handle, 1, state, &nativeError, text, sizeof text,
                          &length))) {
        std::fprintf(stderr, "%s: failed (no diagnostic record)\n", what);
        return;
    }
    std::fprintf(stderr, "%s: %s %s\n", what, reinterpret_cast<char*>(state),
                 reinterpret_cast<char*>(text));
}

OdbcSession::~OdbcSession() {
    if (connected_) SQLDisconnect(hDbc_);
    if (hDbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, hDbc_);
    if (hEnv_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, hEnv_);
}

bool OdbcSession::Connect(const std::string& dataSource, const std::string& user,
                          const std::string& password) {
    if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &hEnv_))) return false;
    SQLSetEnvAttr(hEnv_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    if (!Ok(SQLAllocHandle(SQL_HANDLE_DBC, hEnv_, &hDbc_))) return false;
    SQLRETURN rc =
        SQLConnect(hDbc_, Sql(dataSource), SQL_NTS, Sql(user), SQL_NTS, Sql(password), SQL_NTS);
    if (!Ok(rc)) {
        ReportDiagnostics(("connect " + dataSource).c_str(), SQL_HANDLE_DBC, hDbc_);
        return false;
    }
    connected_ = true;
    SQLSetConnectOption(hDbc_, SQL_CURSOR_TYPE, SQL_CURSOR_DYNAMIC);
    return SetAutoCommit(true);
}

bool OdbcSession::SetAutoCommit(bool on) {
    SQLRETURN rc = SQLSetConnectAttr(
        hDbc_, SQL_ATTR_AUTOCOMMIT,
        reinterpret_cast<SQLPOINTER>(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
    if (!Ok(rc)) ReportDiagnostics("auto-commit", SQL_HANDLE_DBC, hDbc_);
    return Ok(rc);
}

bool OdbcSession::Commit() {
    SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, hDbc_, SQL_COMMIT);
    if (!Ok(rc)) ReportDiagnostics("commit", SQL_HANDLE_DBC, hDbc_);
    return Ok(rc);
}

bool OdbcSession::Execute(const std::string& sql) {
    Statement statement(hDbc_);
    if (statement.get() == SQL_NULL_HSTMT) return false;
    SQLRETURN rc = SQLExecDirect(statement.get(), Sql(sql), SQL_NTS);
    if (!Ok(rc) && rc != SQL_NO_DATA) {
        ReportDiagnostics(sql.substr(0, 60).c_str(), SQL_HANDLE_STMT, statement.get());
        return false;
    }
    return true;
}

bool OdbcSession::QueryInteger(const std::string& sql, long* value, bool quiet) {
    Statement statement(hDbc_);
    if (statement.get() == SQL_NULL_HSTMT) return false;
    SQLRETURN rc = SQLExecDirect(statement.get(), Sql(sql), SQL_NTS);
    if (Ok(rc)) rc = SQLFetch(statement.get());
    SQLINTEGER number = 0;
    SQLLEN indicator = 0;
    if (Ok(rc)) rc = SQLGetData(statement.get(), 1, SQL_C_SLONG, &number, 0, &indicator);
    if (!Ok(rc) || indicator == SQL_NULL_DATA) {
        if (!quiet) ReportDiagnostics(sql.c_str(), SQL_HANDLE_STMT, statement.get());
        return false;
    }
    *value = number;
    return true;
}

Statement::Statement(SQLHDBC connection) {
    if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, connection, &hStmt_))) {
        ReportDiagnostics("allocate statement", SQL_HANDLE_DBC, connection);
        hStmt_ = SQL_NULL_HSTMT;
    }
}

Statement::~Statement() {
    if (hStmt_ != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, hStmt_);
}

}  // namespace jov::bench

// OdbcSession: one ODBC connection of a benchmark tool, straight through the
// driver manager (no part of the library). It owns its environment and
// connection handles and frees them in reverse order; statements are the
// caller's, freed before the session ends.
//
// Failures print the driver's diagnostic record to stderr and answer false:
// the tools stop at the first one, there is nothing to recover.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace jov::bench {

inline bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Prints "what: SQLSTATE message" of diagnostic record 1 of handle to stderr.
void ReportDiagnostics(const char* what, SQLSMALLINT handleType, SQLHANDLE handle);

class OdbcSession {
public:
    OdbcSession() = default;
    ~OdbcSession();
    OdbcSession(const OdbcSession&) = delete;
    OdbcSession& operator=(const OdbcSession&) = delete;

    // Connects as the library does: ODBC 3, dynamic cursors asked for,
    // auto-commit on.
    bool Connect(const std::string& dataSource, const std::string& user,
                 const std::string& password);
    bool SetAutoCommit(bool on);
    bool Commit();
    // Runs a statement without a result set on a statement of its own.
    bool Execute(const std::string& sql);
    // Runs a query whose first column of its first row is an integer; false
    // when it fails or yields no row.
    bool QueryInteger(const std::string& sql, long* value, bool quiet);

    SQLHDBC connection() const { return hDbc_; }

private:
    SQLHENV hEnv_ = SQL_NULL_HENV;
    SQLHDBC hDbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
};

// A statement handle freed at the end of its scope.
class Statement {
public:
    explicit Statement(SQLHDBC connection);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Null when the driver manager refused the allocation.
    SQLHSTMT get() const { return hStmt_; }

private:
    SQLHSTMT hStmt_ = SQL_NULL_HSTMT;
};

}  // namespace jov::bench

// A link-time fake of the ODBC driver manager for the unit tests.
//
// It defines the ODBC functions the library calls, with the exact signatures
// of <sql.h>, and behaves like a small, well-mannered driver by default:
// handles are allocated and counted, SQLExecDirect takes the next queued
// result set, SQLFetch/SQLFetchScroll walk its rows, SQLGetData hands out each
// value in chunks the way drivers do (indicator = bytes left, truncation as
// SQL_SUCCESS_WITH_INFO, a terminator for SQL_C_CHAR, SQL_NO_DATA once a value
// has been read whole, SQLRowCount the result's rowCount). Columns bound
// with SQLBindCol are filled column-wise for each row of the row array
// (SQL_ATTR_ROW_ARRAY_SIZE, SQL_ATTR_ROWS_FETCHED_PTR), cut values marked by
// their whole length; SQLSetPos(SQL_POSITION) moves SQLGetData to a row. A test scripts deviations per function and records
// what was called.
//
// Protocol checks: a call with a handle that was never allocated or has been
// freed is recorded as a violation (Violations()), as is freeing a handle
// twice. Handles are opaque numbers, never dereferenced.
//
// Handle states, as a driver manager keeps them: a connected connection
// cannot be freed, nor an environment with a live connection (HY010); a
// connection with an uncommitted change (auto-commit off and a successful
// SQLExecDirect since the last SQLTransact) refuses SQLDisconnect (25000); a
// statement whose SQLExecDirect answered SQL_STILL_EXECUTING or SQL_NEED_DATA
// cannot be freed (HY010) until SQLCancel or a later execution ends that.
// A disconnect frees the statements still allocated on the connection.
//
// Usage:
//   FakeOdbc::Reset();
//   FakeOdbc::QueueResult({{{"ID", SQL_INTEGER, 10}}, {{Int32Bytes(7)}}});
//   FakeOdbc::Script(FakeFn::SQLConnect, {SQL_ERROR, "28000", "bad password"});
//   ... code under test ...
//   EXPECT_EQ(FakeOdbc::CallCount(FakeFn::SQLDisconnect), 1);
//   EXPECT_EQ(FakeOdbc::LiveHandles(), 0);
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

enum class FakeFn {
    SQLAllocHandle,
    SQLSetEnvAttr,
    SQLConnect,
    SQLDisconnect,
    SQLFreeHandle,
    SQLSetConnectOption,
    SQLGetConnectOption,
    SQLTransact,
    SQLExecDirect,
    SQLNumResultCols,
    SQLColAttribute,
    SQLFetch,
    SQLFetchScroll,
    SQLGetData,
    SQLCloseCursor,
    SQLGetDiagRec,
    SQLRowCount,
    SQLCancel,
    // The calls of the driver's own path (driver/).
    SQLDriverConnect,
    SQLPrepare,
    SQLExecute,
    SQLSetConnectAttr,
    SQLGetConnectAttr,
    SQLEndTran,
    SQLGetInfo,
    SQLSetStmtAttr,
    SQLMoreResults,
    SQLFreeStmt,
    SQLNumParams,
    SQLDescribeParam,
    SQLDescribeCol,
    SQLBindParameter,
    SQLParamData,
    SQLPutData,
    SQLBindCol,
    SQLSetPos,
    // Every catalogue function (SQLTables, SQLColumns...): args[0] is its
    // SQL_API_* number, then its numbers; text its names (see CatalogNames).
    SQLCatalog,
    Count
};

// One diagnostic record as a driver leaves it.
struct FakeRecord {
    std::string state;
    int32_t nativeError;
    std::string message;
};

// One scripted answer. A non-success rc replaces the call's normal work: the
// call returns rc and, when state is not empty, leaves a diagnostic record
// with state and message on the handle it was given (the input handle for
// SQLAllocHandle). A success rc (0 or 1) lets the call do its normal work and
// then return rc.
struct FakeAnswer {
    FakeAnswer(SQLRETURN rc_ = SQL_SUCCESS, std::string state_ = {}, std::string message_ = {})
        : rc(rc_), state(std::move(state_)), message(std::move(message_)) {}
    SQLRETURN rc;
    std::string state;
    std::string message;
    // When not empty, the records the call leaves instead of state/message
    // (which leave one record with native error 42).
    std::vector<FakeRecord> records;
};

// One scripted SQLGetData chunk: rc and indicator are returned as given and
// `bytes` (at most the buffer length) are copied to the target.
struct FakeChunk {
    FakeChunk(SQLRETURN rc_ = SQL_SUCCESS, SQLLEN indicator_ = 0, std::string bytes_ = {})
        : rc(rc_), indicator(indicator_), bytes(std::move(bytes_)) {}
    SQLRETURN rc;
    SQLLEN indicator;
    std::string bytes;
};

struct FakeColumn {
    FakeColumn(std::string name_ = {}, SQLSMALLINT type_ = SQL_VARCHAR, SQLLEN length_ = 0,
               SQLLEN precision_ = 0, SQLLEN scale_ = 0)
        : name(std::move(name_)), type(type_), length(length_), precision(precision_),
          scale(scale_) {}
    std::string name;
    SQLSMALLINT type;
    SQLLEN length;
    SQLLEN precision;
    SQLLEN scale;
    // Name length the driver reports; by default the name's byte count.
    std::optional<SQLSMALLINT> reportedNameLength;
    bool isUnsigned = false;  // SQL_DESC_UNSIGNED
};

// A value of one row: nullopt is SQL NULL; otherwise the bytes the driver
// delivers for every C type the library asks for.
using FakeValue = std::optional<std::string>;

struct FakeResult {
    std::vector<FakeColumn> columns;
    std::vector<std::vector<FakeValue>> rows;
    // What SQLRowCount answers for the statement that took this result.
    SQLLEN rowCount = -1;
};

struct FakeCall {
    FakeFn fn;
    SQLHANDLE handle;
    // Per call: SQLGetData's column, C type and buffer length; SQLColAttribute's
    // column, field and buffer length; SQLSetConnectOption's option and value;
    // SQLFetchScroll's orientation and offset; SQLTransact's completion type;
    // SQLSetConnectAttr's and SQLSetStmtAttr's attribute and integer value.
    std::vector<int64_t> args;
    std::string text;  // SQLConnect's data source, SQLExecDirect's SQL text,
                       // SQLDriverConnect's connection string, SQLPrepare's SQL
                       // text, SQLPutData's bytes, SQLBindParameter's value bytes
};

// How SQLCatalog's text shows a catalogue call's names: each name between
// '[' and ']', a NULL pointer as "NULL".
constexpr char kFakeNullName[] = "NULL";

// Value bytes as the driver stores them.
std::string Int32Bytes(int32_t v);
std::string Int16Bytes(int16_t v);
std::string Int64Bytes(int64_t v);
std::string DoubleBytes(double v);
std::string FloatBytes(float v);

namespace FakeOdbc {

void Reset();

// Queues an answer for the next call(s) of fn; answers are used in order.
void Script(FakeFn fn, FakeAnswer answer, int times = 1);
// Queues raw SQLGetData chunks, used before the normal chunking.
void ScriptChunks(std::vector<FakeChunk> chunks);
// The n-th ODBC call from now (0 = the next one), of whatever function, gets
// this answer; for fault sweeps.
void FailCallNumber(int n, FakeAnswer answer);
// Result sets taken by successive successful SQLExecDirect calls; a statement
// executed with nothing queued has no result columns.
void QueueResult(FakeResult result);
// Let SQLGetData answer SQL_NO_TOTAL instead of the bytes left.
void SetNoTotal(bool on);
// Let SQLGetData as SQL_C_CHAR end a cut chunk before a Shift-JIS double-byte
// character rather than split it (its data and terminator then take one byte
// less than the buffer), as drivers converting to a multi-byte code page do.
void SetWholeCharacters(bool on);
// The largest SQL_ATTR_ROW_ARRAY_SIZE statements take; a larger one is
// changed to it with SQL_SUCCESS_WITH_INFO (01S02), as drivers without
// block cursors do. No limit by default.
void SetMaxRowArraySize(SQLULEN rows);
// Connection attribute store (SQL_AUTOCOMMIT starts at 1).
SQLULEN AutoCommitValue();

// Runs hook on every call of fn, after it is recorded and before it does its
// work, on the caller's thread (the fake's lock is held; it is recursive).
// Cleared by Reset. SQLExecute runs its hook before it takes the lock, so
// the hook may wait for another thread that calls the fake (a cancel).
void OnCall(FakeFn fn, std::function<void()> hook);
// What SQLGetPrivateProfileString answers for any data source and key
// ("" by default).
void SetProfileString(std::string value);

int CallCount(FakeFn fn);
int TotalCalls();
const std::vector<FakeCall>& Calls();
std::vector<FakeCall> CallsOf(FakeFn fn);

// Handles allocated and not yet freed, overall and by type.
int LiveHandles();
int LiveHandles(SQLSMALLINT handleType);
int AllocatedHandles(SQLSMALLINT handleType);
bool IsLive(SQLHANDLE handle);
// Descriptions of protocol violations seen since Reset (empty when none).
const std::vector<std::string>& Violations();

}  // namespace FakeOdbc

#include "driver/handles/statement.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "driver/handles/diagnostics.h"

namespace jov::driver::handles {

SQLRETURN Statement::Check(SQLRETURN rc) const { return Checked(rc, codec_, SQL_HANDLE_STMT, stmt_); }

template <typename Run>
SQLRETURN Statement::Cancellable(Run run) {
    {
        std::lock_guard<std::mutex> starting(cancelling_);
        executing_ = true;
        cancels_ = 0;
    }
    const SQLRETURN rc = run();
    std::lock_guard<std::mutex> noCancel(cancelling_);
    executing_ = false;
    executionEnded_.notify_all();
    return Check(rc);
}

SQLRETURN Statement::Allocate(SQLHDBC dbc) {
    const SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, dbc, &stmt_);
    if (rc != SQL_SUCCESS && rc != SQL_SUCCESS_WITH_INFO) {
        stmt_ = SQL_NULL_HSTMT;
        return Checked(rc, codec_, SQL_HANDLE_DBC, dbc);
    }
    return rc;
}

SQLRETURN Statement::Free() {
    if (stmt_ == SQL_NULL_HSTMT) return SQL_SUCCESS;
    const SQLRETURN rc = Check(SQLFreeHandle(SQL_HANDLE_STMT, stmt_));
    stmt_ = SQL_NULL_HSTMT;
    return rc;
}

SQLRETURN Statement::Encoded(const Utf16& sql, std::string* encoded) const {
    Diagnostic refused;
    if (codec_.EncodeCommand(sql, encoded, &refused)) return SQL_SUCCESS;
    KeepOwn(refused);
    return SQL_ERROR;
}

SQLRETURN Statement::Prepare(const Utf16& sql) {
    std::string encoded;
    if (Encoded(sql, &encoded) != SQL_SUCCESS) return SQL_ERROR;
    return Check(codec_.Prepare(stmt_, encoded));
}

SQLRETURN Statement::ExecDirect(const Utf16& sql) {
    std::string encoded;
    if (Encoded(sql, &encoded) != SQL_SUCCESS) return SQL_ERROR;
    return Cancellable([&] { return codec_.ExecDirect(stmt_, encoded); });
}

SQLRETURN Statement::Execute() {
    return Cancellable([&] { return SQLExecute(stmt_); });
}

SQLRETURN Statement::SetPointer(SQLINTEGER attribute, SQLPOINTER value) {
    return Check(SQLSetStmtAttr(stmt_, attribute, value, 0));
}

SQLRETURN Statement::ExecuteArray(SQLULEN rows, SQLUSMALLINT* statuses, SQLLEN* counts) {
    std::fill(statuses, statuses + rows, static_cast<SQLUSMALLINT>(SQL_PARAM_UNUSED));
    std::fill(counts, counts + rows, static_cast<SQLLEN>(-1));
    SQLULEN processed = 0;
    SQLRETURN rc = SetAttribute(SQL_ATTR_PARAM_BIND_TYPE, SQL_PARAM_BIND_BY_COLUMN);
    if (SQL_SUCCEEDED(rc)) rc = SetPointer(SQL_ATTR_PARAM_STATUS_PTR, statuses);
    if (SQL_SUCCEEDED(rc)) rc = SetPointer(SQL_ATTR_PARAMS_PROCESSED_PTR, &processed);
    if (SQL_SUCCEEDED(rc)) rc = SetAttribute(SQL_ATTR_PARAMSET_SIZE, rows);
    if (SQL_SUCCEEDED(rc)) rc = Execute();
    if (SQL_SUCCEEDED(rc)) ReadRowCounts(rows, counts);
    // Drivers leave the rows past the last processed as they were.
    if (processed < rows) {
        std::fill(statuses + processed, statuses + rows, static_cast<SQLUSMALLINT>(SQL_PARAM_UNUSED));
    }
    SQLFreeStmt(stmt_, SQL_CLOSE);
    SetAttribute(SQL_ATTR_PARAMSET_SIZE, 1);
    SetPointer(SQL_ATTR_PARAM_STATUS_PTR, nullptr);
    SetPointer(SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr);
    return rc;
}

void Statement::ReadRowCounts(SQLULEN rows, SQLLEN* counts) {
    for (SQLULEN row = 0; row < rows; ++row) {
        if (row > 0 && !SQL_SUCCEEDED(SQLMoreResults(stmt_))) return;
        SQLRowCount(stmt_, &counts[row]);
    }
}

SQLRETURN Statement::Catalog(text::CatalogFunction function,
                             const std::vector<std::optional<Utf16>>& names,
                             const std::vector<SQLUSMALLINT>& numbers) {
    text::CatalogCall call;
    call.function = function;
    call.numbers = numbers;
    for (const auto& name : names) {
        std::string encoded;
        if (name && Encoded(*name, &encoded) != SQL_SUCCESS) return SQL_ERROR;
        if (encoded.size() / codec_.UnitBytes() > text::kMaxCatalogNameUnits) {
            KeepOwn(OwnDiagnostic(own::kBadLength, "A catalogue name is longer than " +
                                                       std::to_string(text::kMaxCatalogNameUnits) +
                                                       " units"));
            return SQL_ERROR;
        }
        call.names.push_back(name ? std::optional<std::string>(encoded) : std::nullopt);
    }
    return Cancellable([&] { return codec_.Catalog(stmt_, call); });
}

SQLRETURN Statement::Cancel() {
    std::unique_lock<std::mutex> alone(cancelling_);
    if (cancels_ > 0) {
        executionEnded_.wait_for(alone, kRecancelWait, [this] { return !executing_; });
    }
    if (!executing_) return SQL_SUCCESS;
    ++cancels_;
    return Check(SQLCancel(stmt_));
}

SQLRETURN Statement::SetAttribute(SQLINTEGER attribute, SQLULEN value) {
    return Check(SQLSetStmtAttr(stmt_, attribute,
                                reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(value)), 0));
}

SQLRETURN Statement::NumResultCols(SQLSMALLINT* count) {
    *count = 0;
    return Check(SQLNumResultCols(stmt_, count));
}

SQLRETURN Statement::RowCount(SQLLEN* count) {
    *count = -1;
    return Check(SQLRowCount(stmt_, count));
}

SQLRETURN Statement::MoreResults() { return Check(SQLMoreResults(stmt_)); }

SQLRETURN Statement::CloseCursor() { return Check(SQLCloseCursor(stmt_)); }

SQLRETURN Statement::ResetParameters() { return Check(SQLFreeStmt(stmt_, SQL_RESET_PARAMS)); }

SQLRETURN Statement::NumParams(SQLSMALLINT* count) {
    *count = 0;
    return Check(SQLNumParams(stmt_, count));
}

SQLRETURN Statement::DescribeParam(SQLUSMALLINT parameter, ParameterShape* shape) {
    return Check(SQLDescribeParam(stmt_, parameter, &shape->sqlType, &shape->size, &shape->digits,
                                  &shape->nullable));
}

SQLRETURN Statement::DescribeColumn(SQLUSMALLINT column, text::ColumnShape* shape) {
    return Check(codec_.DescribeColumn(stmt_, column, shape));
}

SQLRETURN Statement::ColumnText(SQLUSMALLINT column, SQLUSMALLINT field, Utf16* value) {
    return Check(codec_.ColumnText(stmt_, column, field, value));
}

SQLRETURN Statement::ColumnNumber(SQLUSMALLINT column, SQLUSMALLINT field, SQLLEN* value) {
    *value = 0;
    return Check(SQLColAttribute(stmt_, column, field, nullptr, 0, nullptr, value));
}

SQLRETURN Statement::Fetch() { return Check(SQLFetch(stmt_)); }

SQLRETURN Statement::FetchScroll(SQLSMALLINT orientation, SQLLEN offset) {
    return Check(SQLFetchScroll(stmt_, orientation, offset));
}

SQLRETURN Statement::GetData(SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                             SQLLEN size, SQLLEN* indicator) {
    const SQLRETURN rc = SQLGetData(stmt_, column, cType, target, size, indicator);
    return rc == SQL_SUCCESS_WITH_INFO ? rc : Check(rc);
}

SQLRETURN Statement::BindColumn(SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                                SQLLEN width, SQLLEN* indicators) {
    return Check(SQLBindCol(stmt_, column, cType, target, width, indicators));
}

SQLRETURN Statement::Unbind() { return Check(SQLFreeStmt(stmt_, SQL_UNBIND)); }

SQLRETURN Statement::Position(SQLSETPOSIROW row) {
    return Check(SQLSetPos(stmt_, row, SQL_POSITION, SQL_LOCK_NO_CHANGE));
}

SQLRETURN Statement::BindParameter(SQLUSMALLINT parameter, const Binding& b) {
    return Check(SQLBindParameter(stmt_, parameter, SQL_PARAM_INPUT, b.cType, b.sqlType,
                                  b.columnSize, b.digits, b.buffer, b.bufferLength, b.indicator));
}

SQLRETURN Statement::ParamData(SQLPOINTER* wanted) {
    *wanted = nullptr;
    return Cancellable([&] { return SQLParamData(stmt_, wanted); });
}

SQLRETURN Statement::PutData(SQLPOINTER data, SQLLEN length) {
    return Check(SQLPutData(stmt_, data, length));
}

}  // namespace jov::driver::handles

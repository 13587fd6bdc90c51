#include "bench/block/block_reader.h"

#include <algorithm>
#include <cstdio>

#include "bench/common/odbc_session.h"

namespace jov::bench {
namespace {

// A character may take four bytes in the session's encoding.
constexpr SQLLEN kBytesPerCharacter = 4;
// Numbers and dates report small display sizes; their texts fit in this.
constexpr SQLLEN kMinBoundBytes = 64;
constexpr std::size_t kChunkBytes = 65536;

bool IsLongType(SQLSMALLINT type) {
    return type == SQL_LONGVARCHAR || type == SQL_WLONGVARCHAR || type == SQL_LONGVARBINARY;
}

bool Fail(const char* what, SQLHSTMT stmt) {
    ReportDiagnostics(what, SQL_HANDLE_STMT, stmt);
    return false;
}

}  // namespace

bool BlockReader::Describe(SQLHSTMT stmt, SQLSMALLINT count, SQLULEN* rowsPerFetch) {
    columns_.assign(static_cast<std::size_t>(count), Column{});
    bool anyLong = false;
    for (SQLUSMALLINT number = 1; number <= static_cast<SQLUSMALLINT>(count); ++number) {
        SQLLEN type = 0;
        SQLLEN display = 0;
        if (!Ok(SQLColAttribute(stmt, number, SQL_DESC_CONCISE_TYPE, nullptr, 0, nullptr,
                                &type)) ||
            !Ok(SQLColAttribute(stmt, number, SQL_DESC_DISPLAY_SIZE, nullptr, 0, nullptr,
                                &display))) {
            return Fail("describe", stmt);
        }
        Column& column = columns_[number - 1];
        const SQLLEN width = std::max(kMinBoundBytes, display * kBytesPerCharacter + 1);
        column.bound = !IsLongType(static_cast<SQLSMALLINT>(type)) && display > 0 &&
                       width <= kMaxBoundBytes;
        if (column.bound && anyLong) {
            std::fprintf(stderr, "block: column %u is bound after a long column\n", number);
            return false;
        }
        anyLong |= !column.bound;
        column.width = column.bound ? width : 0;
    }
    *rowsPerFetch = anyLong ? 1 : kRowsPerBlock;
    return true;
}

bool BlockReader::Bind(SQLHSTMT stmt, SQLULEN rowsPerFetch, SQLULEN* fetched) {
    if (!Ok(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_BIND_TYPE,
                           reinterpret_cast<SQLPOINTER>(SQL_BIND_BY_COLUMN), 0)) ||
        !Ok(SQLSetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE,
                           reinterpret_cast<SQLPOINTER>(rowsPerFetch), 0)) ||
        !Ok(SQLSetStmtAttr(stmt, SQL_ATTR_ROWS_FETCHED_PTR, fetched, 0))) {
        return Fail("row array", stmt);
    }
    SQLULEN granted = 0;
    if (!Ok(SQLGetStmtAttr(stmt, SQL_ATTR_ROW_ARRAY_SIZE, &granted, 0, nullptr)) ||
        granted != rowsPerFetch) {
        std::fprintf(stderr, "block: the driver grants %lu rows per fetch, not %lu\n",
                     static_cast<unsigned long>(granted), static_cast<unsigned long>(rowsPerFetch));
        return false;
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        Column& column = columns_[i];
        if (!column.bound) continue;
        column.values.resize(static_cast<std::size_t>(column.width) * rowsPerFetch);
        column.indicators.resize(rowsPerFetch);
        if (!Ok(SQLBindCol(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_C_CHAR,
                           column.values.data(), column.width, column.indicators.data()))) {
            return Fail("bind", stmt);
        }
    }
    return true;
}

bool BlockReader::ReadLong(SQLHSTMT stmt, SQLUSMALLINT number, BlockTotals* totals) {
    chunk_.resize(kChunkBytes);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = SQLGetData(stmt, number, SQL_C_CHAR, chunk_.data(),
                                        static_cast<SQLLEN>(chunk_.size()), &indicator);
        if (rc == SQL_NO_DATA || indicator == SQL_NULL_DATA) return true;
        if (!Ok(rc)) return Fail("get data", stmt);
        const bool more = rc == SQL_SUCCESS_WITH_INFO &&
                          (indicator == SQL_NO_TOTAL ||
                           indicator >= static_cast<SQLLEN>(chunk_.size()));
        totals->bytes += more ? static_cast<SQLLEN>(chunk_.size()) - 1 : indicator;
        if (!more) return true;
    }
}

bool BlockReader::ReadBlock(SQLHSTMT stmt, SQLULEN fetched, BlockTotals* totals) {
    for (SQLULEN row = 0; row < fetched; ++row) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const Column& column = columns_[i];
            ++totals->values;
            if (!column.bound) {
                if (!ReadLong(stmt, static_cast<SQLUSMALLINT>(i + 1), totals)) return false;
                continue;
            }
            const SQLLEN length = column.indicators[row];
            if (length == SQL_NULL_DATA) continue;
            if (length == SQL_NO_TOTAL || length >= column.width) {
                std::fprintf(stderr, "block: column %zu truncated\n", i + 1);
                return false;
            }
            totals->bytes += length;
        }
    }
    totals->rows += static_cast<int64_t>(fetched);
    return true;
}

bool BlockReader::Pass(SQLHDBC connection, const char* sql, BlockTotals* totals) {
    Statement statement(connection);
    SQLHSTMT stmt = statement.get();
    if (stmt == SQL_NULL_HSTMT) return false;
    // The session asks for dynamic cursors; a block is read forward only.
    SQLSetStmtAttr(stmt, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_FORWARD_ONLY),
                   0);
    if (!Ok(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS))) {
        return Fail("execute", stmt);
    }
    SQLSMALLINT count = 0;
    SQLULEN rowsPerFetch = 0;
    SQLULEN fetched = 0;
    if (!Ok(SQLNumResultCols(stmt, &count)) || !Describe(stmt, count, &rowsPerFetch) ||
        !Bind(stmt, rowsPerFetch, &fetched)) {
        return false;
    }
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt);
        if (rc == SQL_NO_DATA) return true;
        if (!Ok(rc)) return Fail("fetch", stmt);
        if (!ReadBlock(stmt, fetched, totals)) return false;
    }
}

}  // namespace jov::bench

// The C block reader: a query read the fastest way plain ODBC offers, the
// yardstick of the driver's bulk reads. Every column short enough is bound as
// SQL_C_CHAR by column and fetched kRowsPerBlock rows per SQLFetch; a long
// column (a LONGVARCHAR or one wider than kMaxBoundBytes) is read with
// SQLGetData in chunks, which ODBC allows only on a one-row block after the
// bound columns, so a query with one reads one row per fetch. Values are
// only measured, never converted: the pass counts rows, values (a NULL is a
// value) and the bytes of the texts.
//
// A bound value longer than its buffer fails the pass rather than count a
// truncated text.
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <cstdint>
#include <vector>

namespace jov::bench {

struct BlockTotals {
    int64_t rows = 0;
    int64_t values = 0;
    int64_t bytes = 0;
};

class BlockReader {
public:
    static constexpr SQLULEN kRowsPerBlock = 1000;
    static constexpr SQLLEN kMaxBoundBytes = 8192;

    // Runs sql on a new statement of connection, reads every row, frees the
    // statement. False with a message on stderr when anything fails.
    bool Pass(SQLHDBC connection, const char* sql, BlockTotals* totals);

private:
    struct Column {
        bool bound;
        SQLLEN width;  // bytes of one bound value with its terminator
        std::vector<char> values;
        std::vector<SQLLEN> indicators;
    };

    bool Describe(SQLHSTMT stmt, SQLSMALLINT count, SQLULEN* rowsPerFetch);
    bool Bind(SQLHSTMT stmt, SQLULEN rowsPerFetch, SQLULEN* fetched);
    bool ReadBlock(SQLHSTMT stmt, SQLULEN fetched, BlockTotals* totals);
    bool ReadLong(SQLHSTMT stmt, SQLUSMALLINT number, BlockTotals* totals);

    std::vector<Column> columns_;
    std::vector<char> chunk_;
};

}  // namespace jov::bench

// One pass of the floor: a query read with nothing but ODBC calls, the way
// the bridge reads it, and every value turned into UTF-16.
//
// Per value: SQLGetData into a 65540-byte buffer in chunks of 4096 bytes (at
// most 16), in the C type the bridge asks for: SQL_C_SLONG, SQL_C_SSHORT,
// SQL_C_FLOAT or SQL_C_DOUBLE for fixed-width numbers (rendered "%d", "%lf"
// without trailing zeros), SQL_C_CHAR for character and numeric/decimal data
// (as it comes) and for date/time (rewritten in date style 21). Then
// Windows-31J to UTF-16. A NULL is the empty text. Column types outside
// these fail the pass: the floor only reads what the benchmark table holds.
#pragma once

#include <sql.h>

#include <cstdint>
#include <cstdio>

#include "bench/floor/floor_text.h"

namespace jov::bench {

struct PassTotals {
    int64_t rows = 0;
    int64_t values = 0;
    int64_t lengthSum = 0;  // UTF-16 units of every value
};

class FloorReader {
public:
    FloorReader();
    ~FloorReader();
    FloorReader(const FloorReader&) = delete;
    FloorReader& operator=(const FloorReader&) = delete;

    // Runs sql on a new statement of connection, reads every row and closes
    // the statement. dump, when given, receives every value as UTF-16LE, tab
    // after each value but the row's last, newline after each row. False
    // with a message on stderr when anything fails.
    bool Pass(SQLHDBC connection, const char* sql, std::FILE* dump, PassTotals* totals);

private:
    struct Column;
    bool Describe(SQLHSTMT stmt, SQLSMALLINT count);
    bool ReadRow(SQLHSTMT stmt, std::FILE* dump, PassTotals* totals);
    // Reads column number into buffer_; answers its length, -1 for NULL, -2 on failure.
    int32_t ReadValue(SQLHSTMT stmt, SQLUSMALLINT number, const Column& column);
    // Renders the value of length bytes in buffer_ into units_; answers the units.
    int32_t Render(const Column& column, int32_t length);

    Column* columns_ = nullptr;
    SQLSMALLINT columnCount_ = 0;
    char* buffer_;
    char16_t* units_;
    AnsiToUtf16 toUtf16_;
};

}  // namespace jov::bench

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

// A value rendered as Windows-31J text: length bytes at bytes, terminated.
// Empty for a NULL. Valid until the next value is read.
struct FloorText {
    const char* bytes;
    int32_t length;
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

    // The same reading step by step, for a caller that drives it value by
    // value (the JNI floor): Start runs the query and answers its column
    // count (-1 on failure); Fetch answers 1 for a row, 0 at the end, -1 on
    // failure; ReadText reads column number (1-based) of the current row, the
    // columns of a row in ascending order, each once, and answers false on
    // failure; Finish closes the statement.
    int32_t Start(SQLHDBC connection, const char* sql);
    int32_t Fetch();
    bool ReadText(int32_t number, FloorText* text);
    void Finish();

    // Converts a text that ReadText gave; units valid until the next call.
    int32_t ToUtf16(const FloorText& text, const char16_t** units);

private:
    struct Column;
    bool Describe(SQLHSTMT stmt, SQLSMALLINT count);
    bool ReadRow(std::FILE* dump, PassTotals* totals);
    // Reads column number into buffer_; answers its length, -1 for NULL, -2 on failure.
    int32_t ReadValue(SQLHSTMT stmt, SQLUSMALLINT number, const Column& column);
    // Renders the value of length bytes in buffer_ in place; answers its new length.
    int32_t Render(const Column& column, int32_t length);

    Column* columns_ = nullptr;
    SQLSMALLINT columnCount_ = 0;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    char* buffer_;
    char16_t* units_;
    AnsiToUtf16 toUtf16_;
};

}  // namespace jov::bench

// The bound columns of one result and the row array they are fetched into:
// column-wise binding, each bound column one region of rows x width bytes
// and one indicator per row, all owned here and bound to the statement until
// the next Bind. The statement's handle is freed before this memory (the
// StatementState frees the handle first), so the driver never writes into
// freed memory. Columns not bound are read per value with SQLGetData.
//
// Java decodes one form of narrow text: a Windows-31J connection's text is
// handed out as UTF-8, converted with the table the per-value reads use, and
// a value whose UTF-8 outgrows its slot is handed out as cut (read whole per
// value), as is one longer than its buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "driver/handles/statement.h"

namespace jov::driver::rows {

// How Java asks a column to be bound (OdbcNatives' BOUND_* numbers).
enum class BoundAs : int32_t { kNone = 0, kInteger = 1, kDouble = 2, kText = 3, kBinary = 4 };

// A bound value's length as Java reads it: its bytes, or one of these.
constexpr int32_t kNullLength = -1;
// Longer than its buffer (or of a length the driver cannot tell): read it whole.
constexpr int32_t kCutLength = -2;

struct ColumnPlan {
    BoundAs as = BoundAs::kNone;
    SQLLEN width = 0;  // bytes per row, the terminator of text included
};

class RowBlock {
  public:
    // Unbinds the previous plan, asks for a row array of `rows` (1 when the
    // driver refuses it: *granted tells) and binds every column the plan
    // binds. A failure leaves nothing bound and a one-row array.
    SQLRETURN Bind(handles::Statement& statement, SQLULEN rows, const std::vector<ColumnPlan>& plan,
                   SQLULEN* granted);
    // SQLFetch (orientation SQL_FETCH_NEXT) or SQLFetchScroll; *fetched rows
    // (0 with SQL_NO_DATA).
    SQLRETURN Fetch(handles::Statement& statement, SQLSMALLINT orientation, SQLLEN offset,
                    SQLULEN* fetched);

    // Bytes the bound regions take, as Java lays them out: bound columns in
    // order, each rows() x width.
    size_t DataBytes() const { return data_.size(); }
    size_t BoundColumns() const { return bound_.size(); }
    SQLULEN rows() const { return rows_; }
    // The fetched rows' bytes of each region into data (DataBytes() long),
    // and each value's length into lengths[b * rows() + r] (BoundColumns() x
    // rows() long); Windows-31J text as UTF-8.
    void CopyOut(char* data, int32_t* lengths) const;

  private:
    struct Bound {
        SQLUSMALLINT column;
        BoundAs as;
        SQLLEN width;
        size_t offset;  // of its region in data_
    };
    SQLRETURN BindAll(handles::Statement& statement, const std::vector<ColumnPlan>& plan);
    int32_t LengthOf(const Bound& bound, SQLLEN indicator) const;
    // Rewrites the fetched Windows-31J values of a text column in data as UTF-8.
    void ToUtf8(const Bound& bound, size_t index, char* data, int32_t* lengths) const;

    size_t terminatorBytes_ = 1;  // what the driver appends to bound text
    bool windows31j_ = false;     // bound text is Windows-31J bytes

    std::vector<Bound> bound_;
    std::vector<char> data_;
    std::vector<SQLLEN> indicators_;  // bound column b, row r at b * rows_ + r
    SQLULEN rows_ = 1;
    SQLULEN fetched_ = 0;
};

}  // namespace jov::driver::rows

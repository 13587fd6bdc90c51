#include "driver/rows/row_block.h"

#include <cstring>
#include <limits>
#include <string>

#include "driver/handles/diagnostics.h"
#include "driver/text/utf8.h"
#include "driver/text/windows31j.h"

namespace jov::driver::rows {

namespace {

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The width a fixed-width C type writes, whatever Java asked.
constexpr SQLLEN kFixedBytes = 8;
static_assert(sizeof(SQLBIGINT) == kFixedBytes && sizeof(SQLDOUBLE) == kFixedBytes);

SQLSMALLINT CTypeOf(BoundAs as, const text::Codec& codec) {
    switch (as) {
        case BoundAs::kInteger: return SQL_C_SBIGINT;
        case BoundAs::kDouble: return SQL_C_DOUBLE;
        case BoundAs::kText: return codec.TextCType();
        default: return SQL_C_BINARY;
    }
}

bool IsAscii(const char* bytes, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80) return false;
    }
    return true;
}

}  // namespace

SQLRETURN RowBlock::Bind(handles::Statement& statement, SQLULEN rows,
                         const std::vector<ColumnPlan>& plan, SQLULEN* granted) {
    bound_.clear();
    data_.clear();
    indicators_.clear();
    rows_ = 1;
    fetched_ = 0;
    *granted = 1;
    terminatorBytes_ = statement.codec().UnitBytes();
    windows31j_ = statement.codec().charset() == text::Charset::kWindows31j;
    SQLRETURN rc = statement.Unbind();
    if (Ok(rc)) rc = statement.SetAttribute(SQL_ATTR_ROW_BIND_TYPE, SQL_BIND_BY_COLUMN);
    if (Ok(rc)) rc = statement.SetAttribute(SQL_ATTR_ROWS_FETCHED_PTR,
                                            reinterpret_cast<uintptr_t>(&fetched_));
    if (!Ok(rc)) return rc;
    // A driver without row arrays refuses the size or changes it (01S02):
    // either way a one-row array is what it surely keeps.
    if (rows > 1 && statement.SetAttribute(SQL_ATTR_ROW_ARRAY_SIZE, rows) == SQL_SUCCESS) {
        rows_ = rows;
    } else {
        rc = statement.SetAttribute(SQL_ATTR_ROW_ARRAY_SIZE, 1);
        if (!Ok(rc)) return rc;
    }
    rc = BindAll(statement, plan);
    if (!Ok(rc)) {
        statement.Unbind();
        bound_.clear();
        return rc;
    }
    *granted = rows_;
    return SQL_SUCCESS;
}

SQLRETURN RowBlock::BindAll(handles::Statement& statement, const std::vector<ColumnPlan>& plan) {
    size_t bytes = 0;
    for (size_t i = 0; i < plan.size(); ++i) {
        const ColumnPlan& p = plan[i];
        if (p.as == BoundAs::kNone) continue;
        const bool fixed = p.as == BoundAs::kInteger || p.as == BoundAs::kDouble;
        const SQLLEN width = fixed ? kFixedBytes : p.width;
        if (width <= static_cast<SQLLEN>(terminatorBytes_) ||
            width > std::numeric_limits<int32_t>::max() / static_cast<SQLLEN>(rows_)) {
            handles::KeepOwn(OwnDiagnostic(own::kNullArgument, "column " + std::to_string(i + 1) +
                                                                  ": width " + std::to_string(width) +
                                                                  " is out of range"));
            return SQL_ERROR;
        }
        bound_.push_back(Bound{static_cast<SQLUSMALLINT>(i + 1), p.as, width, bytes});
        bytes += static_cast<size_t>(width) * rows_;
    }
    data_.assign(bytes, '\0');
    indicators_.assign(bound_.size() * rows_, 0);
    for (size_t b = 0; b < bound_.size(); ++b) {
        const Bound& c = bound_[b];
        const SQLRETURN rc =
            statement.BindColumn(c.column, CTypeOf(c.as, statement.codec()), &data_[c.offset],
                                 c.width, &indicators_[b * rows_]);
        if (!Ok(rc)) return rc;
    }
    return SQL_SUCCESS;
}

SQLRETURN RowBlock::Fetch(handles::Statement& statement, SQLSMALLINT orientation, SQLLEN offset,
                          SQLULEN* fetched) {
    fetched_ = 0;
    const SQLRETURN rc = orientation == SQL_FETCH_NEXT ? statement.Fetch()
                                                       : statement.FetchScroll(orientation, offset);
    if (!Ok(rc)) {
        fetched_ = 0;
    } else if (fetched_ == 0) {
        fetched_ = 1;  // a driver that ignores the fetched-rows pointer fetched one row
    } else if (fetched_ > rows_) {
        fetched_ = rows_;
    }
    *fetched = fetched_;
    return rc;
}

int32_t RowBlock::LengthOf(const Bound& bound, SQLLEN indicator) const {
    if (indicator == SQL_NULL_DATA) return kNullLength;
    switch (bound.as) {
        case BoundAs::kInteger:
        case BoundAs::kDouble: return static_cast<int32_t>(kFixedBytes);
        default: break;
    }
    const SQLLEN room =
        bound.as == BoundAs::kText ? bound.width - static_cast<SQLLEN>(terminatorBytes_) : bound.width;
    if (indicator == SQL_NO_TOTAL || indicator < 0 || indicator > room) return kCutLength;
    return static_cast<int32_t>(indicator);
}

void RowBlock::CopyOut(char* data, int32_t* lengths) const {
    for (size_t b = 0; b < bound_.size(); ++b) {
        const Bound& c = bound_[b];
        std::memcpy(data + c.offset, &data_[c.offset], static_cast<size_t>(c.width) * fetched_);
        for (SQLULEN r = 0; r < fetched_; ++r) {
            lengths[b * rows_ + r] = LengthOf(c, indicators_[b * rows_ + r]);
        }
        if (windows31j_ && c.as == BoundAs::kText) ToUtf8(c, b, data, lengths);
    }
}

// Windows-31J keeps ASCII as it is (the table maps 0x00-0x7F to themselves),
// so only values with a byte above it are converted.
void RowBlock::ToUtf8(const Bound& bound, size_t index, char* data, int32_t* lengths) const {
    const size_t room = static_cast<size_t>(bound.width) - terminatorBytes_;
    std::string utf8;
    Diagnostic unused;
    for (SQLULEN r = 0; r < fetched_; ++r) {
        int32_t& length = lengths[index * rows_ + r];
        char* value = data + bound.offset + r * static_cast<size_t>(bound.width);
        if (length <= 0 || IsAscii(value, static_cast<size_t>(length))) continue;
        utf8.clear();
        // Every Windows-31J character is in the BMP, so no lone surrogate can refuse it.
        text::Utf16ToUtf8(text::Windows31jToUtf16(value, static_cast<size_t>(length)), &utf8, &unused);
        if (utf8.size() > room) {
            length = kCutLength;
            continue;
        }
        std::memcpy(value, utf8.data(), utf8.size());
        length = static_cast<int32_t>(utf8.size());
    }
}

}  // namespace jov::driver::rows

// A parameter array: one column of rows values of one C type, each in a slot
// of a fixed width, for an execution of many rows at once
// (SQL_ATTR_PARAMSET_SIZE, bound by column). The buffers never move once
// made, as the driver keeps pointers into them; an execution may ask for at
// most Rows() rows of it.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "driver/params/parameter.h"

namespace jov::driver::params {

class ArrayParameter final : public Parameter {
  public:
    // width: bytes of each row's slot, at least 1; every row starts NULL.
    ArrayParameter(SQLSMALLINT cType, SQLSMALLINT sqlType, size_t width, size_t rows)
        : cType_(cType), sqlType_(sqlType), width_(width), bytes_(width * rows, '\0'),
          indicators_(rows, SQL_NULL_DATA) {}

    // Row row's value: its bytes, at most width of them.
    void Set(size_t row, const void* value, size_t length) {
        if (length > 0) std::memcpy(&bytes_[row * width_], value, length);
        indicators_[row] = static_cast<SQLLEN>(length);
    }
    // The column size declared: characters or bytes of the longest value, at
    // least 1, as drivers refuse 0 for character and binary types.
    void Declare(SQLULEN columnSize) { columnSize_ = columnSize == 0 ? 1 : columnSize; }

    size_t Rows() const override { return indicators_.size(); }
    handles::Binding Binding() override {
        return {cType_, sqlType_, columnSize_, 0, bytes_.data(), static_cast<SQLLEN>(width_),
                indicators_.data()};
    }

  private:
    SQLSMALLINT cType_;
    SQLSMALLINT sqlType_;
    size_t width_;
    SQLULEN columnSize_ = 0;
    std::vector<char> bytes_;
    std::vector<SQLLEN> indicators_;
};

}  // namespace jov::driver::params

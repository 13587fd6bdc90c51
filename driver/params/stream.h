// A long value sent at execution in pieces (SQLParamData/SQLPutData): text
// in the connection's C type or binary. Its buffer pointer is the parameter's
// number, which SQLParamData hands back to say which parameter it wants.
#pragma once

#include <cstdint>

#include "driver/params/parameter.h"

namespace jov::driver::params {

class StreamParameter final : public Parameter {
  public:
    // length: the bytes that will be put, or -1 when not known in advance.
    StreamParameter(SQLUSMALLINT number, SQLSMALLINT cType, SQLSMALLINT sqlType, int64_t length)
        : number_(number), cType_(cType), sqlType_(sqlType), length_(length) {
        indicator_ = length < 0 ? SQL_DATA_AT_EXEC : SQL_LEN_DATA_AT_EXEC(static_cast<SQLLEN>(length));
    }
    handles::Binding Binding() override {
        const SQLULEN size = length_ > 0 ? static_cast<SQLULEN>(length_) : kUnknownSize;
        return {cType_, sqlType_, size, 0, reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(number_)),
                0, &indicator_};
    }

  private:
    // The column size declared when the length is not known: the largest
    // a long type can hold.
    static constexpr SQLULEN kUnknownSize = INT32_MAX;
    SQLUSMALLINT number_;
    SQLSMALLINT cType_;
    SQLSMALLINT sqlType_;
    int64_t length_;
};

}  // namespace jov::driver::params

// A binary parameter, its bytes as given (SQL_C_BINARY).
#pragma once

#include <string>
#include <utility>

#include "driver/params/parameter.h"

namespace jov::driver::params {

class BytesParameter final : public Parameter {
  public:
    BytesParameter(std::string bytes, SQLSMALLINT sqlType)
        : bytes_(std::move(bytes)), sqlType_(sqlType) {
        indicator_ = static_cast<SQLLEN>(bytes_.size());
    }
    handles::Binding Binding() override {
        return {SQL_C_BINARY, sqlType_, bytes_.empty() ? 1 : bytes_.size(), 0, &bytes_[0],
                static_cast<SQLLEN>(bytes_.size()), &indicator_};
    }

  private:
    std::string bytes_;
    SQLSMALLINT sqlType_;
};

}  // namespace jov::driver::params

// Parameters carried as text: a string in the connection's encoding (its C
// type chosen by the codec), and a decimal as its ASCII digits with the
// precision and scale it declares, so no digit is lost to a double.
#pragma once

#include <string>
#include <utility>

#include "driver/params/parameter.h"

namespace jov::driver::params {

class TextParameter final : public Parameter {
  public:
    // encoded: the bytes the codec made of the value.
    TextParameter(std::string encoded, SQLSMALLINT cType, SQLSMALLINT sqlType, size_t unitBytes)
        : bytes_(std::move(encoded)), cType_(cType), sqlType_(sqlType), unitBytes_(unitBytes) {
        indicator_ = static_cast<SQLLEN>(bytes_.size());
    }
    handles::Binding Binding() override {
        // The column size counts characters of the C type; at least 1, as
        // drivers refuse 0 for a character type.
        const size_t units = bytes_.size() / unitBytes_;
        return {cType_, sqlType_, units == 0 ? 1 : units, 0, &bytes_[0],
                static_cast<SQLLEN>(bytes_.size()), &indicator_};
    }

  private:
    std::string bytes_;
    SQLSMALLINT cType_;
    SQLSMALLINT sqlType_;
    size_t unitBytes_;
};

class DecimalParameter final : public Parameter {
  public:
    DecimalParameter(std::string ascii, SQLULEN precision, SQLSMALLINT scale)
        : digits_(std::move(ascii)), precision_(precision), scale_(scale) {
        indicator_ = static_cast<SQLLEN>(digits_.size());
    }
    handles::Binding Binding() override {
        return {SQL_C_CHAR, SQL_DECIMAL, precision_, scale_, &digits_[0],
                static_cast<SQLLEN>(digits_.size()), &indicator_};
    }

  private:
    std::string digits_;
    SQLULEN precision_;
    SQLSMALLINT scale_;
};

}  // namespace jov::driver::params

// The parameters of one fixed-width value each: NULL with the parameter's SQL
// type, integers exact as SQL_C_SBIGINT, doubles as SQL_C_DOUBLE, booleans as
// SQL_C_BIT. Each is FixedWidth: a statement re-executed with new values of
// the same types takes them into the buffers already bound.
#pragma once

#include <cstdint>

#include "driver/params/parameter.h"

namespace jov::driver::params {

class NullParameter final : public Parameter {
  public:
    explicit NullParameter(SQLSMALLINT sqlType) : sqlType_(sqlType) { indicator_ = SQL_NULL_DATA; }
    bool FixedWidth() const override { return true; }
    handles::Binding Binding() override {
        // Drivers want a column size for character and binary types even for NULL.
        return {SQL_C_CHAR, sqlType_, 1, 0, nullptr, 0, &indicator_};
    }

  private:
    SQLSMALLINT sqlType_;
};

class LongParameter final : public Parameter {
  public:
    LongParameter(int64_t value, SQLSMALLINT sqlType) : value_(value), sqlType_(sqlType) {}
    bool FixedWidth() const override { return true; }
    handles::Binding Binding() override {
        return {SQL_C_SBIGINT, sqlType_, 0, 0, &value_, sizeof value_, &indicator_};
    }

  private:
    SQLBIGINT value_;
    SQLSMALLINT sqlType_;
};

class DoubleParameter final : public Parameter {
  public:
    DoubleParameter(double value, SQLSMALLINT sqlType) : value_(value), sqlType_(sqlType) {}
    bool FixedWidth() const override { return true; }
    handles::Binding Binding() override {
        return {SQL_C_DOUBLE, sqlType_, 15, 0, &value_, sizeof value_, &indicator_};
    }

  private:
    SQLDOUBLE value_;
    SQLSMALLINT sqlType_;
};

class BooleanParameter final : public Parameter {
  public:
    explicit BooleanParameter(bool value) : value_(value ? 1 : 0) {}
    bool FixedWidth() const override { return true; }
    handles::Binding Binding() override {
        return {SQL_C_BIT, SQL_BIT, 1, 0, &value_, sizeof value_, &indicator_};
    }

  private:
    unsigned char value_;
};

}  // namespace jov::driver::params

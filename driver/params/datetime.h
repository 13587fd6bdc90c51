// Dates, times and timestamps by their fields, as ODBC's structures: no text
// for a driver to parse in its own dialect. A timestamp's fraction is in
// nanoseconds; its declared decimal digits are the ones the driver accepts
// (psqlODBC and MariaDB refuse more than 6), chosen by the caller.
#pragma once

#include "driver/params/parameter.h"

namespace jov::driver::params {

class DateParameter final : public Parameter {
  public:
    explicit DateParameter(const SQL_DATE_STRUCT& value) : value_(value) {}
    handles::Binding Binding() override {
        return {SQL_C_TYPE_DATE, SQL_TYPE_DATE, kDateSize, 0, &value_, sizeof value_, &indicator_};
    }

  private:
    static constexpr SQLULEN kDateSize = 10;  // yyyy-mm-dd
    SQL_DATE_STRUCT value_;
};

class TimeParameter final : public Parameter {
  public:
    explicit TimeParameter(const SQL_TIME_STRUCT& value) : value_(value) {}
    handles::Binding Binding() override {
        return {SQL_C_TYPE_TIME, SQL_TYPE_TIME, kTimeSize, 0, &value_, sizeof value_, &indicator_};
    }

  private:
    static constexpr SQLULEN kTimeSize = 8;  // hh:mm:ss
    SQL_TIME_STRUCT value_;
};

class TimestampParameter final : public Parameter {
  public:
    TimestampParameter(const SQL_TIMESTAMP_STRUCT& value, SQLSMALLINT fractionDigits)
        : value_(value), digits_(fractionDigits) {}
    handles::Binding Binding() override {
        // yyyy-mm-dd hh:mm:ss, then a point and the digits when there are any.
        const SQLULEN size = kWholeSecondsSize + (digits_ > 0 ? 1 + digits_ : 0);
        return {SQL_C_TYPE_TIMESTAMP, SQL_TYPE_TIMESTAMP, size, digits_, &value_, sizeof value_,
                &indicator_};
    }

  private:
    static constexpr SQLULEN kWholeSecondsSize = 19;
    SQL_TIMESTAMP_STRUCT value_;
    SQLSMALLINT digits_;
};

}  // namespace jov::driver::params

#include "driver/params/parameter_set.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

namespace jov::driver::params {

SQLRETURN ParameterSet::Bind(handles::Statement& statement, SQLUSMALLINT number,
                             std::unique_ptr<Parameter> parameter) {
    if (TakeIntoBound(number, *parameter)) return SQL_SUCCESS;
    const SQLRETURN rc = statement.BindParameter(number, parameter->Binding());
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) bound_[number] = std::move(parameter);
    return rc;
}

bool ParameterSet::TakeIntoBound(SQLUSMALLINT number, Parameter& parameter) {
    const auto it = bound_.find(number);
    if (it == bound_.end() || !it->second->FixedWidth() || !parameter.FixedWidth()) return false;
    const handles::Binding was = it->second->Binding();
    const handles::Binding now = parameter.Binding();
    if (was.cType != now.cType || was.sqlType != now.sqlType || was.columnSize != now.columnSize ||
        was.digits != now.digits || was.bufferLength != now.bufferLength) {
        return false;
    }
    if (now.bufferLength > 0) {
        std::memcpy(was.buffer, now.buffer, static_cast<size_t>(now.bufferLength));
    }
    *was.indicator = *now.indicator;
    return true;
}

SQLRETURN ParameterSet::Reset(handles::Statement& statement) {
    const SQLRETURN rc = statement.ResetParameters();
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) bound_.clear();
    return rc;
}

size_t ParameterSet::Rows() const {
    size_t rows = SIZE_MAX;
    for (const auto& bound : bound_) rows = std::min(rows, bound.second->Rows());
    return rows;
}

}  // namespace jov::driver::params

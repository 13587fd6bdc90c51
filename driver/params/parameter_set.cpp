#include "driver/params/parameter_set.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace jov::driver::params {

SQLRETURN ParameterSet::Bind(handles::Statement& statement, SQLUSMALLINT number,
                             std::unique_ptr<Parameter> parameter) {
    const SQLRETURN rc = statement.BindParameter(number, parameter->Binding());
    if (rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO) bound_[number] = std::move(parameter);
    return rc;
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

#include "driver/params/parameter_set.h"

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

}  // namespace jov::driver::params

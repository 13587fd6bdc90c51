// The parameters bound on one statement, kept alive (the driver holds
// pointers into them) until replaced, reset or the statement is freed.
#pragma once

#include <cstddef>
#include <map>
#include <memory>

#include "driver/handles/statement.h"
#include "driver/params/parameter.h"

namespace jov::driver::params {

class ParameterSet {
  public:
    // Binds parameter number (from 1) and keeps it; a failed bind keeps the
    // previous one, which the driver still points to. A fixed-width value
    // bound exactly as the previous one (C type, SQL type, size, digits) is
    // copied into the previous one's buffer instead, which the driver reads
    // at execution: SQLBindParameter runs once for a statement re-executed
    // with new values of the same types.
    SQLRETURN Bind(handles::Statement& statement, SQLUSMALLINT number,
                   std::unique_ptr<Parameter> parameter);
    // SQLFreeStmt(SQL_RESET_PARAMS), then the buffers go.
    SQLRETURN Reset(handles::Statement& statement);
    // The fewest rows any bound parameter holds; SIZE_MAX when none is bound.
    size_t Rows() const;

  private:
    // Copies parameter's value into the one bound as number, when both are
    // fixed-width and bound alike; false (nothing changed) otherwise.
    bool TakeIntoBound(SQLUSMALLINT number, Parameter& parameter);

    std::map<SQLUSMALLINT, std::unique_ptr<Parameter>> bound_;
};

}  // namespace jov::driver::params

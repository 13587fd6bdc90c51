// A bound parameter: its C type, SQL type and the buffer and indicator the
// driver reads at execution. SQLBindParameter keeps pointers to both, so a
// parameter lives in its statement's ParameterSet, at a fixed address, until
// it is replaced, the parameters are reset or the statement is freed.
#pragma once

#include <cstddef>

#include "driver/handles/statement.h"

namespace jov::driver::params {

class Parameter {
  public:
    virtual ~Parameter() = default;
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;

    // What SQLBindParameter receives for this parameter.
    virtual handles::Binding Binding() = 0;
    // The rows an execution may read of it: one, or an array's.
    virtual size_t Rows() const { return 1; }
    // Whether its buffer is one fixed-width value: a later value bound
    // alike may then be copied into it instead of being bound anew.
    virtual bool FixedWidth() const { return false; }

  protected:
    Parameter() = default;
    SQLLEN indicator_ = 0;
};

}  // namespace jov::driver::params

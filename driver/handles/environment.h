// The process's one ODBC environment for the driver's connections: ODBC 3.8
// where the driver manager has it, else 3. Allocated on first use by any
// thread, never freed (connections may be opened until the process ends).
#pragma once

#include "driver/odbc.h"

namespace jov::driver::handles {

// The environment, or SQL_NULL_HENV with a record kept when it cannot be
// allocated (a later call tries again).
SQLHENV SharedEnvironment();

// Forgets the environment without freeing it, so the next use allocates
// another: for the unit tests, whose fake driver manager drops every handle
// between tests.
void ForgetSharedEnvironment();

}  // namespace jov::driver::handles

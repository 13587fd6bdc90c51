// A data source's own settings, as the ODBC installer library keeps them
// (odbc.ini on Linux, the registry on Windows), so the caller can extend a
// setting the connection string would otherwise replace (psqlODBC's
// ConnSettings).
#pragma once

#include "driver/diagnostic.h"

namespace jov::driver::handles {

// The value of key in dataSource's section; empty when there is none.
Utf16 DataSourceSetting(const Utf16& dataSource, const Utf16& key);

}  // namespace jov::driver::handles

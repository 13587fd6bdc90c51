// What the ODBC driver manager the library is linked against does in its own
// way, where the driver must go around it. The library links unixODBC on
// Linux (iODBC in the second build, JOV_ODBC_MANAGER=iodbc, which defines
// JOV_ODBC_MANAGER_IODBC) and Microsoft's manager on Windows.
#pragma once

namespace jov::platform {

#ifdef JOV_ODBC_MANAGER_IODBC
// iODBC 3.52 hands the ODBC driver garbage for every row but the first of a
// text parameter array (measured with psqlODBC: "u1", "u2" arrived as "ST",
// "c/"), while arrays of integers arrive whole. Variable-width arrays (text
// and binary) are therefore refused, and batches run row by row.
inline constexpr bool kPassesVariableWidthArrays = false;
#else
inline constexpr bool kPassesVariableWidthArrays = true;
#endif

}  // namespace jov::platform

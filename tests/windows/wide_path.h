// The checks of the driver's own path (the natives of OdbcNatives) in the
// Windows DLL, where UNICODE text takes the wide calls with SQL_C_WCHAR.
#pragma once

#include <windows.h>

// Runs every check against the data source JovSqlite, and against the rig's
// PostgreSQL through psqlODBC's Unicode driver when JOV_WINE_PG holds its
// connection string; adds to the tallies.
void RunWidePath(HMODULE dll, int* passed, int* failed);

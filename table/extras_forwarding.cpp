// The calls behind the extra natives (an update with its row count, numbers
// read without text), forwarded to the object of an open identifier like the
// others; a failure's record is copied into the table's.
#include "table/DataSourceTable.h"

namespace jov {

int32_t DataSourceTable::ExecSQLUpdateRowCount(int32_t id, const char* sql, int64_t* rowCount) {
    *rowCount = -1;
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    SQLLEN count = -1;
    int32_t result = object->ExecSQLUpdate(sql, &count);
    if (result < 0) CopyErrorFrom(*object);
    *rowCount = static_cast<int64_t>(count);
    return result;
}

int32_t DataSourceTable::GetColumnLong(int32_t id, int32_t cursor, int32_t column, int64_t* value) {
    *value = 0;
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    CursorHold hold = object->ReadCursor(cursor);
    int32_t result = object->GetColumnLong(cursor, column, value);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::GetColumnDouble(int32_t id, int32_t cursor, int32_t column,
                                         double* value) {
    *value = 0;
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    CursorHold hold = object->ReadCursor(cursor);
    int32_t result = object->GetColumnDouble(cursor, column, value);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

// --- SQL run as the driver reports it ---

int32_t DataSourceTable::ExecSQLEither(int32_t id, const char* sql, int32_t* cursor,
                                       int64_t* rowCount) {
    *cursor = 0;
    *rowCount = -1;
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    SQLLEN count = -1;
    int32_t result = object->ExecSQLEither(sql, cursor, &count);
    if (result < 0) CopyErrorFrom(*object);
    *rowCount = static_cast<int64_t>(count);
    return result;
}

}  // namespace jov

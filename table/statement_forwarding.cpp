// Statement and fetch calls from Java, forwarded to the object of an open
// identifier; a failure's record is copied into the table's.
#include "table/DataSourceTable.h"

namespace jov {

int32_t DataSourceTable::ExecSQLQuery(int32_t id, const char* sql, int32_t* cursor) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->ExecSQLQuery(sql, cursor);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::ExecSQLUpdate(int32_t id, const char* sql) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->ExecSQLUpdate(sql);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::GetCursorHandle(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->GetCursorHandle();
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::GetColumnNum(int32_t id, int32_t cursor) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->GetColumnNum(cursor);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

namespace {

// The three-way answer Java sees: 1 a row, 0 no further row, -1 failure.
int32_t FetchResult(int32_t succeeded, int32_t endOfData) {
    if (succeeded == 0) return -1;
    return endOfData == 1 ? 0 : 1;
}

}  // namespace

int32_t DataSourceTable::Fetch(int32_t id, int32_t cursor) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t endOfData = 0;
    int32_t succeeded = object->Fetch(cursor, &endOfData);
    if (succeeded == 0) CopyErrorFrom(*object);
    return FetchResult(succeeded, endOfData);
}

int32_t DataSourceTable::FetchScroll(int32_t id, int32_t cursor, int32_t orientation,
                                     int32_t offset) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t endOfData = 0;
    int32_t succeeded = object->FetchScroll(cursor, &endOfData, orientation, offset);
    if (succeeded == 0) CopyErrorFrom(*object);
    return FetchResult(succeeded, endOfData);
}

void DataSourceTable::CloseCursor(int32_t id, int32_t cursor) {
    if (OdbcAccsRef object = FindOpen(id)) object->CloseCursor(cursor);
}

}  // namespace jov

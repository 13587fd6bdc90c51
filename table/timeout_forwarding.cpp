// The calls behind the timeout natives, forwarded to the object of an open
// identifier like the others; a failure's record is copied into the table's.
#include "table/DataSourceTable.h"

namespace jov {

int32_t DataSourceTable::SetQueryTimeout(int32_t id, int32_t seconds) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->SetQueryTimeout(seconds);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::SetConnectionTimeout(int32_t id, int32_t seconds) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->SetConnectionTimeout(seconds);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

int32_t DataSourceTable::Cancel(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->Cancel();
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

}  // namespace jov

// Connection-level calls from Java, forwarded to the object of an open
// identifier. Only Transact reports an object failure through the record.
#include "table/DataSourceTable.h"

namespace jov {

int32_t DataSourceTable::IsOpenOk(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->IsOpenOk() : 0;
}

TextLease DataSourceTable::GetOpenDataSource(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    const char* name = object->GetOpenDataSource();
    return TextLease{std::move(object), CursorHold(), name};
}

void DataSourceTable::SetAutoCommit(int32_t id, int32_t on) {
    if (OdbcAccsRef object = FindOpen(id)) object->SetAutoCommit(on);
}

int32_t DataSourceTable::GetAutoCommit(int32_t id) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetAutoCommit() : 0;
}

int32_t DataSourceTable::Transact(int32_t id, int32_t commit) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return -1;
    int32_t result = object->Transact(commit);
    if (result < 0) CopyErrorFrom(*object);
    return result;
}

void DataSourceTable::SetDateStyle(int32_t id, int16_t style) {
    if (OdbcAccsRef object = FindOpen(id)) object->SetDateStyle(style);
}

}  // namespace jov

// Column calls from Java, forwarded to the object of an open identifier. A
// rejected identifier answers with each call's own value: IsColumnDataNull 1
// (so value readers return an empty value), GetColumnDataTimet 1,
// GetColumnNoFromName 0, the rest 0 or null.
#include "table/DataSourceTable.h"

namespace jov {

TextLease DataSourceTable::GetColumnName(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    const char* name = object->GetColumnName(cursor, column);
    if (name == nullptr) CopyErrorFrom(*object);
    return TextLease{std::move(object), name};
}

int16_t DataSourceTable::GetColumnType(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnType(cursor, column) : 0;
}

int32_t DataSourceTable::GetColumnOctetLength(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnOctetLength(cursor, column) : 0;
}

int32_t DataSourceTable::GetColumnFetchDataLength(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnFetchDataLength(cursor, column) : 0;
}

int16_t DataSourceTable::GetColumnNumericPrecision(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnNumericPrecision(cursor, column) : 0;
}

int16_t DataSourceTable::GetColumnNumericScale(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnNumericScale(cursor, column) : 0;
}

int32_t DataSourceTable::GetColumnNoFromName(int32_t id, int32_t cursor, const char* name) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnNoFromName(cursor, name) : 0;
}

int32_t DataSourceTable::IsColumnDataNull(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->IsColumnDataNull(cursor, column) : 1;
}

int32_t DataSourceTable::GetColumnDataTimet(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    return object ? object->GetColumnDataTimet(cursor, column) : 1;
}

ValueText DataSourceTable::GetColumnValueText(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    ValueText value;
    value.isNull = object->IsColumnDataNull(cursor, column);
    if (value.isNull != 1) {
        value.text.text = object->GetColumnDataString(cursor, column, nullptr, 0);
        value.text.owner = std::move(object);
    }
    return value;
}

BytesLease DataSourceTable::GetColumnValueBytes(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    if (!object || object->IsColumnDataNull(cursor, column) == 1) return {};
    BytesLease lease;
    lease.data = object->GetColumnDataBinary(cursor, column, &lease.length, nullptr, 0);
    lease.owner = std::move(object);
    return lease;
}

}  // namespace jov

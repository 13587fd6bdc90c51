// Column calls from Java, forwarded to the object of an open identifier. A
// rejected identifier answers with each call's own value: IsColumnDataNull 1
// (so value readers return an empty value), GetColumnDataTimet 1,
// GetColumnNoFromName 0, the rest 0 or null.
#include "table/DataSourceTable.h"

namespace jov {

TextLease DataSourceTable::GetColumnName(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    CursorHold hold = object->ReadCursor(cursor);
    const char* name = object->GetColumnName(cursor, column);
    if (name == nullptr) CopyErrorFrom(*object);
    return TextLease{std::move(object), std::move(hold), name};
}

namespace {

// Answers a scalar question about one cursor of an open identifier while
// holding that cursor for reading; `invalid` when the identifier is rejected.
template <typename Result, typename Ask>
Result AskCursor(const OdbcAccsRef& object, int32_t cursor, Result invalid, Ask ask) {
    if (!object) return invalid;
    CursorHold hold = object->ReadCursor(cursor);
    return ask(*object);
}

}  // namespace

int16_t DataSourceTable::GetColumnType(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int16_t>(FindOpen(id), cursor, 0,
                              [&](OdbcAccs& o) { return o.GetColumnType(cursor, column); });
}

int32_t DataSourceTable::GetColumnOctetLength(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int32_t>(FindOpen(id), cursor, 0,
                              [&](OdbcAccs& o) { return o.GetColumnOctetLength(cursor, column); });
}

int32_t DataSourceTable::GetColumnFetchDataLength(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int32_t>(FindOpen(id), cursor, 0, [&](OdbcAccs& o) {
        return o.GetColumnFetchDataLength(cursor, column);
    });
}

int16_t DataSourceTable::GetColumnNumericPrecision(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int16_t>(FindOpen(id), cursor, 0, [&](OdbcAccs& o) {
        return o.GetColumnNumericPrecision(cursor, column);
    });
}

int16_t DataSourceTable::GetColumnNumericScale(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int16_t>(FindOpen(id), cursor, 0,
                              [&](OdbcAccs& o) { return o.GetColumnNumericScale(cursor, column); });
}

int32_t DataSourceTable::GetColumnNoFromName(int32_t id, int32_t cursor, const char* name) {
    return AskCursor<int32_t>(FindOpen(id), cursor, 0,
                              [&](OdbcAccs& o) { return o.GetColumnNoFromName(cursor, name); });
}

int32_t DataSourceTable::IsColumnDataNull(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int32_t>(FindOpen(id), cursor, 1,
                              [&](OdbcAccs& o) { return o.IsColumnDataNull(cursor, column); });
}

int32_t DataSourceTable::GetColumnDataTimet(int32_t id, int32_t cursor, int32_t column) {
    return AskCursor<int32_t>(FindOpen(id), cursor, 1,
                              [&](OdbcAccs& o) { return o.GetColumnDataTimet(cursor, column); });
}

ValueText DataSourceTable::GetColumnValueText(int32_t id, int32_t cursor, int32_t column,
                                              RenderBuffer& buffer) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    ValueText value;
    CursorHold hold = object->ReadCursor(cursor);
    const RenderedText rendered = object->RenderColumnValue(cursor, column, buffer);
    value.text.text = rendered.text;
    value.length = rendered.length;
    value.terminated = rendered.terminated;
    if (value.text.text != nullptr) {
        value.text.hold = std::move(hold);
        value.text.owner = std::move(object);
    }
    return value;
}

BytesLease DataSourceTable::GetColumnValueBytes(int32_t id, int32_t cursor, int32_t column) {
    OdbcAccsRef object = FindOpen(id);
    if (!object) return {};
    CursorHold hold = object->ReadCursor(cursor);
    if (object->IsColumnDataNull(cursor, column) == 1) return {};
    BytesLease lease;
    lease.data = object->GetColumnDataBinary(cursor, column, &lease.length, nullptr, 0);
    lease.hold = std::move(hold);
    lease.owner = std::move(object);
    return lease;
}

}  // namespace jov

#include "driver/values/whole_value.h"

#include <algorithm>

#include "driver/handles/diagnostics.h"

namespace jov::driver::values {

namespace {

// The first chunk's room: most values fit, a longer one costs one more call
// once the driver has said how long it is.
constexpr size_t kFirstChunkBytes = 8192;

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// Room for a chunk and its terminator, rounded down to whole units of the
// terminator's size so a wide chunk never ends inside a unit.
size_t Room(size_t free, size_t terminatorBytes) {
    if (terminatorBytes <= 1) return free;
    return free - free % terminatorBytes;
}

}  // namespace

SQLRETURN ReadWhole(handles::Statement& statement, SQLUSMALLINT column, SQLSMALLINT cType,
                    size_t terminatorBytes, std::string* bytes, bool* isNull) {
    *isNull = false;
    bytes->assign(kFirstChunkBytes, '\0');
    size_t have = 0;
    for (bool first = true;; first = false) {
        const size_t room = Room(bytes->size() - have, terminatorBytes);
        SQLLEN indicator = 0;
        const SQLRETURN rc = statement.GetData(column, cType, &(*bytes)[have],
                                               static_cast<SQLLEN>(room), &indicator);
        if (rc == SQL_NO_DATA) break;  // read whole (first: an empty value read before)
        if (!Ok(rc)) {
            bytes->clear();
            return rc;
        }
        if (indicator == SQL_NULL_DATA) {
            *isNull = first;
            break;
        }
        const size_t chunk = room - terminatorBytes;
        const bool cut = indicator == SQL_NO_TOTAL || static_cast<size_t>(indicator) > chunk;
        if (!cut) {
            have += static_cast<size_t>(indicator);
            break;
        }
        have += chunk;
        // The rest: as announced, or as much again as the buffer holds.
        const size_t rest = indicator == SQL_NO_TOTAL ? bytes->size()
                                                      : static_cast<size_t>(indicator) - chunk;
        bytes->resize(have + std::max(rest, kFirstChunkBytes) + terminatorBytes);
    }
    bytes->resize(have);
    return SQL_SUCCESS;
}

SQLRETURN ReadText(handles::Statement& statement, SQLUSMALLINT column, Utf16* text,
                   bool* isNull) {
    const text::Codec& codec = statement.codec();
    std::string bytes;
    const SQLRETURN rc =
        ReadWhole(statement, column, codec.TextCType(), codec.UnitBytes(), &bytes, isNull);
    if (Ok(rc)) *text = codec.Decode(bytes);
    return rc;
}

SQLRETURN ReadFixed(handles::Statement& statement, SQLUSMALLINT column, SQLSMALLINT cType,
                    void* target, size_t size, bool* isNull) {
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        statement.GetData(column, cType, target, static_cast<SQLLEN>(size), &indicator);
    *isNull = Ok(rc) && indicator == SQL_NULL_DATA;
    return rc;
}

}  // namespace jov::driver::values

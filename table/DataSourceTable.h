// DataSourceTable: the library's only process-wide state.
//
// It owns every OdbcAccs in kMaxDataSources slots; slot i holds the object of
// database identifier i + 1, an empty slot is free. Every call from Java that
// names a connection comes through here: FindOpen validates the identifier
// (range, slot taken, connection open) and records "JovJdbcOdbc-02", -03 or -04
// when it fails; otherwise the call goes to the object's operation of the same
// name, and where the operation reports failure through its result the
// object's error record is copied into the table's last-error record, the one
// that Java reads.
//
// Lifetime: a slot holds shared ownership of its object. Every call that found
// an object keeps it alive until it returns, so a Close that races another
// call on the same identifier never frees memory in use: the slot becomes free
// at once (later calls see the identifier as not open), and the object is
// closed and deleted when its last user lets go. Returned texts and bytes come
// with that ownership (TextLease, BytesLease) and stay valid while it is held.
//
// Threads: Open is serialised against Open by openBusy. Each slot has a short
// lock of its own (Slot), the last-error record another, so every reader sees
// whole, terminated texts. A success never clears the record; reading it does
// not clear it either.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/busy_flag.h"
#include "table/slot.h"

namespace jov {

constexpr int kMaxDataSources = 512;

// A hold of a cursor for reading (see OdbcAccs::ReadCursor).
using CursorHold = std::shared_lock<CursorLock>;

// A text inside an object, valid while owner (and, for a cursor's text, the
// hold of that cursor) is kept. The hold is released before the owner.
struct TextLease {
    OdbcAccsRef owner;
    CursorHold hold;
    const char* text = nullptr;
};

// A value's rendering as text (OdbcAccs::RenderColumnValue): exactly length
// bytes, followed by a NUL only when terminated. text is null for a NULL
// value, for an identifier that is not open, wherever the object renders
// nothing and when the caller's buffer found no heap.
struct ValueText {
    TextLease text;
    int32_t length = 0;
    bool terminated = false;
};

// Bytes inside an object, valid while owner and hold are kept.
struct BytesLease {
    OdbcAccsRef owner;
    CursorHold hold;
    const unsigned char* data = nullptr;
    int32_t length = 0;
};

class DataSourceTable {
public:
    DataSourceTable() = default;
    DataSourceTable(const DataSourceTable&) = delete;
    DataSourceTable& operator=(const DataSourceTable&) = delete;

    // --- Opening, closing, lookup and the last-error record (data_source_table.cpp) ---

    // Returns the new identifier (1..kMaxDataSources) or -1 with the record
    // set.
    int32_t Open(const char* dataSource, const char* user, const char* password);
    void Close(int32_t id);
    // The object of an open connection, or null after recording -02, -03 or -04.
    OdbcAccsRef FindOpen(int32_t id);
    // Stores at most 511 bytes of message and 47 of code, cut by bytes.
    void SetError(const char* message, const char* code);
    // Copies the record; the targets hold kErrorMessageSize and kErrorCodeSize bytes.
    int32_t GetError(char* message, char* code);
    // Copies an object's record into the table's.
    void CopyErrorFrom(OdbcAccs& object);

    // --- Connection-level forwarding (connection_forwarding.cpp) ---

    int32_t IsOpenOk(int32_t id);
    TextLease GetOpenDataSource(int32_t id);
    void SetAutoCommit(int32_t id, int32_t on);
    int32_t GetAutoCommit(int32_t id);
    int32_t Transact(int32_t id, int32_t commit);
    void SetDateStyle(int32_t id, int16_t style);

    // --- Statements and fetching (statement_forwarding.cpp) ---

    int32_t ExecSQLQuery(int32_t id, const char* sql, int32_t* cursor);
    int32_t ExecSQLUpdate(int32_t id, const char* sql);
    int32_t GetCursorHandle(int32_t id);
    int32_t GetColumnNum(int32_t id, int32_t cursor);
    // 1 a row was fetched, 0 no further row, -1 failure.
    int32_t Fetch(int32_t id, int32_t cursor);
    int32_t FetchScroll(int32_t id, int32_t cursor, int32_t orientation, int32_t offset);
    void CloseCursor(int32_t id, int32_t cursor);

    // --- Columns (column_forwarding.cpp) ---

    TextLease GetColumnName(int32_t id, int32_t cursor, int32_t column);
    int16_t GetColumnType(int32_t id, int32_t cursor, int32_t column);
    int32_t GetColumnOctetLength(int32_t id, int32_t cursor, int32_t column);
    int32_t GetColumnFetchDataLength(int32_t id, int32_t cursor, int32_t column);
    int16_t GetColumnNumericPrecision(int32_t id, int32_t cursor, int32_t column);
    int16_t GetColumnNumericScale(int32_t id, int32_t cursor, int32_t column);
    int32_t GetColumnNoFromName(int32_t id, int32_t cursor, const char* name);
    int32_t IsColumnDataNull(int32_t id, int32_t cursor, int32_t column);
    int32_t GetColumnDataTimet(int32_t id, int32_t cursor, int32_t column);

    // The NULL test followed, for a value that is not NULL, by its rendering
    // (RenderColumnValue, into buffer where it is not the stored text) or
    // GetColumnDataBinary (without a destination), under one lookup of the
    // identifier: the value natives run these for every value of every row.
    ValueText GetColumnValueText(int32_t id, int32_t cursor, int32_t column, RenderBuffer& buffer);
    BytesLease GetColumnValueBytes(int32_t id, int32_t cursor, int32_t column);

private:
    int32_t TakeFreeSlot();

    Slot slots_[kMaxDataSources];
    char errorMessage_[kErrorMessageSize] = {};
    char errorCode_[kErrorCodeSize] = {};
    BusyFlag openBusy_;
    std::mutex errorLock_;
};

// The one table of the process, created by static initialisation and never
// destroyed (connections still open at unload are left as they are).
DataSourceTable& TheDataSourceTable();

}  // namespace jov

// Row fetching: moving a cursor and copying every value of the new row into
// the cursor's catalogue.
//
// Each value is read by SQLGetData straight into rowBuffer in chunks of
// kChunkSize bytes, at most kMaxChunks of them (longer values are cut without
// an error), then copied once into the column's own buffer. Column buffers are
// sized exactly and only grow, so once a column's longest value has been seen
// a fetch allocates nothing.
//
// How a value is asked for, by column:
//  - character, numeric/decimal and date/time columns, and columns whose driver
//    refused a binary conversion (readAsChar): SQL_C_CHAR text. Character data
//    is the same bytes either way, but psqlODBC overwrites the last byte of a
//    character value read as SQL_C_BINARY in several chunks with a terminator,
//    so character columns are read as text. A chunk cut by the
//    driver carries kChunkSize - 1 data bytes and its terminator; only the
//    data bytes count, so stored text never holds a NUL of the driver's.
//  - fixed-width numbers: their own C type (SQL_C_SLONG, SQL_C_DOUBLE, ...),
//    since drivers do not hand out a binary integer for SQL_C_BINARY. The
//    value is exactly the type's width.
//  - everything else: SQL_C_BINARY, the bytes as the driver holds them.
//
// Bounds: a chunk's target is rowBuffer + total with room for kChunkSize
// bytes, and total stays at or below (chunks read) * kChunkSize, so no chunk
// and no date terminator at rowBuffer[total] passes kRowBufferSize.
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"
#include "odbcaccs/still_executing.h"
#include "platform/heap.h"

namespace jov {

namespace {

// The C type a value is read in and the most bytes one chunk of it may count.
struct Conversion {
    SQLSMALLINT cType;
    int32_t chunkLimit;
    bool fixedWidth;
};

constexpr Conversion kAsText{SQL_C_CHAR, kChunkSize - 1, false};
constexpr Conversion kAsBytes{SQL_C_BINARY, kChunkSize, false};

constexpr Conversion Fixed(SQLSMALLINT cType, int32_t width) { return {cType, width, true}; }

Conversion ConversionFor(const ColumnInfo& column) {
    if (column.hasPrecision != 0 || column.isDateTime != 0 || column.readAsChar != 0) {
        return kAsText;
    }
    switch (column.sqlType) {
        case SQL_CHAR:
        case SQL_VARCHAR:
        case SQL_LONGVARCHAR:
            return kAsText;
        case SQL_INTEGER:
            return Fixed(SQL_C_SLONG, 4);
        case SQL_SMALLINT:
            return Fixed(SQL_C_SSHORT, 2);
        case SQL_TINYINT:
            return Fixed(SQL_C_STINYINT, 1);
        case SQL_BIT:
            return Fixed(SQL_C_BIT, 1);
        case SQL_BIGINT:
            return Fixed(SQL_C_SBIGINT, 8);
        case SQL_REAL:
            return Fixed(SQL_C_FLOAT, 4);
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return Fixed(SQL_C_DOUBLE, 8);
        default:
            return kAsBytes;
    }
}

// Bytes one successful chunk adds to the value. A fixed-width value is its
// width; otherwise the indicator, except that a value longer than the chunk
// (or of unknown length, SQL_NO_TOTAL) counts as a full chunk.
int32_t ChunkLength(const Conversion& conversion, SQLLEN indicator) {
    if (conversion.fixedWidth) return conversion.chunkLimit;
    if (indicator < 0 || indicator > conversion.chunkLimit) return conversion.chunkLimit;
    return static_cast<int32_t>(indicator);
}

// Whether the driver's latest answer on stmt was SQLSTATE 07006 (restricted
// data type attribute violation). Reads the diagnostic record without
// touching the object's error record.
bool RefusedConversion(SQLHSTMT stmt) {
    SQLCHAR state[6] = {};
    SQLINTEGER nativeError = 0;
    SQLCHAR text[1] = {};
    SQLSMALLINT textLength = 0;
    SQLRETURN rc = SQLGetDiagRec(SQL_HANDLE_STMT, stmt, 1, state, &nativeError, text, sizeof text,
                                 &textLength);
    return Succeeded(rc) && std::memcmp(state, "07006", 5) == 0;
}

}  // namespace

int32_t OdbcAccs::Fetch(int32_t h, int32_t* endOfData) {
    BusyGuard guard(fetchBusy);
    *endOfData = 0;
    if (!IsCursorHandle(h)) {
        RecordError("", kMsgInvalidCursor, h);
        return 0;
    }
    std::unique_lock<CursorLock> hold(cursorLocks_[h]);
    return FinishFetch(h, SQLFetch(hStmt[h]), endOfData);
}

static_assert(sizeof(SQLLEN) >= sizeof(int32_t), "a scroll offset from Java is never narrowed");

int32_t OdbcAccs::FetchScroll(int32_t h, int32_t* endOfData, int32_t orientation, int32_t offset) {
    BusyGuard guard(fetchBusy);
    *endOfData = 0;
    if (!IsCursorHandle(h)) {
        RecordError("", kMsgInvalidCursor, h);
        return 0;
    }
    // ODBC's orientation is 16 bits: a wider one is refused here, not
    // narrowed into another (65538 would fetch FIRST).
    if (orientation < INT16_MIN || orientation > INT16_MAX) {
        RecordError("", kMsgInvalidOrientation, orientation);
        return 0;
    }
    std::unique_lock<CursorLock> hold(cursorLocks_[h]);
    return FinishFetch(h, SQLFetchScroll(hStmt[h], static_cast<SQLSMALLINT>(orientation), offset),
                       endOfData);
}

// Completes a fetch after the cursor moved with answer `moved`: 1 on success,
// 0 on failure with the record set.
int32_t OdbcAccs::FinishFetch(int32_t h, SQLRETURN moved, int32_t* endOfData) {
    if (moved == SQL_NO_DATA) {
        *endOfData = 1;
        return 1;
    }
    if (!Succeeded(moved)) {
        StoreDiagnostics(SQL_HANDLE_STMT, hStmt[h]);
        return 0;
    }
    if (rowBuffer == nullptr) {
        rowBuffer = static_cast<unsigned char*>(AllocateBytes(kRowBufferSize));
        if (rowBuffer == nullptr) {
            RecordError("", kMsgNotEnoughMemory);
            return 0;
        }
    }
    return FetchRowValues(h) < 0 ? 0 : 1;
}

// Reads and stores every column of the current row, in column order. A
// failure leaves the columns before it holding the new row and the others the
// previous one.
int32_t OdbcAccs::FetchRowValues(int32_t h) {
    const int32_t count = GetColumnCount(h);
    if (count == 0) return 0;
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    for (int32_t i = 0; i < count; ++i) {
        int32_t isNull = 0;
        int32_t length = ReadValue(i, stmt, catalogue[i], rowBuffer, &isNull);
        if (length < 0 || StoreValue(catalogue[i], rowBuffer, length, isNull) < 0) return -1;
    }
    return 0;
}

// target: kRowBufferSize bytes, such as rowBuffer.
int32_t OdbcAccs::ReadColumnValue(int32_t h, int32_t index, unsigned char* target,
                                  int32_t* isNullOut) {
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    if (index < 0 || index >= columnCount[h] || target == nullptr) return -1;
    return ReadValue(index, stmt, catalogue[index], target, isNullOut);
}

// Reads column index + 1 of the current row into target. Returns the bytes
// read (0 with *isNullOut = 1 for NULL), or -1 with the record set.
int32_t OdbcAccs::ReadValue(int32_t index, SQLHSTMT stmt, ColumnInfo& column,
                            unsigned char* target, int32_t* isNullOut) {
    *isNullOut = 0;
    const SQLUSMALLINT number = static_cast<SQLUSMALLINT>(index + 1);
    Conversion conversion = ConversionFor(column);
    int32_t total = 0;
    for (int32_t chunks = 0; chunks < kMaxChunks;) {
        SQLLEN indicator = 0;
        SQLRETURN rc = RepeatWhileStillExecuting([&] {
            return SQLGetData(stmt, number, conversion.cType, target + total, kChunkSize,
                              &indicator);
        });
        if (rc == SQL_NO_DATA) break;
        if (rc == SQL_STILL_EXECUTING) {
            RecordError("", kMsgStillExecutingTimeout);
            return -1;
        }
        if (!Succeeded(rc)) {
            // Some drivers refuse SQL_C_BINARY for types they report as
            // character (psqlODBC's boolean): read this column as text from
            // now on, starting with this very chunk.
            if (rc == SQL_ERROR && conversion.cType == SQL_C_BINARY && RefusedConversion(stmt)) {
                column.readAsChar = 1;
                conversion = kAsText;
                continue;
            }
            StoreDiagnostics(SQL_HANDLE_STMT, stmt);
            return -1;
        }
        if (indicator == SQL_NULL_DATA) {
            *isNullOut = 1;
            return 0;
        }
        total += ChunkLength(conversion, indicator);
        if (rc == SQL_SUCCESS) break;
        ++chunks;
    }
    return total;
}

int32_t OdbcAccs::StoreColumnValue(int32_t h, int32_t index, const unsigned char* source,
                                   int32_t length, int32_t isNullIn) {
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    if (index < 0 || index >= columnCount[h]) return 0;
    return StoreValue(catalogue[index], source, length, isNullIn);
}

// A NULL keeps the previous value's length and bytes; the accessors hide them.
int32_t OdbcAccs::StoreValue(ColumnInfo& column, const unsigned char* source, int32_t length,
                             int32_t isNullIn) {
    if (isNullIn == 1) {
        column.isNull = 1;
        return 0;
    }
    column.dataLength = 0;
    column.isNull = 0;
    if (length <= 0) return 0;
    if (GrowValueBuffer(column, length) < 0) return -1;
    std::memcpy(column.data, source, static_cast<std::size_t>(length));
    column.dataLength = length;
    return 0;
}

int32_t OdbcAccs::EnsureValueCapacity(int32_t h, int32_t index, int32_t needed) {
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    if (index < 0 || index >= columnCount[h]) return 0;
    return GrowValueBuffer(catalogue[index], needed);
}

// Replaces a buffer smaller than needed by one of exactly needed bytes. The
// old contents are dropped: the caller overwrites the buffer at once.
int32_t OdbcAccs::GrowValueBuffer(ColumnInfo& column, int32_t needed) {
    if (needed <= 0 || (column.data != nullptr && column.dataCapacity >= needed)) return 0;
    FreeBytes(column.data);
    column.data = nullptr;
    column.dataCapacity = 0;
    column.data = static_cast<unsigned char*>(AllocateBytes(static_cast<std::size_t>(needed)));
    if (column.data == nullptr) {
        RecordError("", kMsgNotEnoughMemory);
        return -1;
    }
    column.dataCapacity = needed;
    return 0;
}

}  // namespace jov

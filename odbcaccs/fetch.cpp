// Row fetching: moving a cursor and copying every value of the new row into
// the cursor's catalogue.
//
// Each value is read by SQLGetData straight into rowBuffer in chunks of at
// most kChunkSize bytes, up to kMaxValueBytes of data (longer values are cut
// without an error), then copied once into the column's own buffer. Column
// buffers are sized exactly and only grow, so once a column's longest value
// has been seen a fetch allocates nothing.
//
// How a value is asked for, by column:
//  - character, numeric/decimal and date/time columns, and columns whose driver
//    refused the C type below (07006, readAsChar): SQL_C_CHAR text. Character
//    data is the same bytes either way, but psqlODBC overwrites the last byte
//    of a character value read as SQL_C_BINARY in several chunks with a
//    terminator, so character columns are read as text. A chunk the driver
//    cuts holds its data and a terminator; only the bytes before the
//    terminator count (a driver may stop a byte early rather than split a
//    double-byte character), so stored text never holds a NUL of the
//    driver's. Text chunks thus carry at most kChunkSize - 1 data bytes, and
//    the last of the 17 a longest value takes is shortened to end the value
//    at kMaxValueBytes.
//  - exact integers: SQL_C_SBIGINT, since drivers do not hand out a binary
//    integer for SQL_C_BINARY, and the SQLite driver keeps any 64-bit value in
//    a column it reports as INTEGER, SMALLINT or TINYINT (and a BIT may hold
//    2). A value within the column's range is stored in the column's width
//    (4, 2 or 1 bytes; a BIT 0 or 1); any other as its decimal text.
//  - REAL: SQL_C_DOUBLE. A double that a float holds (its float's shortest
//    text reads back as the same double) is stored as that float's 4 bytes;
//    any other as its shortest round-trip text.
//  - BIGINT, FLOAT and DOUBLE: their own C type (8 bytes), which nothing wider
//    can come in; but an unsigned BIGINT (readAsChar from the start) as text.
//  - everything else: SQL_C_BINARY, the bytes as the driver holds them.
// A value held as text in a column not read as text is marked valueIsText, so
// that rendering takes the text and not a binary form.
//
// Bounds: a chunk's target is rowBuffer + total with room for at most
// kMaxValueBytes - total bytes of data (and a text chunk's terminator), so no
// chunk passes kMaxValueBytes + 1 <= kRowBufferSize.
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"
#include "odbcaccs/still_executing.h"
#include "platform/heap.h"

namespace jov {

namespace {

// What a fixed-width read is checked for before it is stored.
enum class Fit {
    kAsRead,   // the bytes read are the value
    kInteger,  // an SQL_C_SBIGINT read of a narrower integer column
    kReal,     // an SQL_C_DOUBLE read of a REAL column
};

// The C type a value is read in, the most bytes one chunk of it may count
// (the width of a fixed-width read), and the check of a fixed-width value.
struct Conversion {
    SQLSMALLINT cType;
    int32_t chunkLimit;
    bool fixedWidth;
    Fit fit;
};

constexpr Conversion kAsText{SQL_C_CHAR, kChunkSize - 1, false, Fit::kAsRead};
constexpr Conversion kAsBytes{SQL_C_BINARY, kChunkSize, false, Fit::kAsRead};

// Successful chunk reads of one value: a longest text value takes one more
// than kMaxChunks, its chunks carrying a terminator each.
constexpr int32_t kMaxChunkReads = kMaxChunks + 1;
static_assert(kMaxChunkReads * (kChunkSize - 1) >= kMaxValueBytes, "text reaches the limit");

// The longest text of a fixed-width value: an int64 or a double's shortest
// round-trip text, with room to spare.
constexpr int32_t kFixedTextSize = 32;
static_assert(kFixedTextSize <= kChunkSize, "a fixed-width value's text fits one chunk");

constexpr Conversion Fixed(SQLSMALLINT cType, int32_t width, Fit fit = Fit::kAsRead) {
    return {cType, width, true, fit};
}

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
        case SQL_SMALLINT:
        case SQL_TINYINT:
        case SQL_BIT:
            return Fixed(SQL_C_SBIGINT, 8, Fit::kInteger);
        case SQL_BIGINT:
            return Fixed(SQL_C_SBIGINT, 8);
        case SQL_REAL:
            return Fixed(SQL_C_DOUBLE, 8, Fit::kReal);
        case SQL_FLOAT:
        case SQL_DOUBLE:
            return Fixed(SQL_C_DOUBLE, 8);
        default:
            return kAsBytes;
    }
}

// Room for the chunk that starts total bytes into the value: kChunkSize, but
// no data byte beyond kMaxValueBytes (a text chunk also holds a terminator).
SQLLEN ChunkRoom(const Conversion& conversion, int32_t total) {
    const int32_t terminator = conversion.cType == SQL_C_CHAR ? 1 : 0;
    const int32_t room = kMaxValueBytes - total + terminator;
    return room < kChunkSize ? room : kChunkSize;
}

// Data bytes one successful chunk of room bytes at chunk adds to the value:
// the indicator when the rest of the value fit, else (cut, or of unknown
// length: SQL_NO_TOTAL) the whole room, or for text the bytes before the
// terminator the driver wrote.
int32_t ChunkLength(const Conversion& conversion, const unsigned char* chunk, SQLLEN room,
                    SQLLEN indicator) {
    if (conversion.cType != SQL_C_CHAR) {
        return static_cast<int32_t>(indicator < 0 || indicator > room ? room : indicator);
    }
    if (indicator >= 0 && indicator < room) return static_cast<int32_t>(indicator);
    return static_cast<int32_t>(
        strnlen(reinterpret_cast<const char*>(chunk), static_cast<std::size_t>(room - 1)));
}

// Writes value's decimal (or shortest round-trip) text at target and returns
// its length.
template <typename T>
int32_t WriteText(unsigned char* target, T value) {
    char* out = reinterpret_cast<char*>(target);
    const std::to_chars_result written = std::to_chars(out, out + kFixedTextSize, value);
    return static_cast<int32_t>(written.ptr - out);
}

template <typename T>
int32_t WriteBytes(unsigned char* target, T value) {
    std::memcpy(target, &value, sizeof value);
    return static_cast<int32_t>(sizeof value);
}

// An integer read as SQL_C_SBIGINT at target, stored in the width of the
// column's type when it lies in its range, else as its text.
int32_t FitInteger(int16_t sqlType, unsigned char* target, int32_t* isText) {
    int64_t value;
    std::memcpy(&value, target, sizeof value);
    switch (sqlType) {
        case SQL_INTEGER:
            if (value >= INT32_MIN && value <= INT32_MAX) {
                return WriteBytes(target, static_cast<int32_t>(value));
            }
            break;
        case SQL_SMALLINT:
            if (value >= INT16_MIN && value <= INT16_MAX) {
                return WriteBytes(target, static_cast<int16_t>(value));
            }
            break;
        case SQL_TINYINT:
            if (value >= INT8_MIN && value <= INT8_MAX) {
                return WriteBytes(target, static_cast<int8_t>(value));
            }
            break;
        default:  // SQL_BIT
            if (value == 0 || value == 1) return WriteBytes(target, static_cast<int8_t>(value));
            break;
    }
    *isText = 1;
    return WriteText(target, value);
}

// Whether a float holds the double: NaN, the infinities, a float widened, and
// finite values whose nearest float's shortest text reads back as the same
// double. A driver that hands a float column's value as a double (widened, or
// parsed from that text as psqlODBC does) thus keeps its 4 bytes, and a double
// that a float would cut (1e39, 16777217, 3.14159265358979) does not.
bool FloatHolds(double value) {
    if (std::isnan(value) || std::isinf(value)) return true;
    if (std::fabs(value) > std::numeric_limits<float>::max()) return false;
    const float nearest = static_cast<float>(value);
    if (static_cast<double>(nearest) == value) return true;
    char text[kFixedTextSize];
    const std::to_chars_result written = std::to_chars(text, text + sizeof text, nearest);
    double back = 0;
    const std::from_chars_result read = std::from_chars(text, written.ptr, back);
    return read.ec == std::errc() && back == value;
}

// A REAL read as SQL_C_DOUBLE at target: its float's 4 bytes when a float
// holds it, else its text.
int32_t FitReal(unsigned char* target, int32_t* isText) {
    double value;
    std::memcpy(&value, target, sizeof value);
    if (FloatHolds(value)) return WriteBytes(target, static_cast<float>(value));
    *isText = 1;
    return WriteText(target, value);
}

// Stores a fixed-width value read at target in its stored form; returns its
// length, with *isText 1 when that form is its text.
int32_t FitFixed(const Conversion& conversion, int16_t sqlType, unsigned char* target,
                 int32_t* isText) {
    switch (conversion.fit) {
        case Fit::kInteger:
            return FitInteger(sqlType, target, isText);
        case Fit::kReal:
            return FitReal(target, isText);
        case Fit::kAsRead:
            break;
    }
    return conversion.chunkLimit;
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
        int32_t isText = 0;
        int32_t length = ReadValue(i, stmt, catalogue[i], rowBuffer, &isNull, &isText);
        if (length < 0 || StoreValue(catalogue[i], rowBuffer, length, isNull, isText) < 0) {
            return -1;
        }
    }
    return 0;
}

// target: kRowBufferSize bytes, such as rowBuffer.
int32_t OdbcAccs::ReadColumnValue(int32_t h, int32_t index, unsigned char* target,
                                  int32_t* isNullOut, int32_t* isTextOut) {
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    if (index < 0 || index >= columnCount[h] || target == nullptr) return -1;
    int32_t isText = 0;
    const int32_t length = ReadValue(index, stmt, catalogue[index], target, isNullOut, &isText);
    if (isTextOut != nullptr) *isTextOut = isText;
    return length;
}

// Reads column index + 1 of the current row into target. Returns the bytes
// read (0 with *isNullOut = 1 for NULL), or -1 with the record set.
// *isTextOut is 1 when the bytes are text although the column is read in
// another C type.
int32_t OdbcAccs::ReadValue(int32_t index, SQLHSTMT stmt, ColumnInfo& column, unsigned char* target,
                            int32_t* isNullOut, int32_t* isTextOut) {
    *isNullOut = 0;
    *isTextOut = 0;
    const SQLUSMALLINT number = static_cast<SQLUSMALLINT>(index + 1);
    Conversion conversion = ConversionFor(column);
    int32_t total = 0;
    for (int32_t chunks = 0; chunks < kMaxChunkReads && total < kMaxValueBytes;) {
        const SQLLEN room = ChunkRoom(conversion, total);
        // MariaDB's driver writes a BIT read as SQL_C_SBIGINT in one byte and
        // leaves the other seven as they were: a fixed-width read starts at 0.
        if (conversion.fixedWidth) {
            std::memset(target, 0, static_cast<std::size_t>(conversion.chunkLimit));
        }
        SQLLEN indicator = 0;
        SQLRETURN rc = RepeatWhileStillExecuting([&] {
            return SQLGetData(stmt, number, conversion.cType, target + total, room, &indicator);
        });
        if (rc == SQL_NO_DATA) break;
        if (rc == SQL_STILL_EXECUTING) {
            RecordError("", kMsgStillExecutingTimeout);
            return -1;
        }
        if (!Succeeded(rc)) {
            // Some drivers refuse a C type for some of their types (psqlODBC
            // SQL_C_BINARY for its boolean): read this column as text from
            // now on, starting with this very chunk.
            if (rc == SQL_ERROR && conversion.cType != SQL_C_CHAR && RefusedConversion(stmt)) {
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
        if (conversion.fixedWidth) return FitFixed(conversion, column.sqlType, target, isTextOut);
        total += ChunkLength(conversion, target + total, room, indicator);
        if (rc == SQL_SUCCESS) break;
        ++chunks;
    }
    // readAsChar is only ever set on a column not read as text of its own.
    *isTextOut = column.readAsChar;
    return total;
}

int32_t OdbcAccs::StoreColumnValue(int32_t h, int32_t index, const unsigned char* source,
                                   int32_t length, int32_t isNullIn, int32_t isTextIn) {
    ColumnInfo* catalogue = GetColumnsChecked(h);
    if (catalogue == nullptr) return -1;
    if (index < 0 || index >= columnCount[h]) return 0;
    return StoreValue(catalogue[index], source, length, isNullIn, isTextIn);
}

// A NULL keeps the previous value's length, bytes and text mark; the accessors
// hide them.
int32_t OdbcAccs::StoreValue(ColumnInfo& column, const unsigned char* source, int32_t length,
                             int32_t isNullIn, int32_t isTextIn) {
    if (isNullIn == 1) {
        column.isNull = 1;
        return 0;
    }
    column.dataLength = 0;
    column.isNull = 0;
    column.valueIsText = isTextIn == 1 ? 1 : 0;
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

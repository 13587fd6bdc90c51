// OdbcAccs: one ODBC connection and everything that hangs from it.
//
// An object owns its environment and connection handles, up to kMaxCursors
// statements (cursors 1..32), the column catalogue of each cursor with the
// value buffers of its current row, one row buffer of kRowBufferSize bytes, the
// date style used when values are rendered as text, and an error record of its
// own. Operations never throw: they report failure through their result and
// leave a message and a code in the error record, which the data source table
// copies with GetError.
//
// Invariants:
//  - openOk == 0: no ODBC handle, no catalogue and no row buffer is held.
//  - openOk == 1 implies connected == 1 and non-null hEnv and hDbc.
//  - errorMessage and errorCode are always terminated within their sizes.
//  - The per-cursor tables are indexed by cursor handle 1..kMaxCursors;
//    entry 0 is never used.
//  - Cursor handle h is free when columns[h] is null. It is "statement only"
//    when cursorInUse[h] == 1 and hStmt[h] is set without a catalogue, and
//    open when it also has a catalogue.
//  - A ColumnInfo owns its data buffer of exactly dataCapacity bytes; buffers
//    only grow and are freed with the catalogue (FreeColumns).
//
// Threads: five busy flags admit one caller at a time to each kind of
// operation (open, close, query, fetch, update); kinds are not ordered against
// each other. Each cursor handle also has a read/write lock: fetching,
// querying into and closing a cursor hold it exclusively, and whoever reads
// the cursor's catalogue or values (the column accessors, rendering) holds it
// shared through ReadCursor for as long as it uses what it read. So a caller
// that reads a cursor while another thread fetches on it, or closes it, waits
// instead of touching freed memory. A query waits for no call on another
// cursor: finding a free cursor passes over the ones that are held.
// RenderColumnValue reads only the
// column's stored value and writes only the caller's own buffer, so a value
// read while another thread fetches or renders on another cursor of the same
// object is whole and right. Only GetColumnDataString still writes rowBuffer,
// the staging buffer of every fetch on the object. The error record has a
// short lock of its own so that every reader sees whole texts.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <shared_mutex>
#include <type_traits>

#include "odbcaccs/busy_flag.h"
#include "odbcaccs/cursor_lock.h"
#include "odbcaccs/odbc.h"

namespace jov {

constexpr int kMaxCursors = 32;
constexpr int kErrorMessageSize = 512;
constexpr int kErrorCodeSize = 48;
constexpr int kSqlStateSize = 6;
constexpr int kDataSourceNameSize = 240;
constexpr int kColumnNameSize = 32;
constexpr int kChunkSize = 4096;
constexpr int kMaxChunks = 16;
constexpr int kMaxValueBytes = kChunkSize * kMaxChunks;
constexpr int kRowBufferSize = kMaxValueBytes + 4;
constexpr int kMaxStillExecutingCalls = 180;
constexpr DWORD kStillExecutingPauseMs = 1000;
constexpr int16_t kDefaultDateStyle = 21;

// The largest value and the terminator that follows it fit in the row buffer.
static_assert(kRowBufferSize == 65540, "16 chunks of 4096 bytes plus room for a terminator");
static_assert(kMaxValueBytes + 1 <= kRowBufferSize, "a cut value keeps its terminator");

// One result column of a cursor and the value of its current row. Catalogues
// are zero-filled when built, so every field starts at 0 and data at null.
struct ColumnInfo {
    char name[kColumnNameSize];  // SQL_DESC_NAME, at most 28 bytes, terminated
    int32_t length;              // SQL_DESC_LENGTH
    int32_t dataLength;          // bytes of the current value in data; <= kMaxValueBytes
    int32_t dataCapacity;        // size of data; 0 while data is null
    unsigned char* data;         // current value without terminator; owned here
    int16_t sqlType;             // SQL_DESC_TYPE
    int32_t isNull;              // 1 when the current value is SQL NULL
    int32_t hasPrecision;        // 1 for SQL_NUMERIC and SQL_DECIMAL
    int32_t isDateTime;          // 1 for the types 9, 10, 11, 91, 92 and 93
    int16_t precision;           // SQL_DESC_PRECISION when hasPrecision
    int16_t scale;               // SQL_DESC_SCALE when hasPrecision
    int32_t readAsChar;          // 1 once the driver refused the column's C type (07006),
                                 // and for an unsigned BIGINT
    // 1 when the current value is held as its text although the column is
    // read in a fixed-width C type (or SQL_C_BINARY): the driver refused that
    // type (07006), or the value did not fit the column's declared width (an
    // INTEGER beyond 32 bits, a BIT of 2, a REAL no float holds). Set with
    // every non-NULL value; dataLength is then the text's length.
    int32_t valueIsText;
};
static_assert(std::is_trivial<ColumnInfo>::value, "catalogues are zero-filled blocks");

// A value's text as rendered for one caller: exactly length bytes at text,
// none of them NUL. When terminated, text[length] is a NUL of the caller's
// own buffer; otherwise the bytes are the column's stored value and no
// terminator follows them.
struct RenderedText {
    const char* text = nullptr;
    int32_t length = 0;
    bool terminated = false;
};

class RenderBuffer;

// The ODBC driver's diagnostic record 1 behind a failure: its SQLSTATE, text
// and native error. All empty and 0 when no ODBC call's diagnostic lies behind
// the failure (the library's own refusals) or the driver gave none.
struct DriverDiagnostic {
    char state[kSqlStateSize];
    char message[kErrorMessageSize];
    int32_t nativeError;
};
static_assert(std::is_trivial<DriverDiagnostic>::value, "copied and zero-filled as a block");

// A parsed date; year -1 means the text held no complete date.
struct DateFields {
    int16_t year;
    int16_t month;
    int16_t day;
};

// A parsed time of day on the 24-hour clock; 00:00:00 when none was found.
struct TimeFields {
    int16_t hour;
    int16_t minute;
    int16_t second;
};

class OdbcAccs {
public:
    OdbcAccs();
    OdbcAccs(const OdbcAccs&) = delete;
    OdbcAccs& operator=(const OdbcAccs&) = delete;

    // --- Connection lifecycle and records (connection.cpp, error_record.cpp) ---

    // Connects to a data source. Returns 1 when connected (or already connected
    // under exactly that name), 0 on failure with the error record set.
    int32_t OdbcOpen(const char* dataSource, const char* user, const char* password);
    // Closes every cursor, rolls back what was not committed, disconnects and
    // frees all handles and buffers. Reports nothing; on an object that is not
    // open it does nothing. Afterwards the object is not open, whatever the
    // driver answered.
    void OdbcClose();
    int32_t IsOpenOk() const { return openOk.load(std::memory_order_acquire); }
    // Valid while the object lives.
    const char* GetOpenDataSource() const { return dataSourceName; }
    void SetAutoCommit(int32_t on);
    int32_t GetAutoCommit();
    int32_t Transact(int32_t commit);
    void SetDateStyle(int16_t style) { dateStyle.store(style, std::memory_order_relaxed); }
    // Copies the record; message holds kErrorMessageSize bytes, code kErrorCodeSize.
    void GetError(char* message, char* code);
    // Replaces the record with diagnostic record 1 of the handle (both texts
    // empty when the handle has none).
    void StoreDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle);
    // Replaces the record with a formatted message of the library's own.
    void RecordError(const char* code, const char* format, ...)
        __attribute__((format(printf, 3, 4)));
    SQLRETURN SetCursorType();
    void ClearColumnTables();
    // Takes cursor h exclusively for the close.
    void CloseCursor(int32_t h);
    // Shared hold of cursor h for reading its catalogue and values; an empty
    // lock for a handle outside 1..kMaxCursors. Usage:
    //   auto hold = accs.ReadCursor(h);  const char* name = accs.GetColumnName(h, 1);
    std::shared_lock<CursorLock> ReadCursor(int32_t h) const;
    void FreeColumns(int32_t h);
    // Silent lookups: null and 0 outside 1..kMaxCursors. Inline: every value
    // read asks them.
    ColumnInfo* GetColumns(int32_t h) const;
    int32_t GetColumnCount(int32_t h) const;

    // --- Statements and the cursor table (statements.cpp) ---

    // Runs a query into the lowest free cursor. Returns the column count (0 or
    // more) with the handle in *cursor, or -1.
    int32_t ExecSQLQuery(const char* sql, int32_t* cursor);
    // Runs a statement without a result set: 1 executed, 0 SQL_NO_DATA,
    // 2 SQL_NEED_DATA, -1 failure.
    int32_t ExecSQLUpdate(const char* sql);
    int32_t GetCursorHandle() const { return lastCursorHandle.load(std::memory_order_acquire); }
    int32_t GetColumnNum(int32_t h) const { return GetColumnCount(h); }
    int32_t FindFreeCursor();
    int32_t AllocColumns(int32_t h, int32_t count);
    SQLHSTMT GetStatement(int32_t h);
    ColumnInfo* GetColumnsChecked(int32_t h);
    int32_t DescribeColumnName(int32_t h, int32_t column, char* name);
    int32_t DescribeColumnType(int32_t h, int32_t column, int16_t* type);
    int32_t DescribeColumnLength(int32_t h, int32_t column, int32_t* length);
    int32_t DescribeColumnPrecision(int32_t h, int32_t column, int16_t* precision,
                                    int16_t* scale);
    void SetColumnDescription(int32_t h, int32_t index, const char* name, int16_t type,
                              int32_t length);
    void SetColumnPrecision(int32_t h, int32_t index, int16_t precision, int16_t scale);
    void SetColumnDateTime(int32_t h, int32_t index, int32_t flag);
    bool IsUnsignedColumn(int32_t h, int32_t column);
    void SetColumnReadAsChar(int32_t h, int32_t index);


    // --- Dates and times (datetime.cpp) ---

    static void ParseDateTime(const char* text, DateFields* date, TimeFields* time);
    // Rewrites text (a buffer of at least 42 bytes) in the current date style.
    void FormatDateTime(char* text) const;
    static void FormatDateTimeInStyle(char* text, int16_t style);
    // Seconds since the epoch of the fields read as local time; 0 without a
    // date, -1 before the epoch or beyond 32 bits.
    static int32_t CalendarTime(const DateFields& date, const TimeFields& time);
    static void RemoveFirst(char* text, const char* marker);

    // --- Fetching (fetch.cpp) ---

    // 1 on success (endOfData 1 when there was no further row), 0 on failure.
    int32_t Fetch(int32_t h, int32_t* endOfData);
    int32_t FetchScroll(int32_t h, int32_t* endOfData, int32_t orientation, int32_t offset);
    // *isTextOut (when given) receives the valueIsText mark of the value read,
    // which StoreColumnValue takes as isTextIn.
    int32_t ReadColumnValue(int32_t h, int32_t index, unsigned char* target, int32_t* isNullOut,
                            int32_t* isTextOut = nullptr);
    int32_t StoreColumnValue(int32_t h, int32_t index, const unsigned char* source, int32_t length,
                             int32_t isNullIn, int32_t isTextIn = 0);
    int32_t EnsureValueCapacity(int32_t h, int32_t index, int32_t needed);

    // --- Column accessors (accessors.cpp); column numbers count from 1 ---

    const char* GetColumnName(int32_t h, int32_t column) const;
    int16_t GetColumnType(int32_t h, int32_t column) const;
    int32_t GetColumnOctetLength(int32_t h, int32_t column) const;
    int32_t GetColumnFetchDataLength(int32_t h, int32_t column) const;
    int16_t GetColumnNumericPrecision(int32_t h, int32_t column) const;
    int16_t GetColumnNumericScale(int32_t h, int32_t column) const;
    int32_t GetColumnNoFromName(int32_t h, const char* name) const;
    int32_t IsColumnDataNull(int32_t h, int32_t column) const;
    const unsigned char* GetColumnDataBinary(int32_t h, int32_t column, int32_t* length,
                                             unsigned char* destination, int32_t limit) const;
    // Computed from the stored text when asked, so fetching pays nothing for it.
    int32_t GetColumnDataTimet(int32_t h, int32_t column) const;

    // --- Rendering as text (render.cpp) ---

    // Renders the current value into rowBuffer; null when there is nothing to
    // render. The text lives until the next fetch or rendering on this object,
    // and another thread's fetch on any cursor of it may overwrite it.
    const char* GetColumnDataString(int32_t h, int32_t column, char* destination,
                                    int32_t destinationSize);
    // The same rendering for callers that hand the text on, writing nothing of
    // the object: a text that is the stored value itself points into the
    // column, any other into buffer. Text null when there is nothing to render,
    // or, with buffer.Refused(), when a long text found no heap.
    // REQUIRES: cursor h held (ReadCursor) while the text is used.
    RenderedText RenderColumnValue(int32_t h, int32_t column, RenderBuffer& buffer) const;
    static void TrimTrailingZeros(char* text);
    static int32_t WideToAnsi(char* output, int32_t outputSize, const WCHAR* wide,
                              int32_t count);

    // --- Blank stripping of Shift-JIS texts (strip_blanks.cpp) ---

    static void StripBlanks(char* text);
    static void StripBlanksUpper(char* text);

    // Fields, in the order of the record they describe.
    char errorMessage[kErrorMessageSize];
    char errorCode[kErrorCodeSize];
    SQLHENV hEnv;
    SQLHDBC hDbc;
    int32_t connected;
    SQLHSTMT hStmt[kMaxCursors + 1];
    int32_t cursorInUse[kMaxCursors + 1];
    unsigned char* rowBuffer;
    std::atomic<int32_t> openOk;
    char dataSourceName[kDataSourceNameSize];
    std::atomic<int16_t> dateStyle;
    std::atomic<int32_t> lastCursorHandle;
    BusyFlag openBusy;
    BusyFlag closeBusy;
    BusyFlag queryBusy;
    BusyFlag fetchBusy;
    BusyFlag updateBusy;
    ColumnInfo* columns[kMaxCursors + 1];
    int32_t columnCount[kMaxCursors + 1];

private:
    // REQUIRES: cursor h held exclusively, or no other user of the object.
    void CloseCursorHeld(int32_t h);
    // REQUIRES: no other user of the object (OdbcClose).
    void EndConnection();
    static void FreeStatement(SQLHSTMT stmt);

    // Statements (statements.cpp).
    int32_t DescribeColumn(int32_t h, int32_t index);
    int32_t RunUpdate(const char* sql);
    // REQUIRES (these two): cursor h held exclusively.
    int32_t AllocCursorStatement(int32_t h);
    int32_t DescribeResult(int32_t h, int32_t count);

    // Fetching (fetch.cpp). The helpers take a catalogue entry and a statement
    // that the caller has already looked up once for the whole row.
    int32_t FinishFetch(int32_t h, SQLRETURN moved, int32_t* endOfData);
    int32_t FetchRowValues(int32_t h);
    int32_t ReadValue(int32_t index, SQLHSTMT stmt, ColumnInfo& column, unsigned char* target,
                      int32_t* isNullOut, int32_t* isTextOut);
    int32_t StoreValue(ColumnInfo& column, const unsigned char* source, int32_t length,
                       int32_t isNullIn, int32_t isTextIn);
    int32_t GrowValueBuffer(ColumnInfo& column, int32_t needed);

    void WriteRecord(const char* message, const char* code);

    std::mutex errorLock_;
    mutable CursorLock cursorLocks_[kMaxCursors + 1];
};

// Cursor handles that index the per-cursor tables.
inline bool IsCursorHandle(int32_t h) { return h >= 1 && h <= kMaxCursors; }

inline std::shared_lock<CursorLock> OdbcAccs::ReadCursor(int32_t h) const {
    if (!IsCursorHandle(h)) return {};
    return std::shared_lock<CursorLock>(cursorLocks_[h]);
}

inline ColumnInfo* OdbcAccs::GetColumns(int32_t h) const {
    return IsCursorHandle(h) ? columns[h] : nullptr;
}

inline int32_t OdbcAccs::GetColumnCount(int32_t h) const {
    return IsCursorHandle(h) ? columnCount[h] : 0;
}

}  // namespace jov

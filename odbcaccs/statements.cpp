// Running SQL text and the cursor table of an OdbcAccs.
//
// A query takes the lowest cursor handle without a catalogue, executes on a
// statement of its own and describes its result columns into a zero-filled
// catalogue; the cursor then stays open for fetching until CloseCursor. An
// update runs on a temporary statement that never enters the table and is
// freed before the call returns, whatever the driver answered.
//
// Every statement handle lives in exactly one place: hStmt[h] for a cursor, a
// local for an update. A handle reused while it still holds the statement of a
// result without columns frees that statement first, so none is lost.
#include <cstring>

#include "odbcaccs/OdbcAccs.h"
#include "odbcaccs/messages.h"
#include "odbcaccs/still_executing.h"
#include "platform/heap.h"
#include "platform/whole_characters.h"

namespace jov {

namespace {

// The name buffer length given to the driver: it stores at most 28 bytes and
// a terminator, and reports the full length of longer names.
constexpr SQLSMALLINT kNameBufferLength = 29;
static_assert(kNameBufferLength < kColumnNameSize, "the terminator position fits the name");

SQLCHAR* AsSql(const char* text) {
    return reinterpret_cast<SQLCHAR*>(const_cast<char*>(text != nullptr ? text : ""));
}

bool HasPrecision(int16_t type) { return type == SQL_NUMERIC || type == SQL_DECIMAL; }

// Date, time and timestamp in their ODBC 2 and ODBC 3 codes. The test is on
// the code alone: an interval column reported as 10 is marked too.
bool IsDateTimeType(int16_t type) {
    switch (type) {
        case SQL_DATETIME:  // also SQL_DATE of ODBC 2
        case SQL_TIME:
        case SQL_TIMESTAMP:
        case SQL_TYPE_DATE:
        case SQL_TYPE_TIME:
        case SQL_TYPE_TIMESTAMP:
            return true;
        default:
            return false;
    }
}

}  // namespace

int32_t OdbcAccs::ExecSQLQuery(const char* sql, int32_t* cursor) {
    BusyGuard guard(queryBusy);
    int32_t unused = 0;
    int32_t& out = cursor != nullptr ? *cursor : unused;
    out = 0;
    lastCursorHandle.store(0, std::memory_order_release);
    int32_t h = FindFreeCursor();
    out = h;
    if (h < 0) return -1;
    // Only queries (one at a time) give a handle a catalogue, so h stays free.
    std::unique_lock<CursorLock> hold(cursorLocks_[h]);
    if (AllocCursorStatement(h) < 0) return -1;
    lastCursorHandle.store(h, std::memory_order_release);

    // SQL_NO_DATA, SQL_NEED_DATA and SQL_STILL_EXECUTING fail a query too.
    SQLSMALLINT count = 0;
    if (!Succeeded(SQLExecDirect(hStmt[h], AsSql(sql), SQL_NTS)) ||
        !Succeeded(SQLNumResultCols(hStmt[h], &count))) {
        StoreDiagnostics(SQL_HANDLE_STMT, hStmt[h]);
        CloseCursorHeld(h);
        return -1;
    }
    return DescribeResult(h, count);
}

// REQUIRES: cursor h held exclusively and without a catalogue.
int32_t OdbcAccs::AllocCursorStatement(int32_t h) {
    // A handle without a catalogue may still hold the statement of an earlier
    // result without columns.
    if (hStmt[h] != SQL_NULL_HSTMT) {
        FreeStatement(hStmt[h]);
        hStmt[h] = SQL_NULL_HSTMT;
    }
    cursorInUse[h] = 0;
    SQLRETURN rc = SQLAllocHandle(SQL_HANDLE_STMT, hDbc, &hStmt[h]);
    if (!Succeeded(rc)) {
        hStmt[h] = SQL_NULL_HSTMT;
        // The library's text stays; the driver's reason (08003 on a
        // connection the server dropped) lies on the connection handle.
        RecordError("", kMsgAllocHandleError, static_cast<int>(rc));
        return -1;
    }
    cursorInUse[h] = 1;
    return 0;
}

// REQUIRES: cursor h held exclusively, its statement executed.
int32_t OdbcAccs::DescribeResult(int32_t h, int32_t count) {
    if (AllocColumns(h, count) < 0) return -1;
    for (int32_t i = 0; i < count; ++i) {
        // Java hears of no cursor when the query fails, so none stays open.
        if (DescribeColumn(h, i) < 0) {
            CloseCursorHeld(h);
            return -1;
        }
    }
    return count;
}

// Fills catalogue entry index from result column index + 1. On failure the
// entries before it stay filled.
int32_t OdbcAccs::DescribeColumn(int32_t h, int32_t index) {
    const int32_t column = index + 1;
    char name[kColumnNameSize] = {};
    int16_t type = 0;
    int32_t length = 0;
    if (DescribeColumnName(h, column, name) < 0 || DescribeColumnType(h, column, &type) < 0 ||
        DescribeColumnLength(h, column, &length) < 0) {
        return -1;
    }
    SetColumnDescription(h, index, name, type, length);
    if (HasPrecision(type)) {
        int16_t precision = 0;
        int16_t scale = 0;
        if (DescribeColumnPrecision(h, column, &precision, &scale) < 0) return -1;
        SetColumnPrecision(h, index, precision, scale);
    } else if (IsDateTimeType(type)) {
        SetColumnDateTime(h, index, 1);
    } else if (type == SQL_BIGINT && IsUnsignedColumn(h, column)) {
        // No SQL_C_SBIGINT holds its values past 2^63 - 1 (MariaDB's BIGINT
        // UNSIGNED): read as text, which is exact.
        SetColumnReadAsChar(h, index);
    }
    return 0;
}

int32_t OdbcAccs::ExecSQLUpdate(const char* sql) {
    BusyGuard guard(updateBusy);
    int32_t result = RunUpdate(sql);
    // An update may leave the connection's statement options changed.
    SetCursorType();
    return result;
}

// Executes on a temporary statement and frees it on every path.
int32_t OdbcAccs::RunUpdate(const char* sql) {
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    if (!Succeeded(SQLAllocHandle(SQL_HANDLE_STMT, hDbc, &stmt))) {
        StoreDiagnostics(SQL_HANDLE_DBC, hDbc);
        return -1;
    }
    SQLCHAR* text = AsSql(sql);
    SQLRETURN rc =
        RepeatWhileStillExecuting([&] { return SQLExecDirect(stmt, text, SQL_NTS); });
    int32_t result = -1;
    switch (rc) {
        case SQL_SUCCESS:
        case SQL_SUCCESS_WITH_INFO:
            result = 1;
            break;
        case SQL_NO_DATA:
            result = 0;
            break;
        case SQL_NEED_DATA:
            result = 2;
            break;
        case SQL_STILL_EXECUTING:
            RecordError("", kMsgStillExecutingTimeout);
            break;
        default:
            StoreDiagnostics(SQL_HANDLE_STMT, stmt);
            break;
    }
    FreeStatement(stmt);
    return result;
}

// Waits for no other call. A cursor held exclusively is being fetched or
// closed (only queries, one at a time, take a free one), so it is passed over:
// a fetched cursor is not free, and a closing one is free only once the close
// has finished. Readers do not keep a cursor from being looked at.
int32_t OdbcAccs::FindFreeCursor() {
    for (int32_t h = 1; h <= kMaxCursors; ++h) {
        std::shared_lock<CursorLock> hold(cursorLocks_[h], std::try_to_lock);
        if (hold.owns_lock() && columns[h] == nullptr) return h;
    }
    RecordError("", kMsgTooManyCursors, kMaxCursors);
    return -1;
}

int32_t OdbcAccs::AllocColumns(int32_t h, int32_t count) {
    if (!IsCursorHandle(h)) {
        RecordError("", kMsgInvalidCursor, h);
        return -1;
    }
    FreeColumns(h);
    if (count <= 0) return 0;
    const std::size_t bytes = sizeof(ColumnInfo) * static_cast<std::size_t>(count);
    void* block = AllocateBytes(bytes);
    if (block == nullptr) {
        RecordError("", kMsgNotEnoughMemory);
        return -1;
    }
    std::memset(block, 0, bytes);
    columns[h] = static_cast<ColumnInfo*>(block);
    columnCount[h] = count;
    return 0;
}

SQLHSTMT OdbcAccs::GetStatement(int32_t h) {
    if (IsCursorHandle(h) && hStmt[h] != SQL_NULL_HSTMT) return hStmt[h];
    RecordError("", kMsgInvalidCursor, h);
    return SQL_NULL_HSTMT;
}

ColumnInfo* OdbcAccs::GetColumnsChecked(int32_t h) {
    if (IsCursorHandle(h) && columns[h] != nullptr) return columns[h];
    RecordError("", kMsgInvalidCursor, h);
    return nullptr;
}

// name holds kColumnNameSize bytes; it is empty after any failure.
int32_t OdbcAccs::DescribeColumnName(int32_t h, int32_t column, char* name) {
    name[0] = '\0';
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    SQLSMALLINT length = 0;
    SQLRETURN rc = SQLColAttribute(stmt, static_cast<SQLUSMALLINT>(column), SQL_DESC_NAME, name,
                                   kNameBufferLength, &length, nullptr);
    if (!Succeeded(rc)) {
        name[0] = '\0';
        StoreDiagnostics(SQL_HANDLE_STMT, stmt);
        return -1;
    }
    if (length < 0) {
        name[0] = '\0';
    } else if (length < kNameBufferLength) {
        name[length] = '\0';
    } else {
        // The driver cut the name by bytes, possibly inside a double-byte
        // character: keep whole characters only, so the name Java receives is
        // one GetColumnNoFromName finds.
        name[kNameBufferLength] = '\0';
        name[WholeCharacterLength(name, static_cast<int32_t>(std::strlen(name)))] = '\0';
    }
    return 0;
}

namespace {

// Reads one numeric column attribute; the driver writes an SQLLEN.
SQLRETURN NumericAttribute(SQLHSTMT stmt, int32_t column, SQLUSMALLINT field, SQLLEN* value) {
    *value = 0;
    return SQLColAttribute(stmt, static_cast<SQLUSMALLINT>(column), field, nullptr, 0, nullptr,
                           value);
}

}  // namespace

int32_t OdbcAccs::DescribeColumnType(int32_t h, int32_t column, int16_t* type) {
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    SQLLEN value = 0;
    if (!Succeeded(NumericAttribute(stmt, column, SQL_DESC_TYPE, &value))) {
        StoreDiagnostics(SQL_HANDLE_STMT, stmt);
        return -1;
    }
    *type = static_cast<int16_t>(value);
    return 0;
}

int32_t OdbcAccs::DescribeColumnLength(int32_t h, int32_t column, int32_t* length) {
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    SQLLEN value = 0;
    if (!Succeeded(NumericAttribute(stmt, column, SQL_DESC_LENGTH, &value))) {
        StoreDiagnostics(SQL_HANDLE_STMT, stmt);
        return -1;
    }
    // MariaDB's driver gives a LONGBLOB 2^32 - 1: kept as the longest length
    // the catalogue holds, not wrapped to -1.
    *length = value > INT32_MAX ? INT32_MAX : static_cast<int32_t>(value);
    return 0;
}

// A precision read before a failing scale stays in *precision.
int32_t OdbcAccs::DescribeColumnPrecision(int32_t h, int32_t column, int16_t* precision,
                                          int16_t* scale) {
    *precision = 0;
    *scale = 0;
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return -1;
    SQLLEN value = 0;
    if (!Succeeded(NumericAttribute(stmt, column, SQL_DESC_PRECISION, &value))) {
        StoreDiagnostics(SQL_HANDLE_STMT, stmt);
        return -1;
    }
    *precision = static_cast<int16_t>(value);
    if (!Succeeded(NumericAttribute(stmt, column, SQL_DESC_SCALE, &value))) {
        StoreDiagnostics(SQL_HANDLE_STMT, stmt);
        return -1;
    }
    *scale = static_cast<int16_t>(value);
    return 0;
}

namespace {

// The catalogue entry index of cursor h, or null when either is out of range.
ColumnInfo* Entry(ColumnInfo* catalogue, int32_t count, int32_t index) {
    if (catalogue == nullptr || index < 0 || index >= count) return nullptr;
    return &catalogue[index];
}

}  // namespace

void OdbcAccs::SetColumnDescription(int32_t h, int32_t index, const char* name, int16_t type,
                                    int32_t length) {
    ColumnInfo* entry = Entry(GetColumns(h), GetColumnCount(h), index);
    if (entry == nullptr) return;
    std::strncpy(entry->name, name != nullptr ? name : "", sizeof entry->name - 1);
    entry->name[sizeof entry->name - 1] = '\0';
    entry->sqlType = type;
    entry->length = length;
}

void OdbcAccs::SetColumnPrecision(int32_t h, int32_t index, int16_t precision, int16_t scale) {
    ColumnInfo* entry = Entry(GetColumns(h), GetColumnCount(h), index);
    if (entry == nullptr) return;
    entry->precision = precision;
    entry->scale = scale;
    entry->hasPrecision = 1;
}

// A driver that cannot tell (the attribute refused) is taken at its word that
// the column is signed; the record is left alone.
bool OdbcAccs::IsUnsignedColumn(int32_t h, int32_t column) {
    SQLHSTMT stmt = GetStatement(h);
    if (stmt == SQL_NULL_HSTMT) return false;
    SQLLEN value = SQL_FALSE;
    return Succeeded(NumericAttribute(stmt, column, SQL_DESC_UNSIGNED, &value)) &&
           value == SQL_TRUE;
}

void OdbcAccs::SetColumnReadAsChar(int32_t h, int32_t index) {
    ColumnInfo* entry = Entry(GetColumns(h), GetColumnCount(h), index);
    if (entry != nullptr) entry->readAsChar = 1;
}

void OdbcAccs::SetColumnDateTime(int32_t h, int32_t index, int32_t flag) {
    ColumnInfo* entry = Entry(GetColumns(h), GetColumnCount(h), index);
    if (entry != nullptr) entry->isDateTime = flag;
}

}  // namespace jov

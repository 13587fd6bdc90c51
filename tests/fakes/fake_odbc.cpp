// Link-time fake of the ODBC functions the library calls. See fake_odbc.h.
#include "tests/fakes/fake_odbc.h"

#include <odbcinst.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>

namespace {

struct Diag {
    std::string state;
    std::string message;
};

struct Handle {
    SQLSMALLINT type = 0;
    bool live = true;
    SQLHANDLE parent = SQL_NULL_HANDLE;
    bool connected = false;      // connections
    bool uncommitted = false;    // connections: a change since the last SQLTransact
    bool busy = false;           // statements: still executing or needing data
    std::optional<Diag> diag;
    std::vector<FakeRecord> records;  // scripted records; replace diag when present
    // Statements: the result set and the position in it.
    FakeResult result;
    long row = -1;  // index of the current row; -1 before the first
    int lastColumn = 0;
    size_t offset = 0;  // bytes of the current value already handed out
    bool valueDone = false;
    // Statements of the driver's path: parameters bound at execution, by
    // number, with their buffer pointers; those still wanted by SQLParamData.
    std::map<SQLUSMALLINT, SQLPOINTER> atExecution;
    std::deque<SQLUSMALLINT> wanted;
    // Row arrays: the columns bound by number, the array's size, the rows
    // of the current rowset.
    struct BoundColumn {
        SQLSMALLINT cType;
        char* target;
        SQLLEN width;
        SQLLEN* indicators;
    };
    std::map<SQLUSMALLINT, BoundColumn> boundColumns;
    SQLULEN rowArraySize = 1;
    SQLULEN* rowsFetched = nullptr;
    long rowsetStart = 0;
    long rowsetSize = 0;
};

struct State {
    std::map<uintptr_t, Handle> handles;
    uintptr_t nextHandle = 0x1000;
    std::deque<FakeAnswer> scripts[static_cast<int>(FakeFn::Count)];
    std::deque<FakeChunk> chunks;
    std::deque<FakeResult> results;
    std::map<int, FakeAnswer> failAtCall;
    std::vector<FakeCall> calls;
    std::map<int, std::function<void()>> hooks;
    std::vector<std::string> violations;
    int callNumber = 0;
    bool noTotal = false;
    bool wholeCharacters = false;
    SQLULEN autoCommit = SQL_AUTOCOMMIT_ON;
    std::string profileString;
    SQLULEN maxRowArraySize = 0;
};

std::recursive_mutex gLock;
State gState;

const char* Name(FakeFn fn) {
    static const char* names[] = {"SQLAllocHandle",   "SQLSetEnvAttr",       "SQLConnect",
                                  "SQLDisconnect",    "SQLFreeHandle",       "SQLSetConnectOption",
                                  "SQLGetConnectOption", "SQLTransact",      "SQLExecDirect",
                                  "SQLNumResultCols", "SQLColAttribute",     "SQLFetch",
                                  "SQLFetchScroll",   "SQLGetData",          "SQLCloseCursor",
                                  "SQLGetDiagRec",    "SQLRowCount",         "SQLCancel",
                                  "SQLDriverConnect", "SQLPrepare",          "SQLExecute",
                                  "SQLSetConnectAttr", "SQLGetConnectAttr",  "SQLEndTran",
                                  "SQLGetInfo",       "SQLSetStmtAttr",      "SQLMoreResults",
                                  "SQLFreeStmt",      "SQLNumParams",        "SQLDescribeParam",
                                  "SQLDescribeCol",   "SQLBindParameter",    "SQLParamData",
                                  "SQLPutData",       "SQLBindCol",          "SQLSetPos",
                                  "SQLCatalog"};
    static_assert(sizeof names / sizeof names[0] == static_cast<size_t>(FakeFn::Count));
    return names[static_cast<int>(fn)];
}

uintptr_t Key(SQLHANDLE h) { return reinterpret_cast<uintptr_t>(h); }

// Records the call and answers whether the handle may be used.
Handle* Enter(FakeFn fn, SQLHANDLE h, std::vector<int64_t> args = {}, std::string text = {}) {
    gState.calls.push_back(FakeCall{fn, h, std::move(args), std::move(text)});
    auto hook = gState.hooks.find(static_cast<int>(fn));
    if (hook != gState.hooks.end()) hook->second();
    auto it = gState.handles.find(Key(h));
    if (it == gState.handles.end() || !it->second.live) {
        if (h != SQL_NULL_HANDLE) {
            gState.violations.push_back(std::string(Name(fn)) + " on a handle that is not live");
        }
        return nullptr;
    }
    return &it->second;
}

// The scripted answer for this call, if any: a numbered failure first, then
// the function's queue.
std::optional<FakeAnswer> Scripted(FakeFn fn) {
    int number = gState.callNumber++;
    auto numbered = gState.failAtCall.find(number);
    if (numbered != gState.failAtCall.end()) {
        FakeAnswer answer = numbered->second;
        gState.failAtCall.erase(numbered);
        return answer;
    }
    auto& queue = gState.scripts[static_cast<int>(fn)];
    if (queue.empty()) return std::nullopt;
    FakeAnswer answer = queue.front();
    queue.pop_front();
    return answer;
}

bool IsSuccess(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

SQLRETURN Refuse(Handle* h, const char* state, const char* message) {
    h->diag = Diag{state, message};
    return SQL_ERROR;
}

// Whether a handle has a live child, as an environment its connections.
bool HasLiveChild(SQLHANDLE parent) {
    for (const auto& [key, h] : gState.handles) {
        if (h.live && h.parent == parent) return true;
    }
    return false;
}

// Applies a failing answer to handle h; returns true when the call must stop.
bool Fails(const std::optional<FakeAnswer>& answer, Handle* h) {
    if (!answer || IsSuccess(answer->rc)) return false;
    if (h != nullptr && !answer->state.empty()) h->diag = Diag{answer->state, answer->message};
    if (h != nullptr) h->records = answer->records;
    return true;
}

SQLRETURN Finish(const std::optional<FakeAnswer>& answer, Handle* h) {
    if (h != nullptr) h->diag.reset();
    if (h != nullptr) h->records = answer ? answer->records : std::vector<FakeRecord>{};
    return answer ? answer->rc : SQL_SUCCESS;
}

void CopyText(SQLCHAR* target, SQLSMALLINT capacity, const std::string& text,
              SQLSMALLINT* length) {
    if (length != nullptr) *length = static_cast<SQLSMALLINT>(text.size());
    if (target == nullptr || capacity <= 0) return;
    size_t n = std::min(text.size(), static_cast<size_t>(capacity - 1));
    std::memcpy(target, text.data(), n);
    target[n] = 0;
}

SQLRETURN MoveTo(Handle* h, long row) {
    long count = static_cast<long>(h->result.rows.size());
    h->lastColumn = 0;
    h->offset = 0;
    h->valueDone = false;
    if (row < 0) {
        h->row = -1;
        return SQL_NO_DATA;
    }
    if (row >= count) {
        h->row = count;
        return SQL_NO_DATA;
    }
    h->row = row;
    return SQL_SUCCESS;
}

bool IsCharType(SQLSMALLINT cType) { return cType == SQL_C_CHAR; }

size_t FixedWidth(SQLSMALLINT cType) {
    switch (cType) {
        case SQL_C_SLONG: case SQL_C_LONG: case SQL_C_FLOAT: return 4;
        case SQL_C_SSHORT: case SQL_C_SHORT: return 2;
        case SQL_C_STINYINT: case SQL_C_TINYINT: case SQL_C_BIT: return 1;
        case SQL_C_SBIGINT: case SQL_C_DOUBLE: return 8;
        default: return 0;
    }
}

// A stored value in the fixed-width C type asked for, as a driver converts:
// an integer of 1, 2 or 4 bytes widens with its sign to SQL_C_SBIGINT, a
// 4-byte float widens to SQL_C_DOUBLE; any other value gives its first bytes
// (cut to the width, zero-filled when shorter), as a driver that cuts a
// value it holds wider than it declared does.
std::string AsFixedWidth(const std::string& stored, SQLSMALLINT cType, size_t width) {
    const size_t size = stored.size();
    if (cType == SQL_C_SBIGINT && (size == 1 || size == 2 || size == 4)) {
        int64_t value = static_cast<signed char>(stored[size - 1]) < 0 ? -1 : 0;
        std::memcpy(&value, stored.data(), size);  // little-endian: the low bytes
        return Int64Bytes(value);
    }
    if (cType == SQL_C_DOUBLE && size == sizeof(float)) {
        float value;
        std::memcpy(&value, stored.data(), sizeof value);
        return DoubleBytes(value);
    }
    std::string bytes = stored.substr(0, width);
    bytes.resize(width, '\0');
    return bytes;
}

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The bytes of value from offset (a character boundary) up to at most n that
// end on a character boundary of Shift-JIS.
size_t WholeCharacters(const std::string& value, size_t offset, size_t n) {
    size_t i = offset;
    while (i < offset + n) {
        const size_t width = IsLeadByte(static_cast<unsigned char>(value[i])) ? 2 : 1;
        if (i + width > offset + n) break;
        i += width;
    }
    return i - offset;
}

// Hands out the next chunk of the current value the way drivers do.
SQLRETURN NextChunk(Handle* h, SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target,
                    SQLLEN bufferLength, SQLLEN* indicator) {
    if (h->row < 0 || h->row >= static_cast<long>(h->result.rows.size())) return SQL_ERROR;
    const auto& row = h->result.rows[static_cast<size_t>(h->row)];
    if (column < 1 || column > row.size()) return SQL_ERROR;
    if (column != h->lastColumn) {
        h->lastColumn = column;
        h->offset = 0;
        h->valueDone = false;
    }
    if (h->valueDone) return SQL_NO_DATA;
    const FakeValue& value = row[column - 1];
    if (!value) {
        h->valueDone = true;
        if (indicator != nullptr) *indicator = SQL_NULL_DATA;
        return SQL_SUCCESS;
    }
    size_t width = FixedWidth(cType);
    if (width != 0) {
        std::memcpy(target, AsFixedWidth(*value, cType, width).data(), width);
        h->valueDone = true;
        if (indicator != nullptr) *indicator = static_cast<SQLLEN>(width);
        return SQL_SUCCESS;
    }
    size_t left = value->size() - h->offset;
    size_t room = static_cast<size_t>(bufferLength) - (IsCharType(cType) ? 1 : 0);
    size_t n = std::min(left, room);
    if (IsCharType(cType) && gState.wholeCharacters && n < left) {
        n = WholeCharacters(*value, h->offset, n);
    }
    std::memcpy(target, value->data() + h->offset, n);
    if (IsCharType(cType)) static_cast<char*>(target)[n] = 0;
    if (indicator != nullptr) *indicator = gState.noTotal && n < left ? SQL_NO_TOTAL : static_cast<SQLLEN>(left);
    h->offset += n;
    if (n < left) return SQL_SUCCESS_WITH_INFO;
    h->valueDone = true;
    return SQL_SUCCESS;
}


// The frame of most calls of the driver's path: recorded, scripted, then
// work (which answers SQL_SUCCESS or its own failure) on the live handle.
template <typename Work>
SQLRETURN Simple(FakeFn fn, SQLHANDLE handle, std::vector<int64_t> args, std::string text,
                 Work work) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(fn, handle, std::move(args), std::move(text));
    auto answer = Scripted(fn);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    const SQLRETURN rc = work(h);
    return rc == SQL_SUCCESS ? Finish(answer, h) : rc;
}

// A statement's execution: the next queued result, or none.
void TakeResult(Handle* h) {
    h->result = FakeResult{};
    if (!gState.results.empty()) {
        h->result = gState.results.front();
        gState.results.pop_front();
    }
    MoveTo(h, -1);
}

std::string Text(SQLCHAR* text, SQLINTEGER length) {
    const char* chars = reinterpret_cast<const char*>(text);
    return length == SQL_NTS ? std::string(chars) : std::string(chars, static_cast<size_t>(length));
}

// A catalogue function: records its names and numbers, then takes the next
// queued result as an execution does.
SQLRETURN Catalog(SQLHSTMT stmt, SQLUSMALLINT api,
                  std::initializer_list<std::pair<SQLCHAR*, SQLSMALLINT>> names,
                  std::initializer_list<int64_t> numbers = {}) {
    std::string shown;
    for (const auto& [text, length] : names) {
        shown += text == nullptr ? std::string(kFakeNullName) : "[" + Text(text, length) + "]";
    }
    std::vector<int64_t> args{api};
    args.insert(args.end(), numbers);
    return Simple(FakeFn::SQLCatalog, stmt, args, shown, [](Handle* h) {
        TakeResult(h);
        return SQL_SUCCESS;
    });
}

}  // namespace

std::string Int32Bytes(int32_t v) { return std::string(reinterpret_cast<char*>(&v), sizeof v); }
std::string Int16Bytes(int16_t v) { return std::string(reinterpret_cast<char*>(&v), sizeof v); }
std::string Int64Bytes(int64_t v) { return std::string(reinterpret_cast<char*>(&v), sizeof v); }
std::string DoubleBytes(double v) { return std::string(reinterpret_cast<char*>(&v), sizeof v); }
std::string FloatBytes(float v) { return std::string(reinterpret_cast<char*>(&v), sizeof v); }

extern "C" {

SQLRETURN SQL_API SQLAllocHandle(SQLSMALLINT type, SQLHANDLE input, SQLHANDLE* output) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* in = Enter(FakeFn::SQLAllocHandle, input, {type});
    auto answer = Scripted(FakeFn::SQLAllocHandle);
    if (type != SQL_HANDLE_ENV && in == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, in)) {
        if (output != nullptr) *output = SQL_NULL_HANDLE;
        return answer->rc;
    }
    uintptr_t key = gState.nextHandle;
    gState.nextHandle += 0x10;
    Handle handle;
    handle.type = type;
    handle.parent = input;
    gState.handles[key] = handle;
    *output = reinterpret_cast<SQLHANDLE>(key);
    return Finish(answer, in);
}

SQLRETURN SQL_API SQLFreeHandle(SQLSMALLINT type, SQLHANDLE handle) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLFreeHandle, handle, {type});
    auto answer = Scripted(FakeFn::SQLFreeHandle);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (h->type != type) gState.violations.push_back("SQLFreeHandle with the wrong handle type");
    if (Fails(answer, h)) return answer->rc;
    if (h->connected || h->busy || HasLiveChild(handle)) {
        return Refuse(h, "HY010", "Function sequence error");
    }
    h->live = false;
    return Finish(answer, nullptr);
}

SQLRETURN SQL_API SQLSetEnvAttr(SQLHENV env, SQLINTEGER attribute, SQLPOINTER value,
                                SQLINTEGER length) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLSetEnvAttr, env,
                      {attribute, static_cast<int64_t>(reinterpret_cast<intptr_t>(value)), length});
    auto answer = Scripted(FakeFn::SQLSetEnvAttr);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLConnect(SQLHDBC dbc, SQLCHAR* dsn, SQLSMALLINT dsnLength, SQLCHAR* user,
                             SQLSMALLINT userLength, SQLCHAR* password,
                             SQLSMALLINT passwordLength) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    std::string name(reinterpret_cast<char*>(dsn), dsnLength < 0 ? 0 : dsnLength);
    Handle* h = Enter(FakeFn::SQLConnect, dbc, {dsnLength, userLength, passwordLength}, name);
    (void)user;
    (void)password;
    auto answer = Scripted(FakeFn::SQLConnect);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    h->connected = true;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLDisconnect(SQLHDBC dbc) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLDisconnect, dbc);
    auto answer = Scripted(FakeFn::SQLDisconnect);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    if (h->uncommitted) return Refuse(h, "25000", "Invalid transaction state");
    h->connected = false;
    // A disconnect frees the statements still allocated on the connection.
    for (auto& [key, child] : gState.handles) {
        if (child.parent == dbc) child.live = false;
    }
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLSetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLULEN value) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLSetConnectOption, dbc, {option, static_cast<int64_t>(value)});
    auto answer = Scripted(FakeFn::SQLSetConnectOption);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    if (option == SQL_AUTOCOMMIT) gState.autoCommit = value;
    // Switching auto-commit on commits.
    if (option == SQL_AUTOCOMMIT && value == SQL_AUTOCOMMIT_ON) h->uncommitted = false;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLGetConnectOption(SQLHDBC dbc, SQLUSMALLINT option, SQLPOINTER value) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLGetConnectOption, dbc, {option});
    auto answer = Scripted(FakeFn::SQLGetConnectOption);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    // Integer attributes are SQLULEN wide, as in unixODBC on 64-bit platforms.
    if (option == SQL_AUTOCOMMIT) *static_cast<SQLULEN*>(value) = gState.autoCommit;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLTransact(SQLHENV env, SQLHDBC dbc, SQLUSMALLINT completion) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Enter(FakeFn::SQLTransact, env, {completion});
    auto it = gState.handles.find(Key(dbc));
    Handle* h = it == gState.handles.end() || !it->second.live ? nullptr : &it->second;
    auto answer = Scripted(FakeFn::SQLTransact);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    h->uncommitted = false;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLExecDirect(SQLHSTMT stmt, SQLCHAR* sql, SQLINTEGER length) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    std::string text = length == SQL_NTS ? std::string(reinterpret_cast<char*>(sql))
                                         : std::string(reinterpret_cast<char*>(sql), length);
    Handle* h = Enter(FakeFn::SQLExecDirect, stmt, {length}, text);
    auto answer = Scripted(FakeFn::SQLExecDirect);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    h->busy = answer && (answer->rc == SQL_STILL_EXECUTING || answer->rc == SQL_NEED_DATA);
    if (Fails(answer, h)) return answer->rc;
    auto dbc = gState.handles.find(Key(h->parent));
    if (gState.autoCommit == SQL_AUTOCOMMIT_OFF && dbc != gState.handles.end()) {
        dbc->second.uncommitted = true;
    }
    h->result = FakeResult{};
    if (!gState.results.empty()) {
        h->result = gState.results.front();
        gState.results.pop_front();
    }
    MoveTo(h, -1);
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT stmt, SQLSMALLINT* count) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLNumResultCols, stmt);
    auto answer = Scripted(FakeFn::SQLNumResultCols);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    *count = static_cast<SQLSMALLINT>(h->result.columns.size());
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLColAttribute(SQLHSTMT stmt, SQLUSMALLINT column, SQLUSMALLINT field,
                                  SQLPOINTER text, SQLSMALLINT bufferLength,
                                  SQLSMALLINT* textLength, SQLLEN* numeric) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLColAttribute, stmt, {column, field, bufferLength});
    auto answer = Scripted(FakeFn::SQLColAttribute);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    if (column < 1 || column > h->result.columns.size()) {
        h->diag = Diag{"07009", "Invalid descriptor index"};
        return SQL_ERROR;
    }
    const FakeColumn& c = h->result.columns[column - 1];
    switch (field) {
        case SQL_DESC_NAME:
            CopyText(static_cast<SQLCHAR*>(text), bufferLength, c.name, textLength);
            if (c.reportedNameLength && textLength != nullptr) *textLength = *c.reportedNameLength;
            break;
        case SQL_DESC_TYPE: *numeric = c.type; break;
        case SQL_DESC_LENGTH: *numeric = c.length; break;
        case SQL_DESC_PRECISION: *numeric = c.precision; break;
        case SQL_DESC_SCALE: *numeric = c.scale; break;
        case SQL_DESC_UNSIGNED: *numeric = c.isUnsigned ? SQL_TRUE : SQL_FALSE; break;
        default: break;
    }
    return Finish(answer, h);
}

// One bound value of the current row into row r of its array: SQL_SUCCESS_WITH_INFO when cut.
SQLRETURN FillValue(const Handle::BoundColumn& b, const FakeValue& value, SQLULEN r) {
    char* target = b.target + static_cast<SQLLEN>(r) * b.width;
    SQLLEN* indicator = b.indicators + r;
    if (!value) {
        *indicator = SQL_NULL_DATA;
        return SQL_SUCCESS;
    }
    const size_t width = FixedWidth(b.cType);
    if (width != 0) {
        std::memcpy(target, AsFixedWidth(*value, b.cType, width).data(), width);
        *indicator = static_cast<SQLLEN>(width);
        return SQL_SUCCESS;
    }
    const size_t terminator = IsCharType(b.cType) ? 1 : 0;
    const size_t n = std::min(value->size(), static_cast<size_t>(b.width) - terminator);
    std::memcpy(target, value->data(), n);
    if (terminator != 0) target[n] = 0;
    *indicator = gState.noTotal && n < value->size() ? SQL_NO_TOTAL : static_cast<SQLLEN>(value->size());
    return n < value->size() ? SQL_SUCCESS_WITH_INFO : SQL_SUCCESS;
}

// The rowset from row start: the bound columns of each of its rows filled.
SQLRETURN FetchRowset(Handle* h, long start) {
    const SQLRETURN moved = MoveTo(h, start);
    h->rowsetStart = h->row;
    h->rowsetSize = 0;
    if (h->rowsFetched != nullptr) *h->rowsFetched = 0;
    if (moved == SQL_NO_DATA) return moved;
    const long count = static_cast<long>(h->result.rows.size());
    h->rowsetSize = std::min(static_cast<long>(h->rowArraySize), count - start);
    SQLRETURN rc = SQL_SUCCESS;
    for (long r = 0; r < h->rowsetSize; ++r) {
        const auto& row = h->result.rows[static_cast<size_t>(start + r)];
        for (const auto& [column, bound] : h->boundColumns) {
            if (column > row.size()) return SQL_ERROR;
            if (FillValue(bound, row[column - 1], static_cast<SQLULEN>(r)) != SQL_SUCCESS) {
                rc = SQL_SUCCESS_WITH_INFO;
            }
        }
    }
    if (h->rowsFetched != nullptr) *h->rowsFetched = static_cast<SQLULEN>(h->rowsetSize);
    return rc;
}

SQLRETURN SQL_API SQLFetch(SQLHSTMT stmt) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLFetch, stmt);
    auto answer = Scripted(FakeFn::SQLFetch);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    const long count = static_cast<long>(h->result.rows.size());
    const long start = h->row < 0 ? 0 : h->row >= count ? count : h->rowsetStart + h->rowsetSize;
    SQLRETURN rc = FetchRowset(h, start);
    return rc != SQL_SUCCESS ? rc : Finish(answer, h);
}

SQLRETURN SQL_API SQLFetchScroll(SQLHSTMT stmt, SQLSMALLINT orientation, SQLLEN offset) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLFetchScroll, stmt, {orientation, offset});
    auto answer = Scripted(FakeFn::SQLFetchScroll);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    long count = static_cast<long>(h->result.rows.size());
    long target = h->row;
    switch (orientation) {
        case SQL_FETCH_NEXT: target = h->row + 1; break;
        case SQL_FETCH_PRIOR: target = h->row - 1; break;
        case SQL_FETCH_FIRST: target = 0; break;
        case SQL_FETCH_LAST: target = count - 1; break;
        case SQL_FETCH_ABSOLUTE: target = offset > 0 ? offset - 1 : count + offset; break;
        case SQL_FETCH_RELATIVE: target = h->row + offset; break;
        default:
            h->diag = Diag{"HY106", "Fetch type out of range"};
            return SQL_ERROR;
    }
    SQLRETURN rc = FetchRowset(h, target);
    return rc != SQL_SUCCESS ? rc : Finish(answer, h);
}

SQLRETURN SQL_API SQLGetData(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER target, SQLLEN bufferLength, SQLLEN* indicator) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLGetData, stmt, {column, cType, bufferLength});
    auto answer = Scripted(FakeFn::SQLGetData);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    if (!gState.chunks.empty()) {
        FakeChunk chunk = gState.chunks.front();
        gState.chunks.pop_front();
        size_t n = std::min(chunk.bytes.size(), static_cast<size_t>(bufferLength));
        std::memcpy(target, chunk.bytes.data(), n);
        if (indicator != nullptr) *indicator = chunk.indicator;
        return chunk.rc;
    }
    SQLRETURN rc = NextChunk(h, column, cType, target, bufferLength, indicator);
    if (rc == SQL_ERROR) h->diag = Diag{"07009", "Invalid descriptor index"};
    return rc == SQL_SUCCESS && answer ? answer->rc : rc;
}

SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT stmt) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLCloseCursor, stmt);
    auto answer = Scripted(FakeFn::SQLCloseCursor);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    MoveTo(h, -1);
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLRowCount(SQLHSTMT stmt, SQLLEN* count) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLRowCount, stmt);
    auto answer = Scripted(FakeFn::SQLRowCount);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    *count = h->result.rowCount;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLCancel(SQLHSTMT stmt) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLCancel, stmt);
    auto answer = Scripted(FakeFn::SQLCancel);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    h->busy = false;
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLGetDiagRec(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT record,
                                SQLCHAR* state, SQLINTEGER* nativeError, SQLCHAR* message,
                                SQLSMALLINT bufferLength, SQLSMALLINT* textLength) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    Handle* h = Enter(FakeFn::SQLGetDiagRec, handle, {type, record, bufferLength});
    auto answer = Scripted(FakeFn::SQLGetDiagRec);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, nullptr)) return answer->rc;
    if (!h->records.empty()) {
        if (record < 1 || static_cast<size_t>(record) > h->records.size()) return SQL_NO_DATA;
        const FakeRecord& r = h->records[static_cast<size_t>(record) - 1];
        CopyText(state, 6, r.state, nullptr);
        if (nativeError != nullptr) *nativeError = r.nativeError;
        CopyText(message, bufferLength, r.message, textLength);
        return textLength != nullptr && *textLength >= bufferLength ? SQL_SUCCESS_WITH_INFO
                                                                    : SQL_SUCCESS;
    }
    if (record != 1 || !h->diag) return SQL_NO_DATA;
    CopyText(state, 6, h->diag->state, nullptr);
    if (nativeError != nullptr) *nativeError = 42;
    CopyText(message, bufferLength, h->diag->message, textLength);
    return SQL_SUCCESS;
}


SQLRETURN SQL_API SQLDriverConnect(SQLHDBC dbc, SQLHWND, SQLCHAR* in, SQLSMALLINT inLength,
                                   SQLCHAR*, SQLSMALLINT, SQLSMALLINT*, SQLUSMALLINT completion) {
    return Simple(FakeFn::SQLDriverConnect, dbc, {completion}, Text(in, inLength), [](Handle* h) {
        h->connected = true;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLPrepare(SQLHSTMT stmt, SQLCHAR* sql, SQLINTEGER length) {
    return Simple(FakeFn::SQLPrepare, stmt, {length}, Text(sql, length),
                  [](Handle*) { return SQL_SUCCESS; });
}

SQLRETURN SQL_API SQLExecute(SQLHSTMT stmt) {
    std::function<void()> hook;
    {
        std::lock_guard<std::recursive_mutex> lock(gLock);
        auto found = gState.hooks.find(static_cast<int>(FakeFn::SQLExecute));
        if (found != gState.hooks.end()) hook = found->second;
    }
    if (hook) hook();
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.calls.push_back(FakeCall{FakeFn::SQLExecute, stmt, {}, {}});
    auto it = gState.handles.find(Key(stmt));
    Handle* h = it == gState.handles.end() || !it->second.live ? nullptr : &it->second;
    auto answer = Scripted(FakeFn::SQLExecute);
    if (h == nullptr) return SQL_INVALID_HANDLE;
    if (Fails(answer, h)) return answer->rc;
    h->wanted.clear();
    for (const auto& [number, pointer] : h->atExecution) h->wanted.push_back(number);
    if (!h->wanted.empty()) {
        h->busy = true;
        return SQL_NEED_DATA;
    }
    TakeResult(h);
    return Finish(answer, h);
}

SQLRETURN SQL_API SQLParamData(SQLHSTMT stmt, SQLPOINTER* value) {
    return Simple(FakeFn::SQLParamData, stmt, {}, {}, [value](Handle* h) -> SQLRETURN {
        if (!h->busy) return Refuse(h, "HY010", "Function sequence error");
        if (!h->wanted.empty()) {
            *value = h->atExecution[h->wanted.front()];
            h->wanted.pop_front();
            return SQL_NEED_DATA;
        }
        h->busy = false;
        TakeResult(h);
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLPutData(SQLHSTMT stmt, SQLPOINTER data, SQLLEN length) {
    return Simple(FakeFn::SQLPutData, stmt, {length},
                  std::string(static_cast<const char*>(data), static_cast<size_t>(length)),
                  [](Handle* h) {
                      return h->busy ? SQL_SUCCESS : Refuse(h, "HY010", "Function sequence error");
                  });
}

SQLRETURN SQL_API SQLBindParameter(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT io,
                                   SQLSMALLINT cType, SQLSMALLINT sqlType, SQLULEN size,
                                   SQLSMALLINT digits, SQLPOINTER buffer, SQLLEN bufferLength,
                                   SQLLEN* indicator) {
    const SQLLEN ind = indicator == nullptr ? 0 : *indicator;
    const bool atExecution = ind == SQL_DATA_AT_EXEC || ind <= SQL_LEN_DATA_AT_EXEC_OFFSET;
    std::string bytes;
    if (buffer != nullptr && !atExecution && bufferLength > 0) {
        bytes.assign(static_cast<const char*>(buffer), static_cast<size_t>(bufferLength));
    }
    return Simple(FakeFn::SQLBindParameter, stmt,
                  {number, io, cType, sqlType, static_cast<int64_t>(size), digits, bufferLength,
                   ind},
                  bytes, [=](Handle* h) {
                      if (atExecution) {
                          h->atExecution[number] = buffer;
                      } else {
                          h->atExecution.erase(number);
                      }
                      return SQL_SUCCESS;
                  });
}

SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT stmt, SQLUSMALLINT option) {
    return Simple(FakeFn::SQLFreeStmt, stmt, {option}, {}, [option](Handle* h) {
        if (option == SQL_RESET_PARAMS) h->atExecution.clear();
        if (option == SQL_CLOSE) MoveTo(h, -1);
        if (option == SQL_UNBIND) h->boundColumns.clear();
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER) {
    const auto v = static_cast<int64_t>(reinterpret_cast<intptr_t>(value));
    return Simple(FakeFn::SQLSetConnectAttr, dbc, {attribute, v}, {}, [=](Handle*) {
        if (attribute == SQL_ATTR_AUTOCOMMIT) gState.autoCommit = static_cast<SQLULEN>(v);
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLGetConnectAttr(SQLHDBC dbc, SQLINTEGER attribute, SQLPOINTER value,
                                    SQLINTEGER, SQLINTEGER*) {
    return Simple(FakeFn::SQLGetConnectAttr, dbc, {attribute}, {}, [=](Handle*) {
        if (attribute == SQL_ATTR_AUTOCOMMIT) *static_cast<SQLULEN*>(value) = gState.autoCommit;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLEndTran(SQLSMALLINT type, SQLHANDLE handle, SQLSMALLINT completion) {
    return Simple(FakeFn::SQLEndTran, handle, {type, completion}, {}, [](Handle* h) {
        h->uncommitted = false;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLGetInfo(SQLHDBC dbc, SQLUSMALLINT infoType, SQLPOINTER value,
                             SQLSMALLINT bufferLength, SQLSMALLINT* length) {
    return Simple(FakeFn::SQLGetInfo, dbc, {infoType, bufferLength}, {}, [=](Handle*) {
        // Every text item is "fake"; every integer item is 7.
        if (length != nullptr || bufferLength > static_cast<SQLSMALLINT>(sizeof(SQLUINTEGER))) {
            CopyText(static_cast<SQLCHAR*>(value), bufferLength, "fake", length);
        } else if (bufferLength == sizeof(SQLUSMALLINT)) {
            *static_cast<SQLUSMALLINT*>(value) = 7;
        } else {
            *static_cast<SQLUINTEGER*>(value) = 7;
        }
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT stmt, SQLINTEGER attribute, SQLPOINTER value,
                                 SQLINTEGER) {
    const auto v = static_cast<int64_t>(reinterpret_cast<intptr_t>(value));
    return Simple(FakeFn::SQLSetStmtAttr, stmt, {attribute, v}, {},
                  [attribute, value](Handle* h) -> SQLRETURN {
        if (attribute == SQL_ATTR_ROWS_FETCHED_PTR) h->rowsFetched = static_cast<SQLULEN*>(value);
        if (attribute != SQL_ATTR_ROW_ARRAY_SIZE) return SQL_SUCCESS;
        h->rowArraySize = static_cast<SQLULEN>(reinterpret_cast<uintptr_t>(value));
        if (gState.maxRowArraySize == 0 || h->rowArraySize <= gState.maxRowArraySize) return SQL_SUCCESS;
        h->rowArraySize = gState.maxRowArraySize;
        h->diag = Diag{"01S02", "Option value changed"};
        return SQL_SUCCESS_WITH_INFO;
    });
}

SQLRETURN SQL_API SQLBindCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType,
                             SQLPOINTER target, SQLLEN width, SQLLEN* indicators) {
    return Simple(FakeFn::SQLBindCol, stmt, {column, cType, width}, {}, [=](Handle* h) {
        h->boundColumns[column] = Handle::BoundColumn{cType, static_cast<char*>(target), width, indicators};
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLSetPos(SQLHSTMT stmt, SQLSETPOSIROW row, SQLUSMALLINT operation,
                            SQLUSMALLINT lockType) {
    return Simple(FakeFn::SQLSetPos, stmt, {static_cast<int64_t>(row), operation, lockType}, {},
                  [row](Handle* h) -> SQLRETURN {
        if (row < 1 || static_cast<long>(row) > h->rowsetSize) {
            h->diag = Diag{"HY107", "Row value out of range"};
            return SQL_ERROR;
        }
        MoveTo(h, h->rowsetStart + static_cast<long>(row) - 1);
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLMoreResults(SQLHSTMT stmt) {
    return Simple(FakeFn::SQLMoreResults, stmt, {}, {}, [](Handle* h) -> SQLRETURN {
        if (gState.results.empty()) return SQL_NO_DATA;
        TakeResult(h);
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLNumParams(SQLHSTMT stmt, SQLSMALLINT* count) {
    return Simple(FakeFn::SQLNumParams, stmt, {}, {}, [count](Handle*) {
        *count = 0;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLDescribeParam(SQLHSTMT stmt, SQLUSMALLINT number, SQLSMALLINT* type,
                                   SQLULEN* size, SQLSMALLINT* digits, SQLSMALLINT* nullable) {
    return Simple(FakeFn::SQLDescribeParam, stmt, {number}, {}, [=](Handle*) {
        *type = SQL_VARCHAR;
        *size = 255;
        *digits = 0;
        *nullable = SQL_NULLABLE;
        return SQL_SUCCESS;
    });
}

SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT stmt, SQLUSMALLINT column, SQLCHAR* name,
                                 SQLSMALLINT bufferLength, SQLSMALLINT* nameLength,
                                 SQLSMALLINT* type, SQLULEN* size, SQLSMALLINT* digits,
                                 SQLSMALLINT* nullable) {
    return Simple(FakeFn::SQLDescribeCol, stmt, {column, bufferLength}, {},
                  [=](Handle* h) -> SQLRETURN {
                      if (column < 1 || column > h->result.columns.size()) {
                          return Refuse(h, "07009", "Invalid descriptor index");
                      }
                      const FakeColumn& c = h->result.columns[column - 1];
                      CopyText(name, bufferLength, c.name, nameLength);
                      *type = c.type;
                      *size = static_cast<SQLULEN>(c.length);
                      *digits = static_cast<SQLSMALLINT>(c.scale);
                      *nullable = SQL_NULLABLE;
                      return SQL_SUCCESS;
                  });
}

}  // extern "C"

// unixODBC's installer library: one answer for every data source and key.
int INSTAPI SQLGetPrivateProfileString(LPCSTR, LPCSTR, LPCSTR, LPSTR value, int capacity,
                                       LPCSTR) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    const std::string& text = gState.profileString;
    const int n = std::min(static_cast<int>(text.size()), capacity - 1);
    std::memcpy(value, text.data(), static_cast<size_t>(n));
    value[n] = 0;
    return n;
}

namespace FakeOdbc {

void Reset() {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState = State{};
}

void SetMaxRowArraySize(SQLULEN rows) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.maxRowArraySize = rows;
}

void Script(FakeFn fn, FakeAnswer answer, int times) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    for (int i = 0; i < times; ++i) gState.scripts[static_cast<int>(fn)].push_back(answer);
}

void ScriptChunks(std::vector<FakeChunk> chunks) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    for (auto& c : chunks) gState.chunks.push_back(std::move(c));
}

void FailCallNumber(int n, FakeAnswer answer) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.failAtCall[gState.callNumber + n] = std::move(answer);
}

void QueueResult(FakeResult result) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.results.push_back(std::move(result));
}

void SetNoTotal(bool on) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.noTotal = on;
}

void SetWholeCharacters(bool on) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.wholeCharacters = on;
}

SQLULEN AutoCommitValue() {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    return gState.autoCommit;
}

void SetProfileString(std::string value) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.profileString = std::move(value);
}

void OnCall(FakeFn fn, std::function<void()> hook) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    gState.hooks[static_cast<int>(fn)] = std::move(hook);
}

int CallCount(FakeFn fn) { return static_cast<int>(CallsOf(fn).size()); }

int TotalCalls() {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    return static_cast<int>(gState.calls.size());
}

const std::vector<FakeCall>& Calls() { return gState.calls; }

std::vector<FakeCall> CallsOf(FakeFn fn) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    std::vector<FakeCall> out;
    for (const auto& c : gState.calls) {
        if (c.fn == fn) out.push_back(c);
    }
    return out;
}

int LiveHandles() {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    int n = 0;
    for (const auto& [key, h] : gState.handles) n += h.live ? 1 : 0;
    return n;
}

int LiveHandles(SQLSMALLINT handleType) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    int n = 0;
    for (const auto& [key, h] : gState.handles) n += h.live && h.type == handleType ? 1 : 0;
    return n;
}

int AllocatedHandles(SQLSMALLINT handleType) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    int n = 0;
    for (const auto& [key, h] : gState.handles) n += h.type == handleType ? 1 : 0;
    return n;
}

bool IsLive(SQLHANDLE handle) {
    std::lock_guard<std::recursive_mutex> lock(gLock);
    auto it = gState.handles.find(Key(handle));
    return it != gState.handles.end() && it->second.live;
}

const std::vector<std::string>& Violations() { return gState.violations; }

}  // namespace FakeOdbc

// The catalogue functions, all alike here (see Catalog).
SQLRETURN SQL_API SQLTables(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc, SQLSMALLINT scl,
                            SQLCHAR* t, SQLSMALLINT tl, SQLCHAR* ty, SQLSMALLINT tyl) {
    return Catalog(s, SQL_API_SQLTABLES, {{c, cl}, {sc, scl}, {t, tl}, {ty, tyl}});
}

SQLRETURN SQL_API SQLColumns(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc, SQLSMALLINT scl,
                             SQLCHAR* t, SQLSMALLINT tl, SQLCHAR* co, SQLSMALLINT col) {
    return Catalog(s, SQL_API_SQLCOLUMNS, {{c, cl}, {sc, scl}, {t, tl}, {co, col}});
}

SQLRETURN SQL_API SQLPrimaryKeys(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                 SQLSMALLINT scl, SQLCHAR* t, SQLSMALLINT tl) {
    return Catalog(s, SQL_API_SQLPRIMARYKEYS, {{c, cl}, {sc, scl}, {t, tl}});
}

SQLRETURN SQL_API SQLForeignKeys(SQLHSTMT s, SQLCHAR* pc, SQLSMALLINT pcl, SQLCHAR* ps,
                                 SQLSMALLINT psl, SQLCHAR* pt, SQLSMALLINT ptl, SQLCHAR* fc,
                                 SQLSMALLINT fcl, SQLCHAR* fs, SQLSMALLINT fsl, SQLCHAR* ft,
                                 SQLSMALLINT ftl) {
    return Catalog(s, SQL_API_SQLFOREIGNKEYS,
                   {{pc, pcl}, {ps, psl}, {pt, ptl}, {fc, fcl}, {fs, fsl}, {ft, ftl}});
}

SQLRETURN SQL_API SQLStatistics(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                SQLSMALLINT scl, SQLCHAR* t, SQLSMALLINT tl, SQLUSMALLINT unique,
                                SQLUSMALLINT reserved) {
    return Catalog(s, SQL_API_SQLSTATISTICS, {{c, cl}, {sc, scl}, {t, tl}}, {unique, reserved});
}

SQLRETURN SQL_API SQLGetTypeInfo(SQLHSTMT s, SQLSMALLINT type) {
    return Catalog(s, SQL_API_SQLGETTYPEINFO, {}, {type});
}

SQLRETURN SQL_API SQLProcedures(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                SQLSMALLINT scl, SQLCHAR* p, SQLSMALLINT pl) {
    return Catalog(s, SQL_API_SQLPROCEDURES, {{c, cl}, {sc, scl}, {p, pl}});
}

SQLRETURN SQL_API SQLProcedureColumns(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                      SQLSMALLINT scl, SQLCHAR* p, SQLSMALLINT pl, SQLCHAR* co,
                                      SQLSMALLINT col) {
    return Catalog(s, SQL_API_SQLPROCEDURECOLUMNS, {{c, cl}, {sc, scl}, {p, pl}, {co, col}});
}

SQLRETURN SQL_API SQLTablePrivileges(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                     SQLSMALLINT scl, SQLCHAR* t, SQLSMALLINT tl) {
    return Catalog(s, SQL_API_SQLTABLEPRIVILEGES, {{c, cl}, {sc, scl}, {t, tl}});
}

SQLRETURN SQL_API SQLColumnPrivileges(SQLHSTMT s, SQLCHAR* c, SQLSMALLINT cl, SQLCHAR* sc,
                                      SQLSMALLINT scl, SQLCHAR* t, SQLSMALLINT tl, SQLCHAR* co,
                                      SQLSMALLINT col) {
    return Catalog(s, SQL_API_SQLCOLUMNPRIVILEGES, {{c, cl}, {sc, scl}, {t, tl}, {co, col}});
}

SQLRETURN SQL_API SQLSpecialColumns(SQLHSTMT s, SQLUSMALLINT identifier, SQLCHAR* c,
                                    SQLSMALLINT cl, SQLCHAR* sc, SQLSMALLINT scl, SQLCHAR* t,
                                    SQLSMALLINT tl, SQLUSMALLINT scope, SQLUSMALLINT nullable) {
    return Catalog(s, SQL_API_SQLSPECIALCOLUMNS, {{c, cl}, {sc, scl}, {t, tl}},
                   {identifier, scope, nullable});
}

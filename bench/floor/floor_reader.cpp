#include "bench/floor/floor_reader.h"

#include <sqlext.h>

#include <cstring>

#include "bench/common/odbc_session.h"

namespace jov::bench {

namespace {

constexpr int32_t kChunk = 4096;
constexpr int32_t kMaxChunks = 16;
constexpr int32_t kBufferSize = kChunk * kMaxChunks + 4;
constexpr int32_t kUnitCapacity = kBufferSize;
constexpr int kMaxColumns = 64;

enum class Form { kInt32, kInt16, kFloat, kDouble, kText, kDateTime };

}  // namespace

struct FloorReader::Column {
    Form form;
    SQLSMALLINT cType;
    int32_t width;  // fixed-width values; 0 for texts read in chunks
};

FloorReader::FloorReader()
    : columns_(new Column[kMaxColumns]),
      buffer_(new char[kBufferSize]),
      units_(new char16_t[kUnitCapacity]) {}

FloorReader::~FloorReader() {
    Finish();
    delete[] columns_;
    delete[] buffer_;
    delete[] units_;
}

bool FloorReader::Pass(SQLHDBC connection, const char* sql, std::FILE* dump, PassTotals* totals) {
    if (Start(connection, sql) < 0) return false;
    bool ok = true;
    int32_t fetched;
    while (ok && (fetched = Fetch()) == 1) ok = ReadRow(dump, totals);
    Finish();
    return ok && fetched == 0;
}

int32_t FloorReader::Start(SQLHDBC connection, const char* sql) {
    Finish();
    if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, connection, &stmt_))) {
        ReportDiagnostics("floor statement", SQL_HANDLE_DBC, connection);
        stmt_ = SQL_NULL_HSTMT;
        return -1;
    }
    SQLSMALLINT count = 0;
    if (!Ok(SQLExecDirect(stmt_, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql)), SQL_NTS)) ||
        !Ok(SQLNumResultCols(stmt_, &count))) {
        ReportDiagnostics("floor query", SQL_HANDLE_STMT, stmt_);
        Finish();
        return -1;
    }
    if (!Describe(stmt_, count)) {
        Finish();
        return -1;
    }
    return count;
}

int32_t FloorReader::Fetch() {
    SQLRETURN rc = SQLFetch(stmt_);
    if (rc == SQL_NO_DATA) return 0;
    if (!Ok(rc)) {
        ReportDiagnostics("floor fetch", SQL_HANDLE_STMT, stmt_);
        return -1;
    }
    return 1;
}

void FloorReader::Finish() {
    if (stmt_ == SQL_NULL_HSTMT) return;
    SQLCloseCursor(stmt_);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
    stmt_ = SQL_NULL_HSTMT;
}

bool FloorReader::ReadText(int32_t number, FloorText* text) {
    *text = {buffer_, 0};
    buffer_[0] = 0;
    if (number < 1 || number > columnCount_) return false;
    const Column& column = columns_[number - 1];
    const int32_t length = ReadValue(stmt_, static_cast<SQLUSMALLINT>(number), column);
    if (length == -2) return false;
    if (length > 0) text->length = Render(column, length);
    buffer_[text->length < 0 ? 0 : text->length] = 0;
    if (text->length < 0) text->length = 0;
    return true;
}

int32_t FloorReader::ToUtf16(const FloorText& text, const char16_t** units) {
    *units = units_;
    if (text.length <= 0) return 0;
    return toUtf16_.Convert(text.bytes, text.length, units_, kUnitCapacity);
}

bool FloorReader::Describe(SQLHSTMT stmt, SQLSMALLINT count) {
    if (count > kMaxColumns) {
        std::fprintf(stderr, "floor: %d columns, at most %d\n", count, kMaxColumns);
        return false;
    }
    columnCount_ = count;
    for (SQLSMALLINT i = 0; i < count; ++i) {
        SQLLEN type = 0;
        if (!Ok(SQLColAttribute(stmt, static_cast<SQLUSMALLINT>(i + 1), SQL_DESC_TYPE, nullptr, 0,
                                nullptr, &type))) {
            ReportDiagnostics("floor describe", SQL_HANDLE_STMT, stmt);
            return false;
        }
        switch (static_cast<SQLSMALLINT>(type)) {
            case SQL_INTEGER:
                columns_[i] = {Form::kInt32, SQL_C_SLONG, 4};
                break;
            case SQL_SMALLINT:
                columns_[i] = {Form::kInt16, SQL_C_SSHORT, 2};
                break;
            case SQL_REAL:
                columns_[i] = {Form::kFloat, SQL_C_FLOAT, 4};
                break;
            case SQL_FLOAT:
            case SQL_DOUBLE:
                columns_[i] = {Form::kDouble, SQL_C_DOUBLE, 8};
                break;
            case SQL_NUMERIC:
            case SQL_DECIMAL:
            case SQL_CHAR:
            case SQL_VARCHAR:
            case SQL_LONGVARCHAR:
                columns_[i] = {Form::kText, SQL_C_CHAR, 0};
                break;
            case SQL_DATETIME:
            case SQL_TIME:
            case SQL_TIMESTAMP:
            case SQL_TYPE_DATE:
            case SQL_TYPE_TIME:
            case SQL_TYPE_TIMESTAMP:
                columns_[i] = {Form::kDateTime, SQL_C_CHAR, 0};
                break;
            default:
                std::fprintf(stderr, "floor: column %d has SQL type %ld, not read here\n", i + 1,
                             static_cast<long>(type));
                return false;
        }
    }
    return true;
}

bool FloorReader::ReadRow(std::FILE* dump, PassTotals* totals) {
    for (SQLSMALLINT i = 0; i < columnCount_; ++i) {
        FloorText text;
        if (!ReadText(i + 1, &text)) return false;
        const char16_t* units = nullptr;
        const int32_t count = ToUtf16(text, &units);
        totals->lengthSum += count;
        if (dump != nullptr) {
            std::fwrite(units, sizeof(char16_t), static_cast<std::size_t>(count), dump);
            const char16_t separator = i + 1 < columnCount_ ? u'\t' : u'\n';
            std::fwrite(&separator, sizeof separator, 1, dump);
        }
    }
    totals->values += columnCount_;
    totals->rows += 1;
    return true;
}

int32_t FloorReader::ReadValue(SQLHSTMT stmt, SQLUSMALLINT number, const Column& column) {
    // A character chunk that the driver cuts carries its terminator.
    const int32_t chunkData = column.cType == SQL_C_CHAR ? kChunk - 1 : kChunk;
    int32_t total = 0;
    for (int32_t chunk = 0; chunk < kMaxChunks; ++chunk) {
        SQLLEN indicator = 0;
        SQLRETURN rc = SQLGetData(stmt, number, column.cType, buffer_ + total, kChunk, &indicator);
        if (rc == SQL_NO_DATA) break;
        if (!Ok(rc)) {
            ReportDiagnostics("floor read", SQL_HANDLE_STMT, stmt);
            return -2;
        }
        if (indicator == SQL_NULL_DATA) return -1;
        if (column.width != 0) return column.width;
        total +=
            indicator < 0 || indicator > chunkData ? chunkData : static_cast<int32_t>(indicator);
        if (rc == SQL_SUCCESS) break;
    }
    return total;
}

int32_t FloorReader::Render(const Column& column, int32_t length) {
    char* text = buffer_;
    switch (column.form) {
        case Form::kInt32: {
            int32_t value;
            std::memcpy(&value, buffer_, sizeof value);
            return FormatInteger(value, text, kBufferSize);
        }
        case Form::kInt16: {
            int16_t value;
            std::memcpy(&value, buffer_, sizeof value);
            return FormatInteger(value, text, kBufferSize);
        }
        case Form::kFloat: {
            float value;
            std::memcpy(&value, buffer_, sizeof value);
            return FormatDouble(value, text, kBufferSize);
        }
        case Form::kDouble: {
            double value;
            std::memcpy(&value, buffer_, sizeof value);
            return FormatDouble(value, text, kBufferSize);
        }
        case Form::kText:
            return length;
        case Form::kDateTime:
            return RewriteDateStyle21(text, length);
    }
    return 0;
}

}  // namespace jov::bench

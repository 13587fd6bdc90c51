// The owner of one ODBC statement handle: allocated on a connection, freed
// exactly once by Free or the destructor. Its calls are serialised by the
// caller, except Cancel, which another thread may call while one of the
// others runs (the registry keeps the handle alive meanwhile). Every call
// keeps its diagnostics in the calling thread's records.
//
// A cancel reaches the driver only while an execution runs, and an
// execution's records are read only once no cancel is inside the driver:
// drivers clear or rewrite a statement's records in SQLCancel (MariaDB's
// state became 00000, sqliteodbc's unreadable when a cancel overlapped the
// reading). A cancel repeated during one execution first gives the earlier
// one kRecancelWait to end it, so a cancel that arrives as the execution
// returns does not clear the records the earlier one caused; one that came
// too early for the driver is still repeated. Only time tells those two
// apart: a cancel that reached the server before its statement did (KILL
// QUERY finding none, sqlite3_interrupt with nothing running) is answered
// with the same success as one that is ending the execution, and waiting
// for the end alone would hold a query timeout's cancel until the
// statement ended on its own.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <vector>

#include "driver/diagnostic.h"
#include "driver/odbc.h"
#include "driver/text/odbc_text.h"

namespace jov::driver::handles {

// What SQLDescribeParam says of a parameter.
struct ParameterShape {
    SQLSMALLINT sqlType = 0;
    SQLULEN size = 0;
    SQLSMALLINT digits = 0;
    SQLSMALLINT nullable = SQL_NULLABLE_UNKNOWN;
};

// One SQLBindParameter's arguments.
struct Binding {
    SQLSMALLINT cType;
    SQLSMALLINT sqlType;
    SQLULEN columnSize;
    SQLSMALLINT digits;
    SQLPOINTER buffer;
    SQLLEN bufferLength;
    SQLLEN* indicator;
};

class Statement {
  public:
    explicit Statement(const text::Codec& codec) : codec_(codec) {}
    ~Statement() { Free(); }
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    SQLRETURN Allocate(SQLHDBC dbc);
    // Frees the handle, once; later calls do nothing.
    SQLRETURN Free();

    SQLRETURN Prepare(const Utf16& sql);
    SQLRETURN ExecDirect(const Utf16& sql);
    SQLRETURN Execute();
    // SQLExecute of rows parameter rows at once. statuses[i] receives row i's
    // SQL_PARAM_* (SQL_PARAM_UNUSED where the driver did not reach it); on
    // success counts[i] its row count, read from the results the driver
    // makes one per row, -1 where it tells none. The statement is left with
    // its results closed, executing one row at a time again.
    SQLRETURN ExecuteArray(SQLULEN rows, SQLUSMALLINT* statuses, SQLLEN* counts);

    // A catalogue function with its names (nullopt: not given) and numbers,
    // as many of each as ArityOf(function) says; its result is read like a
    // query's. Runs as an execution: a cancel reaches it. Names are patterns
    // where ODBC takes patterns: SQL_ATTR_METADATA_ID is never set, so it
    // stays off.
    SQLRETURN Catalog(text::CatalogFunction function, const std::vector<std::optional<Utf16>>& names,
                      const std::vector<SQLUSMALLINT>& numbers);
    SQLRETURN Cancel();
    SQLRETURN SetAttribute(SQLINTEGER attribute, SQLULEN value);
    SQLRETURN NumResultCols(SQLSMALLINT* count);
    SQLRETURN RowCount(SQLLEN* count);
    SQLRETURN MoreResults();
    SQLRETURN CloseCursor();
    SQLRETURN ResetParameters();
    SQLRETURN NumParams(SQLSMALLINT* count);
    SQLRETURN DescribeParam(SQLUSMALLINT parameter, ParameterShape* shape);
    SQLRETURN DescribeColumn(SQLUSMALLINT column, text::ColumnShape* shape);
    SQLRETURN ColumnText(SQLUSMALLINT column, SQLUSMALLINT field, Utf16* value);
    SQLRETURN ColumnNumber(SQLUSMALLINT column, SQLUSMALLINT field, SQLLEN* value);
    SQLRETURN Fetch();
    SQLRETURN FetchScroll(SQLSMALLINT orientation, SQLLEN offset);
    // One SQLGetData chunk; only a failure keeps records (a cut chunk's
    // warning is how every long value is read).
    SQLRETURN GetData(SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target, SQLLEN size,
                      SQLLEN* indicator);
    // SQLBindCol of a column-wise row array; Unbind drops every binding.
    SQLRETURN BindColumn(SQLUSMALLINT column, SQLSMALLINT cType, SQLPOINTER target, SQLLEN width,
                         SQLLEN* indicators);
    SQLRETURN Unbind();
    // SQLSetPos(SQL_POSITION) on a row of the fetched block, for SQLGetData.
    SQLRETURN Position(SQLSETPOSIROW row);
    SQLRETURN BindParameter(SQLUSMALLINT parameter, const Binding& binding);
    // SQLParamData: SQL_NEED_DATA with the bound buffer pointer of the
    // parameter wanted, or how the execution ended.
    SQLRETURN ParamData(SQLPOINTER* wanted);
    SQLRETURN PutData(SQLPOINTER data, SQLLEN length);

    const text::Codec& codec() const { return codec_; }

  private:
    SQLRETURN Check(SQLRETURN rc) const;
    // Runs an execution the way a cancel may reach, then reads its records.
    template <typename Run>
    SQLRETURN Cancellable(Run run);
    SQLRETURN Encoded(const Utf16& sql, std::string* encoded) const;
    SQLRETURN SetPointer(SQLINTEGER attribute, SQLPOINTER value);
    void ReadRowCounts(SQLULEN rows, SQLLEN* counts);

    text::Codec codec_;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    static constexpr std::chrono::milliseconds kRecancelWait{200};

    // Guarded by cancelling_: an execution is inside the driver; cancels sent to it.
    bool executing_ = false;
    int cancels_ = 0;
    // Held by a cancel inside the driver, by the start and end of an execution
    // and by the reading of its records.
    std::mutex cancelling_;
    std::condition_variable executionEnded_;
};

}  // namespace jov::driver::handles

// The owner of one ODBC statement handle: allocated on a connection, freed
// exactly once by Free or the destructor. Its calls are serialised by the
// caller, except Cancel, which another thread may call while one of the
// others runs (the registry keeps the handle alive meanwhile). Every call
// keeps its diagnostics in the calling thread's records.
//
// A cancel reaches the driver only while an execution (ExecDirect, Execute,
// ParamData) is in the driver: on an idle statement SQLCancel would close
// its cursor and clear the records of the call that just failed. The
// executing thread reads its records before it lets a cancel in again.
#pragma once

#include <mutex>

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
    SQLRETURN BindParameter(SQLUSMALLINT parameter, const Binding& binding);
    // SQLParamData: SQL_NEED_DATA with the bound buffer pointer of the
    // parameter wanted, or how the execution ended.
    SQLRETURN ParamData(SQLPOINTER* wanted);
    SQLRETURN PutData(SQLPOINTER data, SQLLEN length);

    const text::Codec& codec() const { return codec_; }

  private:
    SQLRETURN Check(SQLRETURN rc) const;
    // Runs an execution call with cancels let in, and checks its answer
    // before they are shut out again.
    template <typename Call>
    SQLRETURN Executing(Call call);
    SQLRETURN Encoded(const Utf16& sql, std::string* encoded) const;

    text::Codec codec_;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    std::mutex cancelLock_;
    bool executing_ = false;  // guarded by cancelLock_
};

}  // namespace jov::driver::handles

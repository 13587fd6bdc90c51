// The owner of one ODBC connection handle: allocated by Open, freed exactly
// once by Close or the destructor, whichever comes first. Its calls are
// serialised by the caller (Java holds the connection's lock); every call
// keeps its diagnostics in the calling thread's records.
#pragma once

#include <cstdint>

#include "driver/diagnostic.h"
#include "driver/odbc.h"
#include "driver/text/odbc_text.h"

namespace jov::driver::handles {

class Connection {
  public:
    explicit Connection(text::Charset charset) : codec_(charset) {}
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Allocates and connects with SQLDriverConnect; a loginTimeout > 0 is
    // set first, in seconds. On failure the handle is freed again.
    SQLRETURN Open(const Utf16& connectionString, int32_t loginTimeout);
    // Rolls back what is uncommitted, disconnects and frees the handle; the
    // first failure is answered, the handle is freed whatever happens.
    SQLRETURN Close();

    SQLRETURN SetAttribute(SQLINTEGER attribute, SQLULEN value);
    SQLRETURN GetAttribute(SQLINTEGER attribute, SQLULEN* value);
    SQLRETURN EndTransaction(bool commit);
    SQLRETURN InfoText(SQLUSMALLINT infoType, Utf16* value);
    // An integer information item of width 2 (SQLUSMALLINT) or 4 bytes.
    SQLRETURN InfoInteger(SQLUSMALLINT infoType, int32_t width, int64_t* value);

    // Whether the driver wants a long value's length before its pieces
    // (SQL_NEED_LONG_DATA_LEN "Y"); asked once. sqliteodbc says so, and
    // crashes on a text sent at execution without one.
    bool NeedsLongDataLength();

    SQLHDBC handle() const { return dbc_; }
    const text::Codec& codec() const { return codec_; }

  private:
    SQLRETURN Check(SQLRETURN rc) const;
    void FreeHandle();

    text::Codec codec_;
    SQLHDBC dbc_ = SQL_NULL_HDBC;
    bool connected_ = false;
    int needsLongDataLength_ = -1;  // unknown until asked
};

}  // namespace jov::driver::handles

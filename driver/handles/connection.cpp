#include "driver/handles/connection.h"

#include <string>

#include "driver/handles/diagnostics.h"
#include "driver/handles/environment.h"

namespace jov::driver::handles {

namespace {

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// "Y" or "N" and its terminator.
constexpr size_t kYesNoSize = 2;

}  // namespace

Connection::~Connection() {
    if (connected_) SQLDisconnect(dbc_);
    FreeHandle();
}

SQLRETURN Connection::Check(SQLRETURN rc) const { return Checked(rc, codec_, SQL_HANDLE_DBC, dbc_); }

void Connection::FreeHandle() {
    if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    dbc_ = SQL_NULL_HDBC;
}

SQLRETURN Connection::Open(const Utf16& connectionString, int32_t loginTimeout) {
    std::string encoded;
    Diagnostic refused;
    if (!codec_.EncodeCommand(connectionString, &encoded, &refused)) {
        KeepOwn(refused);
        return SQL_ERROR;
    }
    const SQLHENV env = SharedEnvironment();
    if (env == SQL_NULL_HENV) return SQL_ERROR;
    const SQLRETURN allocated = SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc_);
    if (!Ok(allocated)) {
        dbc_ = SQL_NULL_HDBC;
        return Checked(allocated, codec_, SQL_HANDLE_ENV, env);
    }
    if (loginTimeout > 0) {
        const SQLRETURN set =
            SetAttribute(SQL_ATTR_LOGIN_TIMEOUT, static_cast<SQLULEN>(loginTimeout));
        if (!Ok(set)) {
            FreeHandle();
            return set;
        }
    }
    const SQLRETURN rc = Check(codec_.DriverConnect(dbc_, encoded));
    if (!Ok(rc)) {
        FreeHandle();
        return rc;
    }
    connected_ = true;
    return rc;
}

SQLRETURN Connection::Close() {
    SQLRETURN first = SQL_SUCCESS;
    if (connected_) {
        first = Check(SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK));
        const SQLRETURN disconnected = Check(SQLDisconnect(dbc_));
        if (Ok(first)) first = disconnected;
        connected_ = false;
    }
    FreeHandle();
    return first;
}

SQLRETURN Connection::SetAttribute(SQLINTEGER attribute, SQLULEN value) {
    return Check(SQLSetConnectAttr(dbc_, attribute,
                                   reinterpret_cast<SQLPOINTER>(static_cast<uintptr_t>(value)), 0));
}

SQLRETURN Connection::GetAttribute(SQLINTEGER attribute, SQLULEN* value) {
    // Integer attributes are SQLULEN wide in unixODBC; a driver writing 32
    // bits leaves the rest zero.
    *value = 0;
    return Check(SQLGetConnectAttr(dbc_, attribute, value, sizeof *value, nullptr));
}

SQLRETURN Connection::EndTransaction(bool commit) {
    return Check(SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK));
}

SQLRETURN Connection::InfoText(SQLUSMALLINT infoType, Utf16* value) {
    return Check(codec_.InfoText(dbc_, infoType, value));
}

SQLRETURN Connection::InfoInteger(SQLUSMALLINT infoType, int32_t width, int64_t* value) {
    if (width == 2) {
        SQLUSMALLINT small = 0;
        const SQLRETURN rc = Check(SQLGetInfo(dbc_, infoType, &small, sizeof small, nullptr));
        *value = small;
        return rc;
    }
    SQLUINTEGER wide = 0;
    const SQLRETURN rc = Check(SQLGetInfo(dbc_, infoType, &wide, sizeof wide, nullptr));
    *value = wide;
    return rc;
}


bool Connection::NeedsLongDataLength() {
    if (needsLongDataLength_ < 0) {
        std::string answer(kYesNoSize, '\0');
        // Asked quietly: a driver that cannot tell is taken to need it.
        const SQLRETURN rc = SQLGetInfo(dbc_, SQL_NEED_LONG_DATA_LEN, &answer[0],
                                        static_cast<SQLSMALLINT>(answer.size()), nullptr);
        needsLongDataLength_ = !Ok(rc) || answer[0] != 'N' ? 1 : 0;
    }
    return needsLongDataLength_ == 1;
}

}  // namespace jov::driver::handles

#include "driver/registry.h"

#include <string>

#include "driver/handles/diagnostics.h"

namespace jov::driver {

namespace {

constexpr uint8_t kConnectionTag = 0x43;  // 'C'
constexpr uint8_t kStatementTag = 0x53;   // 'S'

Connections& TheConnections() {
    static Connections table(kConnectionTag);
    return table;
}

Statements& TheStatements() {
    static Statements table(kStatementTag);
    return table;
}

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

void KeepNotOpen(const char* state, const char* what, int64_t token) {
    handles::KeepOwn(OwnDiagnostic(
        state, std::string(what) + " token " + std::to_string(token) + " is not open"));
}

// Takes token's entry out of table; null, with the record saying so, when it is not open.
template <typename Table>
auto Removed(Table& table, int64_t token, const char* state, const char* what) {
    auto entry = table.Remove(token);
    if (entry == nullptr) KeepNotOpen(state, what, token);
    return entry;
}

}  // namespace

SQLRETURN OpenConnection(const Utf16& connectionString, text::Charset charset,
                         int32_t loginTimeout, int64_t* token) {
    *token = 0;
    auto entry = std::make_shared<Connections::Entry>(charset);
    const SQLRETURN rc = entry->value.Open(connectionString, loginTimeout);
    if (Ok(rc)) *token = TheConnections().Add(std::move(entry));
    return rc;
}

SQLRETURN CloseConnection(int64_t token) {
    auto entry = Removed(TheConnections(), token, own::kNoConnection, "connection");
    if (entry == nullptr) return SQL_ERROR;
    const auto owned = TheStatements().TokensWhere(
        [token](const StatementState& s) { return s.connection == token; });
    for (int64_t statement : owned) {
        auto state = TheStatements().Remove(statement);
        if (state != nullptr) state->value.statement.Free();
    }
    return entry->value.Close();
}

Connections::Lease LeaseConnection(int64_t token) {
    auto lease = TheConnections().Find(token);
    if (!lease) KeepNotOpen(own::kNoConnection, "connection", token);
    return lease;
}

SQLRETURN AllocateStatement(int64_t connection, int64_t* token) {
    *token = 0;
    auto owner = LeaseConnection(connection);
    if (!owner) return SQL_ERROR;
    auto entry = std::make_shared<Statements::Entry>(owner->codec(), connection,
                                                     owner->NeedsLongDataLength());
    const SQLRETURN rc = entry->value.statement.Allocate(owner->handle());
    if (Ok(rc)) *token = TheStatements().Add(std::move(entry));
    return rc;
}

SQLRETURN FreeStatement(int64_t token) {
    auto entry = Removed(TheStatements(), token, own::kGeneral, "statement");
    return entry == nullptr ? SQL_ERROR : entry->value.statement.Free();
}

Statements::Lease LeaseStatement(int64_t token) {
    auto lease = TheStatements().Find(
        token, [](const StatementState& s) { return TheConnections().Contains(s.connection); });
    if (!lease) KeepNotOpen(own::kGeneral, "statement", token);
    return lease;
}

}  // namespace jov::driver

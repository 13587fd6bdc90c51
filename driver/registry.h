// The driver's connections and statements, named to Java by tokens (see
// slot_table.h). A statement belongs to one connection and its token is
// valid only while that connection's is: closing a connection frees its
// statements first, and a statement is found only while its connection is.
// Every lookup that finds nothing keeps a record for Java (08003 for a
// connection, HY000 for a statement) and gives an empty lease.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "driver/handles/connection.h"
#include "driver/handles/statement.h"
#include "driver/params/parameter_set.h"
#include "driver/rows/row_block.h"
#include "driver/slot_table.h"

namespace jov::driver {

struct StatementState {
    StatementState(const text::Codec& codec, int64_t owner, bool needsLength)
        : statement(codec), connection(owner), needsLongDataLength(needsLength) {}
    handles::Statement statement;
    params::ParameterSet parameters;
    rows::RowBlock block;  // bound to the handle: the handle is freed first
    // The columns describeColumns last read, which numResultCols compares
    // the current result against; empty before any.
    std::vector<text::ColumnShape> described;
    int64_t connection;
    bool needsLongDataLength;  // the connection's NeedsLongDataLength()
};

using Connections = SlotTable<handles::Connection>;
using Statements = SlotTable<StatementState>;

// Opens a connection and answers its token in *token (0 on failure).
SQLRETURN OpenConnection(const Utf16& connectionString, text::Charset charset,
                         int32_t loginTimeout, int64_t* token);
// Frees the connection's statements, then rolls back, disconnects and frees it.
SQLRETURN CloseConnection(int64_t token);
Connections::Lease LeaseConnection(int64_t token);

SQLRETURN AllocateStatement(int64_t connection, int64_t* token);
SQLRETURN FreeStatement(int64_t token);
Statements::Lease LeaseStatement(int64_t token);

}  // namespace jov::driver

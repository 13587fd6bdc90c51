// Everything Java's result metadata needs of each column, read at once:
// SQLDescribeCol, then SQLColAttribute for what it does not give.
#pragma once

#include <vector>

#include "driver/handles/statement.h"

namespace jov::driver::values {

struct ColumnDescription {
    text::ColumnShape shape;  // name, SQL type, size, digits, nullable
    Utf16 label;
    bool isUnsigned = false;
    SQLLEN displaySize = 0;
    Utf16 table;
    Utf16 schema;
    Utf16 catalog;
    Utf16 typeName;
    bool autoIncrement = false;
    bool caseSensitive = false;
};

// The description of every column of the current result (none when the
// statement has no result set); the first failure ends it.
SQLRETURN DescribeColumns(handles::Statement& statement, std::vector<ColumnDescription>* columns);

// Whether the current result's `count` columns have the names, SQL types,
// sizes and digits of `known` (SQLDescribeCol alone: cheap next to a whole
// description); false on any failure, its records dropped.
bool SameShapes(handles::Statement& statement, const std::vector<text::ColumnShape>& known,
                SQLSMALLINT count);

}  // namespace jov::driver::values

// PLACEHOLDER: replaced by the statement and cursor table implementation.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
int32_t OdbcAccs::ExecSQLQuery(const char*, int32_t*) { return -1; }
int32_t OdbcAccs::ExecSQLUpdate(const char*) { return -1; }
int32_t OdbcAccs::FindFreeCursor() { return -1; }
int32_t OdbcAccs::AllocColumns(int32_t, int32_t) { return -1; }
SQLHSTMT OdbcAccs::GetStatement(int32_t) { return nullptr; }
ColumnInfo* OdbcAccs::GetColumnsChecked(int32_t) { return nullptr; }
int32_t OdbcAccs::DescribeColumnName(int32_t, int32_t, char*) { return -1; }
int32_t OdbcAccs::DescribeColumnType(int32_t, int32_t, int16_t*) { return -1; }
int32_t OdbcAccs::DescribeColumnLength(int32_t, int32_t, int32_t*) { return -1; }
int32_t OdbcAccs::DescribeColumnPrecision(int32_t, int32_t, int16_t*, int16_t*) { return -1; }
void OdbcAccs::SetColumnDescription(int32_t, int32_t, const char*, int16_t, int32_t) {}
void OdbcAccs::SetColumnPrecision(int32_t, int32_t, int16_t, int16_t) {}
void OdbcAccs::SetColumnDateTime(int32_t, int32_t, int32_t) {}
}  // namespace jov

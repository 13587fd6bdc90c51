// PLACEHOLDER: replaced by the column accessors.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
const char* OdbcAccs::GetColumnName(int32_t, int32_t) const { return nullptr; }
int16_t OdbcAccs::GetColumnType(int32_t, int32_t) const { return 0; }
int32_t OdbcAccs::GetColumnOctetLength(int32_t, int32_t) const { return 0; }
int32_t OdbcAccs::GetColumnFetchDataLength(int32_t, int32_t) const { return 0; }
int16_t OdbcAccs::GetColumnNumericPrecision(int32_t, int32_t) const { return 0; }
int16_t OdbcAccs::GetColumnNumericScale(int32_t, int32_t) const { return 0; }
int32_t OdbcAccs::GetColumnNoFromName(int32_t, const char*) const { return -1; }
int32_t OdbcAccs::IsColumnDataNull(int32_t, int32_t) const { return 0; }
const unsigned char* OdbcAccs::GetColumnDataBinary(int32_t, int32_t, int32_t*, unsigned char*, int32_t) const { return nullptr; }
int32_t OdbcAccs::GetColumnDataTimet(int32_t, int32_t) const { return 0; }
}  // namespace jov

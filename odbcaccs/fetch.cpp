// PLACEHOLDER: replaced by the row fetching implementation.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
int32_t OdbcAccs::Fetch(int32_t, int32_t* endOfData) { *endOfData = 0; return 0; }
int32_t OdbcAccs::FetchScroll(int32_t, int32_t* endOfData, int32_t, int32_t) { *endOfData = 0; return 0; }
int32_t OdbcAccs::ReadColumnValue(int32_t, int32_t, unsigned char*, int32_t*) { return -1; }
int32_t OdbcAccs::StoreColumnValue(int32_t, int32_t, const unsigned char*, int32_t, int32_t) { return -1; }
int32_t OdbcAccs::EnsureValueCapacity(int32_t, int32_t, int32_t) { return -1; }
int32_t OdbcAccs::FetchRowValues(int32_t) { return -1; }
}  // namespace jov

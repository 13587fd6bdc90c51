// PLACEHOLDER: replaced by value rendering.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
const char* OdbcAccs::GetColumnDataString(int32_t, int32_t, char*, int32_t) { return nullptr; }
void OdbcAccs::TrimTrailingZeros(char*) {}
int32_t OdbcAccs::WideToAnsi(char* output, int32_t, const WCHAR*, int32_t) { output[0] = 0; return 0; }
}  // namespace jov

// PLACEHOLDER: replaced by blank stripping.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
void OdbcAccs::StripBlanks(char*) {}
void OdbcAccs::StripBlanksUpper(char*) {}
}  // namespace jov

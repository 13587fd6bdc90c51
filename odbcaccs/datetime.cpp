// PLACEHOLDER: replaced by the date and time implementation.
#include "odbcaccs/OdbcAccs.h"
namespace jov {
void OdbcAccs::ParseDateTime(const char*, DateFields* date, TimeFields* time) {
    *date = DateFields{-1, 0, 0};
    *time = TimeFields{0, 0, 0};
}
void OdbcAccs::FormatDateTime(char* text) const { FormatDateTimeInStyle(text, dateStyle.load()); }
void OdbcAccs::FormatDateTimeInStyle(char*, int16_t) {}
void OdbcAccs::SetColumnTimeValue(int32_t, int32_t, const DateFields&, const TimeFields&) {}
void OdbcAccs::RemoveFirst(char*, const char*) {}
}  // namespace jov

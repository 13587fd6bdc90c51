// Bounded waiting on a driver that answers SQL_STILL_EXECUTING.
//
// An update's execution and each chunk of a value read are repeated with the
// same arguments while the driver reports that it is still working: at most
// kMaxStillExecutingCalls calls, with one pause of kStillExecutingPauseMs
// before each repeat (179 pauses between 180 calls). The count starts afresh
// for every use, so each chunk of a long value has its own allowance.
#pragma once

#include "odbcaccs/OdbcAccs.h"

namespace jov {

// Calls `call` (a callable returning SQLRETURN) until it answers anything but
// SQL_STILL_EXECUTING or the allowance is used up. Returns the last answer;
// SQL_STILL_EXECUTING then means the wait timed out.
template <typename Call>
SQLRETURN RepeatWhileStillExecuting(Call call) {
    SQLRETURN rc = call();
    for (int calls = 1; rc == SQL_STILL_EXECUTING && calls < kMaxStillExecutingCalls; ++calls) {
        Sleep(kStillExecutingPauseMs);
        rc = call();
    }
    return rc;
}

}  // namespace jov

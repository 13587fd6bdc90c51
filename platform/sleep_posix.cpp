// Sleep for POSIX systems: nanosleep, resumed after signals until the whole
// time has passed.
#include <cerrno>
#include <ctime>

#include "platform/win32.h"

void Sleep(DWORD milliseconds) {
    timespec left{static_cast<time_t>(milliseconds / 1000),
                  static_cast<long>(milliseconds % 1000) * 1000000L};
    while (nanosleep(&left, &left) != 0 && errno == EINTR) {
    }
}

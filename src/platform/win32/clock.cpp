#include "platform/clock.h"

#include <ctime>
#include <windows.h>

#include <timeapi.h>

namespace platform {

uint32_t TickCount() {
    return GetTickCount();
}

void SleepMs(uint32_t milliseconds) {
    // INFINITE is a value of the same type: a sleep must stay bounded.
    Sleep(milliseconds == INFINITE ? INFINITE - 1 : milliseconds);
}

PreciseTimers::PreciseTimers() {
    restore_ = timeBeginPeriod(1) == TIMERR_NOERROR ? 1 : 0;
}

PreciseTimers::~PreciseTimers() {
    if (restore_ != 0) {
        timeEndPeriod(1);
    }
}

int32_t CalendarTime() {
    return static_cast<int32_t>(std::time(nullptr));
}

} // namespace platform

// Time as the driver needs it: a wrapping millisecond tick, a sleep and calendar time.
#pragma once

#include "platform/export.h"

#include <cstdint>

namespace platform {

// Milliseconds since an arbitrary start; wraps at 2^32 like GetTickCount.
TOOLKIT_API uint32_t TickCount();

TOOLKIT_API void SleepMs(uint32_t milliseconds);

// Seconds since 1970-01-01 UTC, truncated to 32 bits like the runtime's time().
TOOLKIT_API int32_t CalendarTime();

// While it lives, the timed waits of the thread that made it end as close to their deadline
// as the system allows: on Linux the thread's timer slack (50 µs by default) is cut to the
// least; on Windows the system timer ticks every millisecond instead of every 15.6 ms, which
// would otherwise stretch every pause of the line.
class TOOLKIT_API PreciseTimers {
public:
    PreciseTimers();
    ~PreciseTimers();
    PreciseTimers(const PreciseTimers&) = delete;
    PreciseTimers& operator=(const PreciseTimers&) = delete;

private:
    unsigned long restore_ = 0; // what the destructor puts back
};

} // namespace platform

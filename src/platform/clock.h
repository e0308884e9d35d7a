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

} // namespace platform

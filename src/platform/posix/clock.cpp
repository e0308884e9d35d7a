#include "platform/clock.h"

#include <ctime>
#include <sys/prctl.h>
#include <time.h>

namespace platform {

uint32_t TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t ms =
        static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void SleepMs(uint32_t milliseconds) {
    timespec wanted{static_cast<time_t>(milliseconds / 1000),
                    static_cast<long>(milliseconds % 1000) * 1000000L};
    timespec rest{};
    while (nanosleep(&wanted, &rest) != 0) {
        wanted = rest;
    }
}

PreciseTimers::PreciseTimers() {
    const int slack = prctl(PR_GET_TIMERSLACK, 0, 0, 0, 0);
    restore_ = slack > 0 ? static_cast<unsigned long>(slack) : 0;
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0); // 0 would mean the default again
}

PreciseTimers::~PreciseTimers() {
    if (restore_ > 0) {
        prctl(PR_SET_TIMERSLACK, restore_, 0, 0, 0);
    }
}

int32_t CalendarTime() {
    return static_cast<int32_t>(std::time(nullptr));
}

} // namespace platform

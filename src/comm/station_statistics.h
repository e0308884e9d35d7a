// The host's statistics query: one station's counters and link status, or the sums and the
// status of the whole instance.
#pragma once

#include <cstdint>

class CCommChannel;

namespace comm {

// Threads: any host thread. GetStatistics reads the stations' atomic counters and the
// channel's running flag; it takes no lock.
struct Counters {
    int32_t* readRequests;
    int32_t* readFailures;
    int32_t* writeRequests;
    int32_t* writeFailures;
};

// With a station name: its counters and link status (-1 disabled, 1 failing, 0 good), or -1
// for a name that matches no station (outputs untouched). Without: the counters of every
// station added onto the outputs, and -1 when communication is stopped or no station is
// enabled, 1 when an enabled station is failing, else 0. A port that never opened answers
// 1 at once.
int32_t GetStatistics(const CCommChannel& channel, const char* station, const Counters& out);

} // namespace comm

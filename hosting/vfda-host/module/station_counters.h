// A station's four counters as the module keeps them (DrvGetStatistics), in its order.
#pragma once

#include <cstdint>

namespace vfdahost {

struct StationCounters {
    int32_t reads = 0;
    int32_t readFailures = 0;
    int32_t writes = 0;
    int32_t writeFailures = 0;
};

} // namespace vfdahost

#include "comm/station_statistics.h"

#include "comm/comm_channel.h"
#include "config/station_info.h"

namespace comm {
namespace {

int32_t StationStatistics(const CStationInfo& station, const Counters& out) {
    int32_t readRequests = 0;
    int32_t readFailures = 0;
    int32_t writeRequests = 0;
    int32_t writeFailures = 0;
    const int32_t status =
        station.GetStatistics(readRequests, readFailures, writeRequests, writeFailures);
    *out.readRequests = readRequests;
    *out.readFailures = readFailures;
    *out.writeRequests = writeRequests;
    *out.writeFailures = writeFailures;
    return status;
}

int32_t InstanceStatistics(const CCommChannel& channel, const Counters& out) {
    int enabled = 0;
    int failing = 0;
    for (const CStationInfo* station : channel.Owner().Stations()) {
        int32_t counters[4] = {};
        const int32_t status =
            StationStatistics(*station, {&counters[0], &counters[1], &counters[2], &counters[3]});
        *out.readRequests += counters[0];
        *out.readFailures += counters[1];
        *out.writeRequests += counters[2];
        *out.writeFailures += counters[3];
        enabled += status != -1 ? 1 : 0;
        failing += status == 1 ? 1 : 0;
    }
    if (!channel.IsRunning() || enabled == 0) {
        return -1;
    }
    return failing > 0 ? 1 : 0;
}

} // namespace

int32_t GetStatistics(const CCommChannel& channel, const char* station, const Counters& out) {
    if (!channel.IsPortOpen()) {
        return 1;
    }
    if (station == nullptr) {
        return InstanceStatistics(channel, out);
    }
    const CStationInfo* found = channel.Owner().FindStation(station);
    return found != nullptr ? StationStatistics(*found, out) : -1;
}

} // namespace comm

// The command line of vfda-host monitor.
#pragma once

#include "event_printer.h"
#include "run_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

struct MonitorOptions {
    int portNumber = 0;                 // COMn
    std::optional<PortMapping> mapping; // COMn=PATH
    uint32_t baud = 4800;
    std::optional<long> seconds;
    std::optional<std::string> csvPath;
    bool json = false;
    bool trace = false;
    bool changesOnly = false;
    TimeStamps stamps = TimeStamps::Run;
};

// False with `error` set for a wrong command line.
bool ParseMonitorOptions(const std::vector<std::string>& words, MonitorOptions& options,
                         std::string& error);

} // namespace vfdahost

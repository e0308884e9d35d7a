// The command line of vfda-host scan.
#pragma once

#include "run_options.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

struct ScanOptions {
    int portNumber = 0;                 // COMn
    std::optional<PortMapping> mapping; // COMn=PATH
    std::vector<uint32_t> bauds;        // in the order tried
    std::vector<int> stations;          // sorted, each once
    std::optional<std::string> addTo;   // a configuration to add the found stations to
    uint32_t lockWaitMs = 0;            // how long --add-to waits for another writer
    bool json = false;
    TimeStamps stamps = TimeStamps::Run;
};

// False with `error` set for a wrong command line.
bool ParseScanOptions(const std::vector<std::string>& words, ScanOptions& options,
                      std::string& error);

// "0-31", "1,3,5-7": station numbers 0-31, sorted, each once. Nothing for a wrong list.
std::optional<std::vector<int>> ParseStationNumbers(const std::string& text);

} // namespace vfdahost

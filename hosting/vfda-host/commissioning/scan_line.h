// Asks each station number of a line whether a drive answers, at one baud rate after
// another. The scan makes its own short transactions on the port: the module waits up to a
// second for every answer, which would make a scan of a silent line take minutes, while
// the wire time tells when an answer must have come.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

struct FoundStation {
    int number = 0;
    uint32_t baud = 0;
    // What the drive says it is, read once it answered (nothing when it did not say).
    std::optional<uint16_t> softwareVersion;
    std::optional<uint16_t> capacityCode;
};

// Called once for every station found, as it is found.
using FoundReporter = std::function<void(const FoundStation&)>;
// Called after every number asked (or skipped, found already): how many of all.
using ScanProgress = std::function<void(size_t asked, size_t total)>;

// Scans the COM port `portNumber`. A station found at one rate is not asked again at the
// next. A signal ends the scan after the question under way. False with `error` set when the
// port cannot be opened.
bool ScanLine(int portNumber, const std::vector<uint32_t>& bauds, const std::vector<int>& stations,
              const FoundReporter& report, std::vector<FoundStation>& found, std::string& error,
              const ScanProgress& progress = {});

} // namespace vfdahost

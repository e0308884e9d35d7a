// The options the line benchmarks share, read with checked numbers: a value that is not a
// number, or a name the benchmark does not take, is refused rather than read as 0.
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace bench {

struct BenchOptions {
    std::string mode = "driver"; // "baseline" (the script), "baseline-c" (the C poller)
    int lines = 1;
    int drives = 1;
    uint32_t baud = 4800;
    uint32_t turnaroundMs = 10;
    double seconds = 20;
    double warmupSeconds = 2;
    uint32_t writeIntervalMs = 1000; // on each line
    std::string samples;
    std::string python = "/usr/bin/python3";
    std::string baselineScript;
    std::string baselineProgram;
};

// Reads "--name value" pairs into `options`; only the names in `accepted` are taken. False
// for anything else, and for values out of the ranges every benchmark shares (1..32
// drives, a line's baud rate, a run longer than its warm-up, a write interval above 0).
bool ParseBenchOptions(int argc, char** argv, const std::set<std::string>& accepted,
                       BenchOptions& options);

} // namespace bench

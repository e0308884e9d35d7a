// The command line of vfda-sim.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace sim {

struct Options {
    bool pseudoTerminal = false;
    std::string device;
    std::vector<int> stations{1};
    uint32_t baud = 4800;
    uint32_t turnaroundMs = 10;
    uint32_t frameGapMs = 50;
    bool wireTiming = true;
    bool trace = false;
    bool keepRunning = false;    // at the end of standard input, serve on until a signal
    bool reportsRunning = false; // D3 carries 0x80 while the motor turns
    bool matchBaud = false;      // answer only while the line runs at `baud`
    bool tap = false;            // a second pseudo-terminal hears every byte of the line
    // Set on every drive at start: parameters that refuse writes, parameters whose reads go
    // unanswered, the parameter lock P54 on, and the stations whose motor runs.
    std::vector<int> readOnlyParameters;
    std::vector<int> hiddenParameters;
    bool locked = false;
    std::vector<int> runningStations;
    bool help = false;
    bool version = false;
};

// args without the program name. An option's value may follow it or be joined to it with
// '=' ("--baud=2400").
bool ParseOptions(const std::vector<std::string_view>& args, Options& options, std::string& error);

// "1,2,5-8": station numbers 0-31, sorted, each once.
bool ParseStationList(std::string_view text, std::vector<int>& stations);
// The same form for numbers 0..maximum.
bool ParseNumberList(std::string_view text, uint32_t maximum, std::vector<int>& numbers);

// The usage lines, for a wrong command line; the whole help, for --help.
std::string UsageText();
std::string HelpText();

} // namespace sim

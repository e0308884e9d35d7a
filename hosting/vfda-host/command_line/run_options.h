// The command line of vfda-host run.
#pragma once

#include "cli/arguments.h"
#include "event_printer.h"
#include "station_back_off.h"

#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

// --port COMn=PATH: the device that stands for COM port n during this run.
struct PortMapping {
    int number = 0;
    std::string path;
};

struct RunOptions {
    std::string configPath;
    std::string tagsPath;
    std::vector<PortMapping> ports;
    std::optional<long> seconds;
    bool json = false;
    bool trace = false;
    bool strict = false; // exit 3 when the port did not open or a station never answered
    bool quiet = false;  // no set-up lines
    bool view = false;   // a table drawn in place instead of lines
    std::optional<std::string> csvPath;   // every value change appended there
    std::optional<BackOffLimits> backOff; // lost stations taken off the line
    TimeStamps stamps = TimeStamps::Run;
};

// The longest run --seconds asks for: a week.
constexpr long kMaxRunSeconds = 7L * 24 * 3600;

// The longest wait --back-off-limit allows between two visits of a lost station: an hour.
constexpr long kMaxBackOffSeconds = 3600;

// False with `error` set for a wrong command line.
bool ParseRunOptions(const std::vector<std::string>& words, RunOptions& options,
                     std::string& error);
// The value of --seconds, when given: 0 .. kMaxRunSeconds.
bool ParseSeconds(const cli::Arguments& arguments, std::optional<long>& seconds,
                  std::string& error);
bool ParsePortMapping(const std::string& text, PortMapping& mapping, std::string& error);
// The value of --time, when given: run or wall.
bool ParseTimeStamps(const cli::Arguments& arguments, TimeStamps& stamps, std::string& error);

} // namespace vfdahost

// The command line of vfda-host run.
#pragma once

#include "arguments.h"

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
};

// The longest run --seconds asks for: a week.
constexpr long kMaxRunSeconds = 7L * 24 * 3600;

extern const char* const kRunUsage;

// False with `error` set for a wrong command line.
bool ParseRunOptions(const std::vector<std::string>& words, RunOptions& options,
                     std::string& error);
// The value of --seconds, when given: 0 .. kMaxRunSeconds.
bool ParseSeconds(const Arguments& arguments, std::optional<long>& seconds, std::string& error);
bool ParsePortMapping(const std::string& text, PortMapping& mapping, std::string& error);

} // namespace vfdahost

// What the one-shot and commissioning commands share: their command line, the session on
// the named stations, and the addresses they take.
#pragma once

#include "event_printer.h"
#include "parameter_session.h"
#include "port_folder.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

// The line has been used, but the drives did not all do what was asked.
constexpr int kExitDrivesFailed = 3;

struct ParameterCommandLine {
    std::vector<std::string> positional;
    std::vector<PortMapping> ports;
    bool json = false;
};

// False (reported with the usage) for a wrong command line; `extraValues`/`extraFlags` are
// the command's own options besides --port and --json.
bool ParseParameterCommandLine(const std::vector<std::string>& words, const char* usage,
                               size_t minimumPositional, ParameterCommandLine& line);

// The ports mapped, the module loaded and the configuration opened; kExitOk or the code to
// exit with (reported).
int OpenSession(const ParameterCommandLine& line, const std::string& configPath, PortFolder& ports,
                ParameterSession& session);

// An address of one station's word: P0..P80 or D0..D6.
struct WordAddress {
    char area = 'P';
    int number = 0;
    std::string Text() const { return area + std::to_string(number); }
};
std::optional<WordAddress> ParseWordAddress(const std::string& text);

} // namespace vfdahost

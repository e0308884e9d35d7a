#include "run_options.h"

#include "com_name.h"

#include "cli/arguments.h"
#include "config/serial_port.h"
#include "host_tool.h"

#include <algorithm>
#include <cctype>

namespace vfdahost {

bool ParseSeconds(const cli::Arguments& arguments, std::optional<long>& seconds,
                  std::string& error) {
    if (const auto text = arguments.Value("--seconds")) {
        const auto number = cli::ParseInteger(*text);
        if (!number || *number < 0 || *number > kMaxRunSeconds) {
            error = "--seconds must be a whole number from 0 to " + std::to_string(kMaxRunSeconds);
            return false;
        }
        seconds = *number;
    }
    return true;
}

bool ParseTimeStamps(const cli::Arguments& arguments, TimeStamps& stamps, std::string& error) {
    const std::optional<std::string> text = arguments.Value("--time");
    if (text && *text != "run" && *text != "wall") {
        error = "--time must be run or wall";
        return false;
    }
    stamps = text == "wall" ? TimeStamps::Wall : TimeStamps::Run;
    return true;
}

bool ParsePortMapping(const std::string& text, PortMapping& mapping, std::string& error) {
    error = "--port takes COMn=PATH with n from 1 to " + std::to_string(CSerialPort::kPortCount) +
            ", not \"" + text + "\"";
    const size_t equals = text.find('=');
    if (equals == std::string::npos || equals + 1 == text.size()) {
        return false;
    }
    const std::optional<int> number = ParseComName(std::string_view(text).substr(0, equals));
    if (!number) {
        return false;
    }
    mapping.number = *number;
    mapping.path = text.substr(equals + 1);
    error.clear();
    return true;
}

namespace {

bool ParseBackOff(const cli::Arguments& arguments, std::optional<BackOffLimits>& backOff,
                  std::string& error) {
    const std::optional<std::string> limit = arguments.Value("--back-off-limit");
    if (!arguments.Has("--back-off")) {
        if (limit) {
            error = "--back-off-limit goes with --back-off";
            return false;
        }
        return true;
    }
    BackOffLimits limits;
    if (limit) {
        const auto seconds = cli::ParseInteger(*limit);
        if (!seconds || *seconds < 1 || *seconds > kMaxBackOffSeconds) {
            error = "--back-off-limit must be a whole number of seconds from 1 to " +
                    std::to_string(kMaxBackOffSeconds);
            return false;
        }
        limits.most = std::chrono::seconds(*seconds);
        limits.first = std::min(limits.first, limits.most);
    }
    backOff = limits;
    return true;
}

} // namespace

bool ParseRunOptions(const std::vector<std::string>& words, RunOptions& options,
                     std::string& error) {
    const cli::Arguments arguments(words, HostCommand("run"));
    if (!arguments.Ok()) {
        error = arguments.Error();
        return false;
    }
    if (arguments.Positional().size() != 1) {
        error = "run takes one configuration file";
        return false;
    }
    options.configPath = arguments.Positional()[0];
    const auto tags = arguments.Value("--tags");
    if (!tags) {
        error = "run needs --tags TAGS";
        return false;
    }
    options.tagsPath = *tags;
    for (const std::string& text : arguments.Values("--port")) {
        PortMapping mapping;
        if (!ParsePortMapping(text, mapping, error)) {
            return false;
        }
        options.ports.push_back(mapping);
    }
    if (!ParseSeconds(arguments, options.seconds, error) ||
        !ParseTimeStamps(arguments, options.stamps, error) ||
        !ParseBackOff(arguments, options.backOff, error)) {
        return false;
    }
    options.quiet = arguments.Has("--quiet");
    options.view = arguments.Has("--view");
    options.csvPath = arguments.Value("--csv");
    options.json = arguments.Has("--json");
    options.trace = arguments.Has("--trace");
    options.strict = arguments.Has("--strict");
    return true;
}

} // namespace vfdahost

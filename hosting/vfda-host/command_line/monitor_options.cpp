#include "monitor_options.h"

#include "cli/arguments.h"
#include "host_tool.h"
#include "line_port_option.h"

namespace vfdahost {

bool ParseMonitorOptions(const std::vector<std::string>& words, MonitorOptions& options,
                         std::string& error) {
    const cli::Arguments arguments(words, HostCommand("monitor"));
    if (!arguments.Ok()) {
        error = arguments.Error();
        return false;
    }
    if (!arguments.Positional().empty()) {
        error = "monitor takes no file; name the line with --port";
        return false;
    }
    const auto port = arguments.Value("--port");
    if (!port) {
        error = "monitor needs --port COMn[=PATH]";
        return false;
    }
    if (!ParseLinePort(*port, options.portNumber, options.mapping, error)) {
        return false;
    }
    if (const auto baud = arguments.Value("--baud")) {
        const std::optional<uint32_t> rate = ParseLineRate(*baud);
        if (!rate) {
            error = "--baud must be 1200, 2400 or 4800";
            return false;
        }
        options.baud = *rate;
    }
    if (!ParseSeconds(arguments, options.seconds, error) ||
        !ParseTimeStamps(arguments, options.stamps, error)) {
        return false;
    }
    options.csvPath = arguments.Value("--csv");
    options.json = arguments.Has("--json");
    options.trace = arguments.Has("--trace");
    options.changesOnly = arguments.Has("--changes");
    return true;
}

} // namespace vfdahost

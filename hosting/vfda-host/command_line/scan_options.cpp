#include "scan_options.h"

#include "comm/line_rates.h"
#include "config_edit.h"
#include "line_port_option.h"

#include "cli/arguments.h"
#include "config/serial_port.h"
#include "host_tool.h"

#include <algorithm>
#include <cctype>

namespace vfdahost {
namespace {

constexpr int kLastStation = 31;

std::optional<int> StationNumber(const std::string& text) {
    if (text.empty() || text.size() > 2 || !std::all_of(text.begin(), text.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c)) != 0;
        })) {
        return std::nullopt;
    }
    const int number = std::stoi(text);
    return number <= kLastStation ? std::optional<int>(number) : std::nullopt;
}

bool AddRange(const std::string& item, std::vector<int>& stations) {
    const size_t dash = item.find('-');
    const auto first = StationNumber(item.substr(0, dash));
    const auto last = dash == std::string::npos ? first : StationNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first) {
        return false;
    }
    for (int number = *first; number <= *last; ++number) {
        stations.push_back(number);
    }
    return true;
}

// auto tries the line's rates fastest first, as a line is most often set up.
bool ParseBauds(const std::optional<std::string>& text, std::vector<uint32_t>& bauds) {
    if (!text || *text == "auto") {
        bauds.assign(comm::kBaudRates.rbegin(), comm::kBaudRates.rend());
        return true;
    }
    const std::optional<uint32_t> rate = ParseLineRate(*text);
    if (!rate) {
        return false;
    }
    bauds = {*rate};
    return true;
}

} // namespace

std::optional<std::vector<int>> ParseStationNumbers(const std::string& text) {
    std::vector<int> stations;
    size_t at = 0;
    for (;;) {
        const size_t comma = std::min(text.find(',', at), text.size());
        if (!AddRange(text.substr(at, comma - at), stations)) {
            return std::nullopt;
        }
        if (comma == text.size()) {
            break;
        }
        at = comma + 1;
    }
    std::sort(stations.begin(), stations.end());
    stations.erase(std::unique(stations.begin(), stations.end()), stations.end());
    return stations;
}

bool ParseScanOptions(const std::vector<std::string>& words, ScanOptions& options,
                      std::string& error) {
    const cli::Arguments arguments(words, HostCommand("scan"));
    if (!arguments.Ok()) {
        error = arguments.Error();
        return false;
    }
    if (!arguments.Positional().empty()) {
        error = "scan takes no file; name the line with --port";
        return false;
    }
    const auto port = arguments.Value("--port");
    if (!port) {
        error = "scan needs --port COMn[=PATH]";
        return false;
    }
    if (!ParseLinePort(*port, options.portNumber, options.mapping, error)) {
        return false;
    }
    if (!ParseBauds(arguments.Value("--baud"), options.bauds)) {
        error = "--baud must be 1200, 2400, 4800 or auto";
        return false;
    }
    const auto stations = ParseStationNumbers(arguments.Value("--stations").value_or("0-31"));
    if (!stations) {
        error = "--stations takes station numbers 0-31 such as 0-31 or 1,3,5-7";
        return false;
    }
    options.stations = *stations;
    if (!ParseTimeStamps(arguments, options.stamps, error)) {
        return false;
    }
    options.addTo = arguments.Value("--add-to");
    if (const std::optional<std::string> wrong = ParseLockWait(arguments, options.lockWaitMs)) {
        error = *wrong;
        return false;
    }
    options.json = arguments.Has("--json");
    return true;
}

} // namespace vfdahost

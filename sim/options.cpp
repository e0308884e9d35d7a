#include "sim/options.h"

#include "cli/arguments.h"
#include "cli/help_text.h"
#include "sim/number_text.h"
#include "sim/sim_tool.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace sim {
namespace {

bool ParseRange(std::string_view item, uint32_t maximum, std::vector<int>& numbers) {
    const size_t dash = item.find('-');
    uint32_t first = 0;
    uint32_t last = 0;
    if (dash == std::string_view::npos) {
        if (!ParseUnsigned(item, maximum, first)) {
            return false;
        }
        last = first;
    } else if (!ParseUnsigned(item.substr(0, dash), maximum, first) ||
               !ParseUnsigned(item.substr(dash + 1), maximum, last) || last < first) {
        return false;
    }
    for (uint32_t number = first; number <= last; ++number) {
        numbers.push_back(static_cast<int>(number));
    }
    return true;
}

} // namespace

bool ParseNumberList(std::string_view text, uint32_t maximum, std::vector<int>& numbers) {
    std::vector<int> parsed;
    size_t at = 0;
    while (at <= text.size()) {
        const size_t comma = std::min(text.find(',', at), text.size());
        if (!ParseRange(text.substr(at, comma - at), maximum, parsed)) {
            return false;
        }
        at = comma + 1;
    }
    std::sort(parsed.begin(), parsed.end());
    parsed.erase(std::unique(parsed.begin(), parsed.end()), parsed.end());
    numbers = parsed;
    return true;
}

bool ParseStationList(std::string_view text, std::vector<int>& stations) {
    return ParseNumberList(text, 31, stations);
}

namespace {

bool ParseValues(const cli::Arguments& arguments, Options& options, std::string& error) {
    auto check = [&](const char* option, auto parse, const char* complaint) {
        const std::optional<std::string> value = arguments.Value(option);
        if (value && !parse(*value)) {
            error = complaint;
            return false;
        }
        return true;
    };
    return check(
               "--device",
               [&](const std::string& v) {
                   options.device = v;
                   return !v.empty();
               },
               "--device needs a path") &&
           check(
               "--stations",
               [&](const std::string& v) { return ParseStationList(v, options.stations); },
               "--stations needs a list of station numbers 0-31, such as 1,2,5-8") &&
           check(
               "--baud",
               [&](const std::string& v) {
                   return ParseUnsigned(v, 4800, options.baud) &&
                          (options.baud == 1200 || options.baud == 2400 || options.baud == 4800);
               },
               "--baud must be 1200, 2400 or 4800") &&
           check(
               "--turnaround",
               [&](const std::string& v) { return ParseUnsigned(v, 10'000, options.turnaroundMs); },
               "--turnaround needs milliseconds 0-10000") &&
           check(
               "--frame-gap",
               [&](const std::string& v) {
                   return ParseUnsigned(v, 10'000, options.frameGapMs) && options.frameGapMs != 0;
               },
               "--frame-gap needs milliseconds 1-10000") &&
           check(
               "--read-only",
               [&](const std::string& v) {
                   return ParseNumberList(v, 80, options.readOnlyParameters);
               },
               "--read-only needs a list of parameter numbers 0-80, such as 10,20-23") &&
           check(
               "--hide",
               [&](const std::string& v) {
                   return ParseNumberList(v, 80, options.hiddenParameters);
               },
               "--hide needs a list of parameter numbers 0-80, such as 10,20-23") &&
           check(
               "--running",
               [&](const std::string& v) { return ParseStationList(v, options.runningStations); },
               "--running needs a list of station numbers 0-31, such as 1,2");
}

} // namespace

bool ParseOptions(const std::vector<std::string_view>& words, Options& options,
                  std::string& error) {
    const cli::Arguments arguments({words.begin(), words.end()}, SimTool().commands[0]);
    options.help = arguments.HelpAsked();
    options.version = arguments.Has("--version");
    if (!arguments.Ok()) {
        error = arguments.Error();
        return false;
    }
    if (!arguments.Positional().empty()) {
        error = "unexpected operand \"" + cli::Shown(arguments.Positional()[0]) + "\"";
        return false;
    }
    options.pseudoTerminal = arguments.Has("--pty");
    options.wireTiming = !arguments.Has("--no-wire-timing");
    options.trace = arguments.Has("--trace");
    options.keepRunning = arguments.Has("--keep-running");
    options.tap = arguments.Has("--tap");
    options.reportsRunning = arguments.Has("--report-running");
    options.matchBaud = arguments.Has("--match-baud");
    options.locked = arguments.Has("--locked");
    if (!ParseValues(arguments, options, error)) {
        return false;
    }
    if (!options.help && !options.version && options.pseudoTerminal == !options.device.empty()) {
        error = "give exactly one of --pty and --device PATH";
        return false;
    }
    for (const int station : options.runningStations) {
        if (!std::binary_search(options.stations.begin(), options.stations.end(), station)) {
            error = "--running names station " + std::to_string(station) + ", not in --stations";
            return false;
        }
    }
    return true;
}

std::string UsageText() {
    return cli::ToolUsage(SimTool());
}

std::string HelpText() {
    return cli::ToolHelp(SimTool());
}

} // namespace sim

#include "sim/options.h"

#include "sim/number_text.h"

#include <algorithm>
#include <charconv>

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

// "--name=value" as the two words "--name" "value".
std::vector<std::string_view> SplitJoinedValues(const std::vector<std::string_view>& words) {
    std::vector<std::string_view> split;
    for (const std::string_view word : words) {
        const size_t equals = word.find('=');
        if (word.starts_with("--") && equals != std::string_view::npos) {
            split.push_back(word.substr(0, equals));
            split.push_back(word.substr(equals + 1));
        } else {
            split.push_back(word);
        }
    }
    return split;
}

bool ParseOptions(const std::vector<std::string_view>& words, Options& options,
                  std::string& error) {
    const std::vector<std::string_view> args = SplitJoinedValues(words);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const std::string_view value = hasValue ? args[i + 1] : std::string_view();
        auto needsValue = [&](std::string_view name) {
            if (!hasValue) {
                error = std::string(name) + " needs a value";
            }
            return hasValue;
        };
        if (arg == "--pty") {
            options.pseudoTerminal = true;
        } else if (arg == "--no-wire-timing") {
            options.wireTiming = false;
        } else if (arg == "--trace") {
            options.trace = true;
        } else if (arg == "--keep-running") {
            options.keepRunning = true;
        } else if (arg == "--report-running") {
            options.reportsRunning = true;
        } else if (arg == "--match-baud") {
            options.matchBaud = true;
        } else if (arg == "--locked") {
            options.locked = true;
        } else if (arg == "--read-only" || arg == "--hide") {
            std::vector<int>& list =
                arg == "--read-only" ? options.readOnlyParameters : options.hiddenParameters;
            if (!needsValue(arg) || !ParseNumberList(value, 80, list)) {
                error =
                    std::string(arg) + " needs a list of parameter numbers 0-80, such as 10,20-23";
                return false;
            }
            ++i;
        } else if (arg == "--running") {
            if (!needsValue(arg) || !ParseStationList(value, options.runningStations)) {
                error = "--running needs a list of station numbers 0-31, such as 1,2";
                return false;
            }
            ++i;
        } else if (arg == "--help" || arg == "-h") {
            options.help = true;
        } else if (arg == "--version" || arg == "-V") {
            options.version = true;
        } else if (arg == "--device") {
            if (!needsValue(arg) || value.empty()) {
                error = "--device needs a path";
                return false;
            }
            options.device = std::string(value);
            ++i;
        } else if (arg == "--stations") {
            if (!needsValue(arg) || !ParseStationList(value, options.stations)) {
                error = "--stations needs a list of station numbers 0-31, such as 1,2,5-8";
                return false;
            }
            ++i;
        } else if (arg == "--baud") {
            if (!needsValue(arg) || !ParseUnsigned(value, 4800, options.baud) ||
                (options.baud != 1200 && options.baud != 2400 && options.baud != 4800)) {
                error = "--baud must be 1200, 2400 or 4800";
                return false;
            }
            ++i;
        } else if (arg == "--turnaround") {
            if (!needsValue(arg) || !ParseUnsigned(value, 10'000, options.turnaroundMs)) {
                error = "--turnaround needs milliseconds 0-10000";
                return false;
            }
            ++i;
        } else if (arg == "--frame-gap") {
            if (!needsValue(arg) || !ParseUnsigned(value, 10'000, options.frameGapMs) ||
                options.frameGapMs == 0) {
                error = "--frame-gap needs milliseconds 1-10000";
                return false;
            }
            ++i;
        } else {
            error = "unknown option " + std::string(arg.substr(0, 64));
            return false;
        }
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
    return "usage: vfda-sim (--pty | --device PATH) [--stations LIST] [--baud 1200|2400|4800]\n"
           "                [--turnaround MS] [--frame-gap MS] [--no-wire-timing] [--trace]\n"
           "                [--keep-running] [--report-running] [--match-baud]\n"
           "                [--read-only PARAMS] [--hide PARAMS] [--locked] [--running LIST]\n"
           "       vfda-sim --help | --version | -V\n"
           "Simulates DELTA VFD-A drives on one serial line; reads commands on standard input\n"
           "(type 'help'). See sim/README.md.\n";
}

} // namespace sim

#include "bench_options.h"

#include "cli/arguments.h"
#include "platform/pseudo_terminal.h"

#include <charconv>
#include <cmath>
#include <map>
#include <optional>

namespace bench {
namespace {

bool ReadInteger(const std::string& text, long lowest, long highest, long& value) {
    const std::optional<long> number = cli::ParseInteger(text);
    if (!number || *number < lowest || *number > highest) {
        return false;
    }
    value = *number;
    return true;
}

bool ReadSeconds(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto read = std::from_chars(text.data(), end, value);
    return !text.empty() && read.ec == std::errc() && read.ptr == end && std::isfinite(value) &&
           value >= 0;
}

bool ReadOne(const std::string& name, const std::string& value, BenchOptions& options) {
    long number = 0;
    const auto integer = [&](long lowest, long highest, auto& field) {
        if (!ReadInteger(value, lowest, highest, number)) {
            return false;
        }
        field = static_cast<std::remove_reference_t<decltype(field)>>(number);
        return true;
    };
    const std::map<std::string, std::string*> texts = {
        {"--mode", &options.mode},
        {"--samples", &options.samples},
        {"--python", &options.python},
        {"--baseline-script", &options.baselineScript},
        {"--baseline-program", &options.baselineProgram}};
    if (const auto text = texts.find(name); text != texts.end()) {
        *text->second = value;
        return true;
    }
    if (name == "--lines") {
        return integer(1, 1000, options.lines);
    }
    if (name == "--drives") {
        return integer(1, 32, options.drives);
    }
    if (name == "--baud") {
        return integer(1, 115200, options.baud);
    }
    if (name == "--turnaround") {
        return integer(0, 10000, options.turnaroundMs);
    }
    if (name == "--write-interval") {
        return integer(1, 3600000, options.writeIntervalMs);
    }
    if (name == "--seconds") {
        return ReadSeconds(value, options.seconds);
    }
    if (name == "--warmup") {
        return ReadSeconds(value, options.warmupSeconds);
    }
    return false;
}

} // namespace

bool ParseBenchOptions(int argc, char** argv, const std::set<std::string>& accepted,
                       BenchOptions& options) {
    if (argc % 2 != 1) {
        return false;
    }
    for (int i = 1; i + 1 < argc; i += 2) {
        if (accepted.count(argv[i]) == 0 || !ReadOne(argv[i], argv[i + 1], options)) {
            return false;
        }
    }
    return platform::IsLineBaud(options.baud) && options.seconds > options.warmupSeconds;
}

} // namespace bench

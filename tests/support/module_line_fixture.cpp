#include "module_line_fixture.h"

#include "wait_for.h"

#include <cmath>

namespace testing_support {

std::optional<double> LatestValue(const hostkit::HostLibraries& host, uint32_t tagId) {
    std::optional<double> latest;
    for (const auto& update : host.TagValues()) {
        if (update.tagId == tagId) {
            latest = update.value;
        }
    }
    return latest;
}

bool WaitForValue(const hostkit::HostLibraries& host, uint32_t tagId, double expected,
                  int milliseconds, int pollMs) {
    return WaitFor(
        [&] {
            const auto value = LatestValue(host, tagId);
            return value && std::fabs(*value - expected) < 1e-9;
        },
        milliseconds, pollMs);
}

std::vector<std::string> EventLogTexts(const hostkit::HostLibraries& host) {
    std::vector<std::string> texts;
    for (const auto& line : host.EventLog()) {
        texts.push_back(line.text);
    }
    return texts;
}

std::vector<std::string> LinesWith(const std::vector<std::string>& lines,
                                   const std::string& fragment) {
    std::vector<std::string> found;
    for (const std::string& line : lines) {
        if (line.find(fragment) != std::string::npos) {
            found.push_back(line);
        }
    }
    return found;
}

} // namespace testing_support

// What every suite that runs the module over a line reads back from the host's stand-in
// libraries: the values the tag database received and the lines of the event log.
#pragma once

#include "host_libraries.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The tag types the host registers tags with.
constexpr uint16_t kAnalog = 1;
constexpr uint16_t kDigital = 13;

// The latest value the tag database received for the tag, if any.
std::optional<double> LatestValue(const hostkit::HostLibraries& host, uint32_t tagId);

// Waits, bounded, until the tag's latest value is `expected`.
bool WaitForValue(const hostkit::HostLibraries& host, uint32_t tagId, double expected,
                  int milliseconds, int pollMs = 5);

// The texts of the event log, in order.
std::vector<std::string> EventLogTexts(const hostkit::HostLibraries& host);

// The lines that contain the fragment.
std::vector<std::string> LinesWith(const std::vector<std::string>& lines,
                                   const std::string& fragment);

} // namespace testing_support

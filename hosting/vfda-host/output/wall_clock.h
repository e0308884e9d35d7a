// The wall-clock time as output shows it beside a plant's logs.
#pragma once

#include <chrono>
#include <string>

namespace vfdahost {

// "2026-12-09T17:51:20.123Z": ISO 8601, UTC, milliseconds.
std::string IsoUtcTime(std::chrono::system_clock::time_point when);

} // namespace vfdahost

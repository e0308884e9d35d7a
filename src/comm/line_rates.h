// The rates a drive's line runs at, and what a configuration's baud index means. The editor
// offers indexes 0..2; a file may hold any number, and the module then runs the line at
// 4800, the default. Every tool reads an index through here, so they all agree.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

namespace comm {

// Threads: constants and pure functions; any thread.

inline constexpr std::array<uint32_t, 3> kBaudRates = {1200, 2400, 4800};
inline constexpr int32_t kDefaultBaudIndex = 2;

// True for an index the editor offers (0 = 1200, 1 = 2400, 2 = 4800).
constexpr bool IsOfferedBaudIndex(int32_t index) {
    return index >= 0 && index < static_cast<int32_t>(kBaudRates.size());
}

// The rate the line runs at for a configuration's baud index.
constexpr uint32_t LineBaudRate(int32_t index) {
    return kBaudRates[static_cast<size_t>(IsOfferedBaudIndex(index) ? index : kDefaultBaudIndex)];
}

// The index of a rate the line can run at, or nothing.
constexpr std::optional<int32_t> BaudIndexOf(uint32_t rate) {
    for (size_t i = 0; i < kBaudRates.size(); ++i) {
        if (kBaudRates[i] == rate) {
            return static_cast<int32_t>(i);
        }
    }
    return std::nullopt;
}

} // namespace comm

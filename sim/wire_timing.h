// How long characters take on the line: start bit, 8 data bits, parity bit, stop bit.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace sim {

inline constexpr uint32_t kBitsPerCharacter = 11;

inline std::chrono::microseconds CharacterTime(uint32_t baud) {
    return std::chrono::microseconds(baud == 0 ? 0 : kBitsPerCharacter * 1'000'000u / baud);
}

inline std::chrono::microseconds WireTime(size_t characters, uint32_t baud) {
    return CharacterTime(baud) * static_cast<int64_t>(characters);
}

} // namespace sim

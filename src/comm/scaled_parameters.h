// Which raw words carry one decimal place (raw = value x 10), and the conversions between a
// raw word and the host's value in both directions.
#pragma once

#include <array>
#include <cstdint>

namespace comm {

// Threads: constant tables and pure conversions; any thread.

constexpr int kParameterCount = 81; // P0..P80

// One flag per drive parameter P0..P80: set when its raw word is the value x 10.
extern const std::array<bool, kParameterCount> ScaledParameters;

// True for a scaled P parameter, and for the D words D0..D2 (frequencies and current);
// C words and everything else are whole numbers.
bool IsScaled(uint16_t area, uint32_t number);

// The host's value of a raw word received for (area, number).
double ToHostValue(uint16_t area, uint32_t number, uint16_t raw);

// The raw word for a host value: truncated toward zero and wrapped modulo 65,536 (so -1
// becomes 65,535). A value that is not a finite number becomes 0.
uint16_t RawFromValue(double value);

// The raw word to send for a host value written to (area, number): the value, or for a
// scaled word the value x 10, as RawFromValue converts it.
uint16_t ToRawValue(uint16_t area, uint32_t number, double value);

} // namespace comm

// Faults the simulator can inject into a station's answers, as a bad line or a confused
// drive would produce them. Apart from "refused", a fault spoils only the answer: the
// drive has executed the request all the same.
#pragma once

#include "sim/frame.h"

#include <cstdint>
#include <optional>
#include <string_view>

namespace sim {

enum class FaultKind {
    None,
    Silent,       // no answer at all
    Refused,      // byte 2 is 0x07 and the request is not executed
    BadByte1,     // byte 1 is not 0x03
    WrongStation, // bytes 3-4 name another station
    WrongParam,   // bytes 5-6 name another parameter
    BadDigits,    // a letter among the value digits (byte 9)
    Short,        // the answer stops after 6 bytes
    NoiseBefore,  // noise bytes (never a request letter) come before the answer
    Late,         // the answer comes after the driver's 1000 ms receive limit
    NoiseStream,  // line-wide: noise bytes whenever the line is idle
    Echo,         // the adapter repeats the request before the drive's answer
};

inline constexpr uint32_t kLateAnswerMs = 1500;
inline constexpr uint8_t kBadByte1 = 0x02;
inline constexpr uint8_t kBadDigit = 'X';
inline constexpr size_t kShortAnswerLength = 6;

// The name used on the command line ("bad-byte1"), and back.
std::string_view FaultName(FaultKind kind);
std::optional<FaultKind> ParseFaultKind(std::string_view name);

// Noise never contains a request letter, so a receiver that syncs on the letter skips it.
std::span<const uint8_t> NoiseBytes();

// What goes on the line for one request: the bytes, and how much later than usual.
struct Reply {
    Answer bytes;
    uint32_t extraDelayMs = 0;
};

// Spoils a proper answer the way the fault says. "Refused" is not handled here: the drive
// then never executes the request, so its caller builds that answer.
Reply SpoilAnswer(FaultKind kind, Answer answer);

} // namespace sim

// Why a transaction failed, as the bytes on the line show it: finer than the module's
// result codes, for the tools that watch a line (an adapter's echo, a time-out, a refusal,
// another station's answer, noise).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace comm {

// Threads: pure functions; any thread.

// How one transaction ended.
enum class AnswerCause {
    Answered,
    TimeOut,        // nothing came back before the next request
    Refused,        // the drive answered with its error mark
    OtherStation,   // the answer names another station
    OtherParameter, // the answer names another parameter or value
    Garbled,        // a wrong frame mark, a short answer or a value that is no number
    Echo,           // the request itself came back: the adapter echoes what it sends
};
constexpr size_t kAnswerCauseCount = 7;

// Compares an answer with the request it follows.
AnswerCause ClassifyAnswer(std::span<const uint8_t> sent, std::span<const uint8_t> received);

// The station number a frame carries, or nullopt for a frame too short to say.
std::optional<int> FrameStation(std::span<const uint8_t> frame);

} // namespace comm

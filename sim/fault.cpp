#include "sim/fault.h"

#include <array>

namespace sim {
namespace {

struct FaultNameEntry {
    FaultKind kind;
    std::string_view name;
};

constexpr std::array<FaultNameEntry, 12> kFaultNames = {{
    {FaultKind::None, "none"},
    {FaultKind::Silent, "silent"},
    {FaultKind::Refused, "refused"},
    {FaultKind::BadByte1, "bad-byte1"},
    {FaultKind::WrongStation, "wrong-station"},
    {FaultKind::WrongParam, "wrong-param"},
    {FaultKind::BadDigits, "bad-digits"},
    {FaultKind::Short, "short"},
    {FaultKind::NoiseBefore, "noise-before"},
    {FaultKind::Late, "late"},
    {FaultKind::NoiseStream, "noise-stream"},
    {FaultKind::Echo, "echo"},
}};

constexpr std::array<uint8_t, 8> kNoise = {0xFF, 0x00, 0x55, 0xAA, 0x7E, 0x13, 0x81, 0x30};

// Replaces a two-digit field by the next number, so the echo differs from the request.
void BumpTwoDigits(Answer& answer, size_t offset) {
    int number = 0;
    if (IsDigit(answer[offset]) && IsDigit(answer[offset + 1])) {
        number = (answer[offset] - '0') * 10 + (answer[offset + 1] - '0');
    }
    number = (number + 1) % 100;
    answer[offset] = static_cast<uint8_t>('0' + number / 10);
    answer[offset + 1] = static_cast<uint8_t>('0' + number % 10);
}

} // namespace

std::string_view FaultName(FaultKind kind) {
    for (const FaultNameEntry& entry : kFaultNames) {
        if (entry.kind == kind) {
            return entry.name;
        }
    }
    return "none";
}

std::optional<FaultKind> ParseFaultKind(std::string_view name) {
    for (const FaultNameEntry& entry : kFaultNames) {
        if (entry.name == name) {
            return entry.kind;
        }
    }
    return std::nullopt;
}

std::span<const uint8_t> NoiseBytes() {
    return kNoise;
}

Reply SpoilAnswer(FaultKind kind, Answer answer) {
    Reply reply;
    switch (kind) {
    case FaultKind::Silent:
        return reply;
    case FaultKind::BadByte1:
        answer[1] = kBadByte1;
        break;
    case FaultKind::WrongStation:
        BumpTwoDigits(answer, 3);
        break;
    case FaultKind::WrongParam:
        BumpTwoDigits(answer, 5);
        break;
    case FaultKind::BadDigits:
        answer[9] = kBadDigit;
        break;
    case FaultKind::Short:
        answer.resize(kShortAnswerLength);
        break;
    case FaultKind::NoiseBefore:
        answer.insert(answer.begin(), kNoise.begin(), kNoise.end());
        break;
    case FaultKind::Late:
        reply.extraDelayMs = kLateAnswerMs;
        break;
    case FaultKind::None:
    case FaultKind::Refused:
    case FaultKind::NoiseStream:
    case FaultKind::Echo:
        break;
    }
    reply.bytes = std::move(answer);
    return reply;
}

} // namespace sim

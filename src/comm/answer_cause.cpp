#include "comm/answer_cause.h"

#include "comm/frame_codec.h"

#include <algorithm>
#include <cctype>

namespace comm {
namespace {

bool SameBytes(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t from, size_t count) {
    if (a.size() < from + count || b.size() < from + count) {
        return false;
    }
    return std::equal(a.begin() + from, a.begin() + from + count, b.begin() + from);
}

bool IsEcho(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    const size_t common = std::min(sent.size(), received.size());
    return common > kAcknowledgeByte && SameBytes(sent, received, 0, common);
}

// The value digits of an R or Q answer (Q 3 carries status bytes instead).
bool ValueIsNumber(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    const uint8_t letter = sent[0];
    const bool statusBytes = letter == kLetterQueryGroup && sent.size() > kParameterByte + 1 &&
                             sent[kParameterByte] == '0' && sent[kParameterByte + 1] == '3';
    if ((letter != kLetterReadParameter && letter != kLetterQueryGroup) || statusBytes) {
        return true;
    }
    return std::all_of(received.begin() + kValueByte, received.begin() + kAnswerLength,
                       [](uint8_t byte) { return std::isdigit(byte) != 0; });
}

} // namespace

AnswerCause ClassifyAnswer(std::span<const uint8_t> sent, std::span<const uint8_t> received) {
    if (received.empty()) {
        return AnswerCause::TimeOut;
    }
    if (IsEcho(sent, received)) {
        return AnswerCause::Echo;
    }
    if (received.size() <= kAcknowledgeByte || received[kMarkByte] != kFrameMark) {
        return AnswerCause::Garbled;
    }
    if (received[kAcknowledgeByte] != kAcknowledge) {
        return AnswerCause::Refused;
    }
    if (received.size() < kAnswerLength) {
        return AnswerCause::Garbled;
    }
    if (!SameBytes(sent, received, kStationByte, 2)) {
        return AnswerCause::OtherStation;
    }
    if (sent[0] == kLetterRunCommand) {
        return AnswerCause::Answered; // a run command's answer carries nothing more to check
    }
    const bool longRequest = sent.size() >= kAnswerLength;
    const bool echoesValue = sent[0] == kLetterWriteParameter;
    if (!SameBytes(sent, received, kParameterByte, longRequest && echoesValue ? 6 : 2)) {
        return AnswerCause::OtherParameter;
    }
    return ValueIsNumber(sent, received) ? AnswerCause::Answered : AnswerCause::Garbled;
}

std::optional<int> FrameStation(std::span<const uint8_t> frame) {
    if (frame.size() < kStationByte + 2 || !std::isdigit(frame[kStationByte]) ||
        !std::isdigit(frame[kStationByte + 1])) {
        return std::nullopt;
    }
    return (frame[kStationByte] - '0') * 10 + (frame[kStationByte + 1] - '0');
}

} // namespace comm

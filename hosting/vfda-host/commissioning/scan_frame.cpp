#include "scan_frame.h"

#include "comm/answer_cause.h"
#include "comm/frame_codec.h"

#include <span>

namespace vfdahost {
namespace {

using comm::kAnswerLength;
using comm::kFrameMark;
using comm::kQueryLength;
// A drive answers within tens of milliseconds; this leaves room for a slow adapter.
constexpr uint32_t kTurnaroundAllowanceMs = 150;

bool IsAnswerAt(const std::vector<uint8_t>& received, size_t at, int station) {
    const uint8_t* answer = received.data() + at;
    // A drive that refuses the query still answers under its number.
    const uint8_t mark = answer[comm::kAcknowledgeByte];
    return answer[0] == comm::kLetterQueryGroup && answer[comm::kMarkByte] == kFrameMark &&
           (mark == comm::kAcknowledge || mark == comm::kRefusal) &&
           comm::FrameStation(std::span(answer, kAnswerLength)) == station;
}

} // namespace

// The query of status group 0, the one every drive answers.
std::string ScanQuery(int station) {
    return comm::FormatRequest({comm::kLetterQueryGroup, station, 0, 0});
}

bool HoldsScanAnswer(const std::vector<uint8_t>& received, int station) {
    for (size_t at = 0; at + kAnswerLength <= received.size(); ++at) {
        if (IsAnswerAt(received, at, station)) {
            return true;
        }
    }
    return false;
}

std::string ParameterQuery(int station, int parameter) {
    return comm::FormatRequest({comm::kLetterReadParameter, station, parameter, 0});
}

std::optional<uint16_t> ParameterAnswer(const std::vector<uint8_t>& received, int station,
                                        int parameter) {
    const std::string query = ParameterQuery(station, parameter);
    for (size_t at = 0; at + kAnswerLength <= received.size(); ++at) {
        if (received[at] != comm::kLetterReadParameter) {
            continue;
        }
        const comm::DecodedAnswer answer = comm::CheckAnswer(
            comm::kLetterReadParameter, parameter, std::span(&received[at], kAnswerLength), query);
        if (answer.result == comm::kSuccess && answer.content == comm::AnswerContent::Value) {
            return answer.value;
        }
    }
    return std::nullopt;
}

uint32_t ScanAnswerWaitMs(uint32_t baud) {
    const uint32_t characters = 2 * kQueryLength + kAnswerLength;
    const uint32_t wireMs = (characters * 11 * 1000 + baud - 1) / baud;
    return wireMs + kTurnaroundAllowanceMs;
}

} // namespace vfdahost

// The frame codec on its own: a request as the driver builds it (letter, parameter, value
// and station number taken from the input) and an answer of up to 11 arbitrary bytes,
// checked and decoded. Beyond memory faults, the target stops on a broken rule: an answer
// that passes must carry the marks, the station and the echo the request asks for, and the
// answer a drive would give to a well-formed request must pass and decode to its value.
#include "fuzz_support.h"

#include "comm/frame_codec.h"

#include <array>
#include <cstdlib>
#include <span>
#include <string>

namespace {

constexpr char kLetters[] = {'R', 'Q', 'P', 'C'};
constexpr size_t kShortRequestLength = 7;

void Require(bool rule) {
    if (!rule) {
        std::abort();
    }
}

bool Repeats(std::span<const uint8_t> answer, const std::string& frame, size_t first, size_t last) {
    for (size_t i = first; i <= last; ++i) {
        if (i >= frame.size() || answer[i] != static_cast<uint8_t>(frame[i])) {
            return false;
        }
    }
    return true;
}

// What passes the check says what the request asked for.
void RequirePassedAnswerFits(const comm::RequestFields& request, const std::string& frame,
                             std::span<const uint8_t> answer) {
    Require(answer.size() >= comm::kAnswerLength);
    Require(answer[1] == comm::kFrameMark && answer[2] == comm::kAcknowledge);
    Require(Repeats(answer, frame, 3, 4));
    if (request.letter == comm::kLetterWriteParameter) {
        Require(Repeats(answer, frame, 5, 10));
    } else if (request.letter != comm::kLetterRunCommand) {
        Require(Repeats(answer, frame, 5, 6));
    }
}

// The drive's own answer to a request whose fields fit their digits: the letter, 03 06,
// the station and parameter echoed, then the value (R, Q) or the rest of the request.
void RequireDrivesAnswerDecodes(const comm::RequestFields& request, const std::string& frame) {
    const bool shortFrame =
        request.letter == comm::kLetterReadParameter || request.letter == comm::kLetterQueryGroup;
    if (frame.size() != (shortFrame ? kShortRequestLength : comm::kAnswerLength)) {
        return; // a widened field: no drive answers it
    }
    std::array<uint8_t, comm::kAnswerLength> answer{};
    answer[0] = static_cast<uint8_t>(request.letter);
    answer[1] = comm::kFrameMark;
    answer[2] = comm::kAcknowledge;
    for (size_t i = 3; i < frame.size(); ++i) {
        answer[i] = static_cast<uint8_t>(frame[i]);
    }
    const uint16_t word = request.value % 10000;
    if (shortFrame) {
        for (size_t i = 0, rest = word; i < 4; ++i, rest /= 10) {
            answer[10 - i] = static_cast<uint8_t>('0' + rest % 10);
        }
    }
    const comm::DecodedAnswer decoded =
        comm::CheckAnswer(request.letter, request.parameter, answer, frame);
    Require(decoded.result == comm::kSuccess);
    if (decoded.content == comm::AnswerContent::Value) {
        Require(decoded.value == word);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::InputReader input(data, size);

    comm::RequestFields request;
    request.letter = kLetters[input.Byte() % 4];
    const uint16_t word = input.Word();
    request.value = input.Word();
    request.station = static_cast<int32_t>(input.Word()) - 1000;
    // The parameters each letter can carry, as the driver's own code queues them.
    request.parameter = word;
    if (request.letter == comm::kLetterReadParameter ||
        request.letter == comm::kLetterWriteParameter) {
        request.parameter = word % 81;
    } else if (request.letter == comm::kLetterQueryGroup) {
        request.parameter = word % 4;
    }
    // 0 the whole answer; 1 to 11 an answer that many bytes short.
    const uint8_t shortBy = input.Byte();
    std::array<uint8_t, comm::kAnswerLength> bytes{};
    size_t length = input.Copy(bytes.data(), bytes.size());
    if (shortBy <= comm::kAnswerLength) {
        length = std::min(length, comm::kAnswerLength - shortBy);
    }
    const std::span<const uint8_t> answer(bytes.data(), length);

    const std::string frame = comm::FormatRequest(request);
    Require(!frame.empty() || request.letter == comm::kLetterRunCommand);
    const comm::DecodedAnswer decoded =
        comm::CheckAnswer(request.letter, request.parameter, answer, frame);
    if (decoded.result == comm::kSuccess) {
        RequirePassedAnswerFits(request, frame, answer);
    }
    if (!frame.empty()) {
        RequireDrivesAnswerDecodes(request, frame);
    }
    return 0;
}

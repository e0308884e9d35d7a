// The receive path over a line that delivers the input's bytes: the real receive (sync on
// the letter, the limit) and the frame codec's checks and decoding, for the requests of a
// poll and of every kind of write, formatted by the codec. The line's clock is the input's
// too, so a run is deterministic and takes no time.
#include "fuzz_support.h"

#include "comm/frame_codec.h"
#include "comm/serial_link.h"

#include <algorithm>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

namespace {

// In the stream, 0xFE and the next byte say: 0 a read that found no byte, 1 a failed
// read, 2 a failed write, 3 a burst (the next byte says how many of the bytes after it
// arrive together, 1 to 32), anything else the byte 0xFE itself.
constexpr uint8_t kEscape = 0xFE;
constexpr size_t kLongestBurst = 32;

class StreamLine : public comm::ByteSource {
public:
    explicit StreamLine(fuzzing::InputReader& input) : input_(input) {}

    // True when the frame went out; a scripted write failure takes one frame.
    bool Send() { return failNextWrite_ ? (failNextWrite_ = false) : true; }
    int Receive(uint8_t* answer, uint8_t sync) {
        size_t kept = 0;
        const comm::AnswerShape shape{sync, comm::kAnswerLength, comm::SerialLink::kReceiveLimitMs,
                                      comm::SerialLink::CharacterUs(4800)};
        return comm::ReceiveAnswer(*this, answer, shape, kept);
    }

    long Take(uint8_t* buffer, size_t capacity) override {
        return input_.AtEnd() ? 0 : Read(buffer, capacity, 0);
    }
    long Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) override {
        if (input_.AtEnd()) {
            tick_ += waitMs; // a silent line: each read waits out its bound
            return 0;
        }
        ++tick_;
        const uint8_t byte = input_.Byte();
        if (byte != kEscape) {
            buffer[0] = byte;
            return 1;
        }
        switch (input_.Byte()) {
        case 0:
            tick_ += waitMs;
            return 0;
        case 1:
            return -1;
        case 2:
            failNextWrite_ = true;
            return 0;
        case 3: {
            const size_t burst = input_.Byte() % kLongestBurst + 1u;
            return static_cast<long>(input_.Copy(buffer, std::min(burst, capacity)));
        }
        default:
            buffer[0] = kEscape;
            return 1;
        }
    }
    void SleepUs(uint32_t microseconds) override { tick_ += microseconds / 1000; }
    uint32_t Tick() override { return tick_; }

private:
    fuzzing::InputReader& input_;
    uint32_t tick_ = 0xFFFFF000; // the tick wraps during the run
    bool failNextWrite_ = false;
};

// The requests of one poll of both stations, a range read of station 1, a write and a run
// command, in the order the driver would queue them.
std::vector<comm::RequestFields> Requests() {
    std::vector<comm::RequestFields> requests;
    for (int32_t station = 1; station <= 2; ++station) {
        for (int32_t group = 0; group <= comm::kStatusGroup; ++group) {
            requests.push_back({comm::kLetterQueryGroup, station, group, 0});
        }
    }
    for (int32_t parameter = 0; parameter <= 80; ++parameter) {
        requests.push_back({comm::kLetterReadParameter, 1, parameter, 0});
    }
    requests.push_back({comm::kLetterWriteParameter, 1, 5, 600});
    requests.push_back({comm::kLetterRunCommand, 1, 1, 300});
    return requests;
}

// One transaction; a received answer begins with the letter, whatever the check says.
void Transact(StreamLine& line, const comm::RequestFields& request) {
    const std::string frame = comm::FormatRequest(request);
    if (frame.empty() || !line.Send()) {
        return;
    }
    uint8_t answer[comm::kAnswerLength + 1] = {};
    if (line.Receive(answer, static_cast<uint8_t>(frame[0])) != comm::kSuccess) {
        return;
    }
    if (answer[0] != static_cast<uint8_t>(request.letter)) {
        std::abort();
    }
    comm::CheckAnswer(request.letter, request.parameter,
                      std::span<const uint8_t>(answer, comm::kAnswerLength), frame);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::vector<comm::RequestFields> requests = Requests();
    fuzzing::InputReader input(data, size);
    StreamLine line(input);
    // Each request takes what the line delivers; once it is silent, the rest time out. The
    // status queries come round again while the input lasts.
    constexpr int kMostSteps = 200;
    constexpr size_t kStation2Queries = 4;
    size_t next = 0;
    for (int step = 0; step < kMostSteps && (next < requests.size() || !input.AtEnd()); ++step) {
        const size_t index =
            next < requests.size() ? next++ : kStation2Queries + static_cast<size_t>(step) % 4;
        Transact(line, requests[index]);
    }
    return 0;
}

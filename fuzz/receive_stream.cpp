// The receive path over a line that delivers the input's bytes: the real receive (sync on
// the letter, the limit), the checks and decoding, the distribution to tags and the
// station's supervision, for a queue of every kind of request. The line's clock is the
// input's too, so a run is deterministic and takes no time.
#include "fuzz_support.h"

#include "comm/comm_block.h"
#include "comm/comm_channel.h"
#include "comm/comm_link.h"
#include "comm/serial_link.h"
#include "comm/tag_registration.h"

#include <algorithm>

namespace {

constexpr uint16_t kAnalog = 1;
constexpr uint16_t kDigital = 13;
// In the stream, 0xFE and the next byte say: 0 a read that found no byte, 1 a failed
// read, 2 a failed write, 3 a burst (the next byte says how many of the bytes after it
// arrive together, 1 to 32), anything else the byte 0xFE itself.
constexpr uint8_t kEscape = 0xFE;
constexpr size_t kLongestBurst = 32;

class StreamLine : public comm::CommLink, public comm::ByteSource {
public:
    explicit StreamLine(fuzzing::InputReader& input) : input_(input) {}

    int SendFrame(const uint8_t*, size_t) override {
        return failNextWrite_ ? (failNextWrite_ = false, 8) : 0;
    }
    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) override {
        size_t kept = 0;
        const comm::AnswerShape shape{sync, count, comm::SerialLink::kReceiveLimitMs,
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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzzing::ResetHost();
    fuzzing::InputReader input(data, size);
    auto document = fuzzing::MakeDocument({"PUMP1", "PUMP2"});
    CCommChannel& channel = *document->Channel();
    uint32_t id = 1;
    for (const char* device : {"PUMP1", "PUMP2"}) {
        for (const char* address : {"P3", "P5", "P80", "D0", "D1", "D2", "D3", "D4", "D6"}) {
            comm::RegisterTag(channel, device, address, kAnalog, 0, id++);
        }
        comm::RegisterTag(channel, device, "D3.7", kDigital, 0, id++);
        comm::RegisterTag(channel, device, "D4.15", kDigital, 0, id++);
    }
    channel.BuildPollMasks();
    channel.AttachLink(std::make_unique<StreamLine>(input));

    // A poll of both stations, then reads and writes of every letter.
    for (size_t i = 0; i < channel.BlockCount(); ++i) {
        channel.Block(i)->PollStep();
    }
    CCommBlock& parameters = *channel.Block(0);
    CCommBlock& monitor = *channel.Block(1);
    parameters.RangeRead(0, 81);
    channel.QueueRequest(parameters, 'P', 5, 600);
    channel.QueueRequest(monitor, 'C', 1, 300);

    // Each request takes what the line delivers; once it is silent, the rest time out.
    constexpr int kMostSteps = 200;
    for (int step = 0; step < kMostSteps && (channel.ServiceBatch() || !input.AtEnd()); ++step) {
        if (channel.PendingRequestCount() == 0 && !input.AtEnd()) {
            monitor.PollStep(); // the next pass
        }
        fuzzing::DrainValueChanges(channel);
    }
    fuzzing::DrainValueChanges(channel);
    return 0;
}

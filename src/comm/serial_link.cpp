#include "comm/serial_link.h"

#include "comm/line_rates.h"
#include "comm/result_codes.h"
#include "host_link/message_log.h"
#include "platform/clock.h"
#include "toolkit/line_trace.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <thread>

namespace comm {
namespace {

constexpr int kPortReady = 3;
constexpr int kPortCannotBeOpened = 4;

class PortBytes : public ByteSource {
public:
    explicit PortBytes(platform::SerialPort& port) : port_(port) {}
    long Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) override {
        return port_.Read(buffer, capacity, waitMs);
    }
    long Take(uint8_t* buffer, size_t capacity) override { return port_.Take(buffer, capacity); }
    uint32_t Tick() override { return platform::TickCount(); }
    void SleepUs(uint32_t microseconds) override {
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds));
    }

private:
    platform::SerialPort& port_;
};

// What an answer begun at the receive limit may take beyond its own wire time: a reader
// that wakes late, a line that pauses between characters.
constexpr uint32_t kHardLimitMarginMs = 50;

// Keeps the bytes from the first sync byte on and traces those before it as skipped; true
// once the answer is complete.
bool KeepAnswerBytes(const uint8_t* bytes, size_t got, uint8_t* answer, const AnswerShape& shape,
                     size_t& kept) {
    size_t skipped = 0;
    while (kept == 0 && skipped < got && bytes[skipped] != shape.sync) {
        ++skipped;
    }
    if (skipped > 0) {
        TraceLine(LineDirection::Skipped, bytes, skipped);
    }
    const size_t taken = std::min(got - skipped, shape.count - kept);
    std::copy(bytes + skipped, bytes + skipped + taken, answer + kept);
    kept += taken;
    return kept == shape.count;
}

// Microseconds until the last byte of the answer is due, when the latest byte read has just
// arrived: the characters still missing at the line's pace, but never past the bound.
uint32_t RestOfAnswerUs(const AnswerShape& shape, size_t kept, uint32_t leftMs) {
    const uint64_t restUs = static_cast<uint64_t>(shape.count - kept) * shape.characterUs;
    return static_cast<uint32_t>(std::min<uint64_t>(restUs, leftMs * 1000ull));
}

} // namespace

uint32_t HardLimitMs(const AnswerShape& shape) {
    const uint64_t answerUs = static_cast<uint64_t>(shape.count) * shape.characterUs;
    const uint64_t answerMs = (answerUs + 999) / 1000;
    return static_cast<uint32_t>(
        std::min<uint64_t>(shape.limitMs + answerMs + kHardLimitMarginMs, UINT32_MAX));
}

int ReceiveAnswer(ByteSource& source, uint8_t* answer, const AnswerShape& shape, size_t& kept) {
    const uint32_t start = source.Tick();
    const uint32_t hardLimitMs = HardLimitMs(shape);
    kept = 0;
    if (shape.count == 0) {
        return kSuccess;
    }
    // True after a sleep over the answer's middle: its rest should be there, take it.
    bool restDue = false;
    uint32_t spent = 0;
    for (;;) {
        // No answer under way: the limit; once one has begun: the hard cap. Every read waits
        // at most what is left of its bound, so nothing, not even a drive silent mid-answer,
        // holds the receive past it.
        const uint32_t boundMs = kept > 0 ? hardLimitMs : shape.limitMs;
        // Never more than the answer still needs: what follows it stays for the purge.
        uint8_t bytes[32];
        const size_t wanted = std::min(sizeof(bytes), shape.count - kept);
        const long got =
            restDue ? source.Take(bytes, wanted) : source.Read(bytes, wanted, boundMs - spent);
        if (got < 0) {
            return kReceiveFailed;
        }
        if (KeepAnswerBytes(bytes, static_cast<size_t>(got), answer, shape, kept)) {
            return kSuccess;
        }
        spent = source.Tick() - start;
        const uint32_t limitMs = kept > 0 ? hardLimitMs : shape.limitMs;
        if (spent >= limitMs) {
            return kReceiveTimeout;
        }
        // The byte just read woke the thread as it came: sleep while the rest crosses the
        // line, then take it. After a take that came up short, wait for the rest instead.
        const bool sleepOverRest = kept > 0 && got > 0 && !restDue && shape.characterUs > 0;
        restDue = false;
        if (sleepOverRest) {
            source.SleepUs(RestOfAnswerUs(shape, kept, limitMs - spent));
            spent = source.Tick() - start;
            restDue = true;
        }
    }
}

std::string SerialLink::DeviceName(int32_t portIndex) {
    const std::string com = "COM" + std::to_string(portIndex + 1);
    return portIndex <= 8 ? com : "\\\\.\\" + com;
}

uint32_t SerialLink::CharacterUs(uint32_t baudRate) {
    return baudRate == 0 ? 0 : kBitsPerCharacter * 1'000'000u / baudRate;
}

SerialLink::SerialLink(std::string device, uint32_t baudRate, bool rtsCts)
    : device_(std::move(device)), baudRate_(baudRate), rtsCts_(rtsCts) {}

std::unique_ptr<SerialLink> SerialLink::OpenPort(int32_t portIndex, int32_t baudIndex, bool rtsCts,
                                                 int& result) {
    std::unique_ptr<SerialLink> link(
        new SerialLink(DeviceName(portIndex), LineBaudRate(baudIndex), rtsCts));
    if (!link->OpenAndConfigure()) {
        result = driver::LogMessage(kPortCannotBeOpened, driver::kConfigurationError,
                                    link->device_.c_str());
        return nullptr;
    }
    result = 0;
    return link;
}

bool SerialLink::OpenAndConfigure() {
    if (!port_.Open(device_)) {
        return false;
    }
    port_.Configure(baudRate_, rtsCts_);
    driver::LogMessage(kPortReady, driver::kStateChange);
    return true;
}

bool SerialLink::Reopen() {
    const uint32_t now = platform::TickCount();
    if (reopenTried_ && now - lastReopenTick_ < kReopenIntervalMs) {
        return false;
    }
    reopenTried_ = true;
    lastReopenTick_ = now;
    if (!OpenAndConfigure()) {
        return false;
    }
    reopenTried_ = false; // the next loss may try at once
    return true;
}

int SerialLink::SendFrame(const uint8_t* frame, size_t length) {
    if ((!port_.IsOpen() || port_.IsLost()) && !Reopen()) {
        return kSendFailed;
    }
    // Whatever is left of an earlier answer must not be read as this one's.
    port_.Purge();
    TraceLine(LineDirection::Sent, frame, length);
    return port_.Write(frame, length, kWriteLimitMs) ? kSuccess : kSendFailed;
}

int SerialLink::ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) {
    PortBytes bytes(port_);
    size_t kept = 0;
    const AnswerShape shape{sync, count, kReceiveLimitMs, CharacterUs(baudRate_)};
    const int result = ReceiveAnswer(bytes, answer, shape, kept);
    if (kept > 0) {
        TraceLine(LineDirection::Received, answer, kept);
    }
    return result;
}

} // namespace comm

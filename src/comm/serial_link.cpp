#include "comm/serial_link.h"

#include "comm/result_codes.h"
#include "host_link/message_log.h"
#include "platform/clock.h"
#include "toolkit/line_trace.h"

#include <algorithm>
#include <cstdint>

namespace comm {
namespace {

constexpr int kPortReady = 3;
constexpr int kPortCannotBeOpened = 4;

class PortBytes : public ByteSource {
public:
    explicit PortBytes(platform::SerialPort& port) : port_(port) {}
    long Read(uint8_t* buffer, size_t capacity) override { return port_.Read(buffer, capacity); }
    uint32_t Tick() override { return platform::TickCount(); }
    void Sleep(uint32_t milliseconds) override { platform::SleepMs(milliseconds); }

private:
    platform::SerialPort& port_;
};

// How long before an answer's last byte is due the sleep over its middle ends: more than a
// sleeping thread's usual lateness.
constexpr uint64_t kSleepMarginUs = 3000;

// What an answer begun at the receive limit may take beyond its own wire time: a reader
// that wakes late, a line that pauses between characters.
constexpr uint32_t kHardLimitMarginMs = 50;

// Keeps the bytes from the first sync byte on; true once the answer is complete.
bool KeepAnswerBytes(const uint8_t* bytes, size_t got, uint8_t* answer, const AnswerShape& shape,
                     size_t& kept) {
    for (size_t i = 0; i < got; ++i) {
        if (kept > 0 || bytes[i] == shape.sync) {
            answer[kept++] = bytes[i];
            if (kept == shape.count) {
                return true;
            }
        }
    }
    return false;
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
    for (;;) {
        // Never more than the answer still needs: what follows it stays for the purge.
        uint8_t bytes[32];
        const size_t wanted = std::min(sizeof(bytes), shape.count - kept);
        const long got = source.Read(bytes, wanted);
        if (got < 0) {
            return kReceiveFailed;
        }
        if (KeepAnswerBytes(bytes, static_cast<size_t>(got), answer, shape, kept)) {
            return kSuccess;
        }
        // The limit ends a receive while no answer is under way, or once a read waited in
        // vain; an answer still arriving is waited for until it could have been complete.
        // Both are checked after every read, so a noisy line cannot hold the thread.
        const uint32_t spent = source.Tick() - start;
        const bool answerArriving = kept > 0 && got > 0;
        const uint32_t limitMs = answerArriving ? hardLimitMs : shape.limitMs;
        if (spent >= limitMs) {
            return kReceiveTimeout;
        }
        if (answerArriving) {
            // The byte just read came within the last character time, so the answer's last
            // byte is at least count - kept - 1 characters away. The sleep ends a margin
            // before that, for a wake-up that comes late.
            const uint64_t restUs =
                static_cast<uint64_t>(shape.count - kept - 1) * shape.characterUs;
            if (restUs > kSleepMarginUs) {
                const uint64_t sleepMs = (restUs - kSleepMarginUs) / 1000;
                const auto restMs =
                    static_cast<uint32_t>(std::min<uint64_t>(sleepMs, limitMs - spent));
                if (restMs > 0) {
                    source.Sleep(restMs);
                }
            }
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

uint32_t SerialLink::BaudRate(int32_t baudIndex) {
    static const uint32_t kRates[] = {1200, 2400, 4800};
    return baudIndex >= 0 && baudIndex < 3 ? kRates[baudIndex] : 4800;
}

SerialLink::SerialLink(std::string device, uint32_t baudRate, bool rtsCts)
    : device_(std::move(device)), baudRate_(baudRate), rtsCts_(rtsCts) {}

std::unique_ptr<SerialLink> SerialLink::OpenPort(int32_t portIndex, int32_t baudIndex, bool rtsCts,
                                                 int& result) {
    std::unique_ptr<SerialLink> link(
        new SerialLink(DeviceName(portIndex), BaudRate(baudIndex), rtsCts));
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

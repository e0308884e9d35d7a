#include "comm/serial_link.h"

#include "comm/result_codes.h"
#include "driver/message_log.h"
#include "platform/clock.h"
#include "toolkit/line_trace.h"

namespace comm {
namespace {

constexpr int kPortReady = 3;
constexpr int kPortCannotBeOpened = 4;

class PortBytes : public ByteSource {
public:
    explicit PortBytes(platform::SerialPort& port) : port_(port) {}
    platform::SerialPort::ReadResult ReadByte(uint8_t& byte) override {
        return port_.ReadByte(byte);
    }
    uint32_t Tick() override { return platform::TickCount(); }

private:
    platform::SerialPort& port_;
};

} // namespace

int ReceiveAnswer(ByteSource& source, uint8_t* answer, size_t count, uint8_t sync, uint32_t limitMs,
                  size_t& kept) {
    const uint32_t start = source.Tick();
    kept = 0;
    for (;;) {
        uint8_t byte = 0;
        const auto read = source.ReadByte(byte);
        if (read == platform::SerialPort::ReadResult::Failed) {
            return kReceiveFailed;
        }
        if (read == platform::SerialPort::ReadResult::Byte && (kept > 0 || byte == sync)) {
            answer[kept++] = byte;
            if (kept == count) {
                return kSuccess;
            }
        }
        // The limit is checked after every read, not only after a silent one, so a line
        // that keeps delivering noise cannot hold the poll thread.
        if (source.Tick() - start >= limitMs) {
            return kReceiveTimeout;
        }
    }
}

std::string SerialLink::DeviceName(int32_t portIndex) {
    const std::string com = "COM" + std::to_string(portIndex + 1);
    return portIndex <= 8 ? com : "\\\\.\\" + com;
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
    const int result = ReceiveAnswer(bytes, answer, count, sync, kReceiveLimitMs, kept);
    if (kept > 0) {
        TraceLine(LineDirection::Received, answer, kept);
    }
    return result;
}

} // namespace comm

#include "comm/serial_link.h"

#include "comm/result_codes.h"
#include "driver/message_log.h"
#include "platform/clock.h"
#include "toolkit/line_trace.h"

namespace comm {
namespace {

constexpr int kPortReady = 3;
constexpr int kPortCannotBeOpened = 4;

} // namespace

std::string SerialLink::DeviceName(int32_t portIndex) {
    const std::string com = "COM" + std::to_string(portIndex + 1);
    return portIndex <= 8 ? com : "\\\\.\\" + com;
}

uint32_t SerialLink::BaudRate(int32_t baudIndex) {
    static const uint32_t kRates[] = {1200, 2400, 4800};
    return baudIndex >= 0 && baudIndex < 3 ? kRates[baudIndex] : 4800;
}

std::unique_ptr<SerialLink> SerialLink::OpenPort(int32_t portIndex, int32_t baudIndex, bool rtsCts,
                                                 int& result) {
    auto link = std::make_unique<SerialLink>();
    const std::string device = DeviceName(portIndex);
    if (!link->port_.Open(device)) {
        result =
            driver::LogMessage(kPortCannotBeOpened, driver::kConfigurationError, device.c_str());
        return nullptr;
    }
    link->port_.Configure(BaudRate(baudIndex), rtsCts);
    driver::LogMessage(kPortReady, driver::kStateChange);
    result = 0;
    return link;
}

int SerialLink::SendFrame(const uint8_t* frame, size_t length) {
    // Whatever is left of an earlier answer must not be read as this one's.
    port_.Purge();
    TraceLine(LineDirection::Sent, frame, length);
    return port_.Write(frame, length, kWriteLimitMs) ? kSuccess : kSendFailed;
}

int SerialLink::Received(const uint8_t* answer, size_t kept, int result) {
    if (kept > 0) {
        TraceLine(LineDirection::Received, answer, kept);
    }
    return result;
}

int SerialLink::ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) {
    const uint32_t start = platform::TickCount();
    size_t kept = 0;
    for (;;) {
        uint8_t byte = 0;
        const auto read = port_.ReadByte(byte);
        if (read == platform::SerialPort::ReadResult::Failed) {
            return Received(answer, kept, kReceiveFailed);
        }
        if (read == platform::SerialPort::ReadResult::Byte && (kept > 0 || byte == sync)) {
            answer[kept++] = byte;
            if (kept == count) {
                return Received(answer, kept, kSuccess);
            }
        }
        // The limit is checked after every read, not only after a silent one, so a line
        // that keeps delivering noise cannot hold the poll thread.
        if (platform::TickCount() - start >= kReceiveLimitMs) {
            return Received(answer, kept, kReceiveTimeout);
        }
    }
}

} // namespace comm

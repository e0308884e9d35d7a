#include "scan_line.h"

#include "interrupt.h"
#include "parameter_roles.h"
#include "platform/clock.h"
#include "platform/serial_port.h"
#include "scan_frame.h"

#include <algorithm>

namespace vfdahost {
namespace {

constexpr uint32_t kWriteLimitMs = 1000;
// More than an echo, an answer and some noise; a line that sends more is not a drive.
constexpr size_t kMostBytesKept = 64;

// Sends `query` and keeps what comes back until `answered` takes it or the wire time for an
// answer has passed.
bool Transact(platform::SerialPort& port, const std::string& query, uint32_t baud,
              const std::function<bool(const std::vector<uint8_t>&)>& answered) {
    port.Purge();
    if (!port.Write(reinterpret_cast<const uint8_t*>(query.data()), query.size(), kWriteLimitMs)) {
        return false;
    }
    const uint32_t start = platform::TickCount();
    const uint32_t waitMs = ScanAnswerWaitMs(baud);
    std::vector<uint8_t> received;
    for (;;) {
        const uint32_t spent = platform::TickCount() - start;
        if (spent >= waitMs) {
            return false;
        }
        port.SetReadTimeout(waitMs - spent);
        uint8_t byte = 0;
        const auto result = port.ReadByte(byte);
        if (result == platform::SerialPort::ReadResult::Failed) {
            return false;
        }
        if (result == platform::SerialPort::ReadResult::Byte && received.size() < kMostBytesKept) {
            received.push_back(byte);
            if (answered(received)) {
                return true;
            }
        }
    }
}

bool Asks(platform::SerialPort& port, int station, uint32_t baud) {
    return Transact(port, ScanQuery(station), baud, [station](const std::vector<uint8_t>& got) {
        return HoldsScanAnswer(got, station);
    });
}

std::optional<uint16_t> ReadParameter(platform::SerialPort& port, int station, int parameter,
                                      uint32_t baud) {
    std::optional<uint16_t> value;
    Transact(port, ParameterQuery(station, parameter), baud, [&](const std::vector<uint8_t>& got) {
        value = ParameterAnswer(got, station, parameter);
        return value.has_value();
    });
    return value;
}

bool AlreadyFound(const std::vector<FoundStation>& found, int station) {
    return std::any_of(found.begin(), found.end(),
                       [station](const FoundStation& entry) { return entry.number == station; });
}

} // namespace

bool ScanLine(int portNumber, const std::vector<uint32_t>& bauds, const std::vector<int>& stations,
              const FoundReporter& report, std::vector<FoundStation>& found, std::string& error,
              const ScanProgress& progress) {
    platform::SerialPort port;
    const std::string device = "\\\\.\\COM" + std::to_string(portNumber);
    if (!port.Open(device)) {
        error = "cannot open COM" + std::to_string(portNumber) + " (" + port.OpenFailure() + ")";
        return false;
    }
    const size_t total = bauds.size() * stations.size();
    size_t asked = 0;
    for (const uint32_t baud : bauds) {
        port.Configure(baud, false);
        for (const int station : stations) {
            if (Interrupted()) {
                return true;
            }
            if (!AlreadyFound(found, station) && Asks(port, station, baud)) {
                FoundStation drive{station, baud, {}, {}};
                drive.softwareVersion =
                    ReadParameter(port, station, kSoftwareVersionParameter, baud);
                drive.capacityCode = ReadParameter(port, station, kCapacityCodeParameter, baud);
                found.push_back(drive);
                report(found.back());
            }
            if (progress) {
                progress(++asked, total);
            }
        }
    }
    return true;
}

} // namespace vfdahost

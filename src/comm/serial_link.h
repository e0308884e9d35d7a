// The link to the drives over a COM port: one request frame out, one answer in, each with
// its bound. Used by the poll thread only.
#pragma once

#include "comm/comm_link.h"
#include "platform/serial_port.h"

#include <cstdint>
#include <memory>
#include <string>

namespace comm {

class SerialLink : public CommLink {
public:
    static constexpr uint32_t kWriteLimitMs = 1000;
    static constexpr uint32_t kReceiveLimitMs = 1000;

    // "COM1" .. "COM9" for port indexes 0..8, "\\.\COM10" and up from index 9.
    static std::string DeviceName(int32_t portIndex);
    // The baud rate of a baud index; an index outside 0..2 runs the line at 4800.
    static uint32_t BaudRate(int32_t baudIndex);

    // Opens and configures the port and logs message 3. When the port cannot be opened,
    // logs message 4 with the device name, returns null and puts the logging result in
    // `result`; otherwise `result` is 0.
    static std::unique_ptr<SerialLink> OpenPort(int32_t portIndex, int32_t baudIndex, bool rtsCts,
                                                int& result);

    int SendFrame(const uint8_t* frame, size_t length) override;
    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) override;

private:
    // Hands what was kept of an answer to the line trace; returns the result.
    static int Received(const uint8_t* answer, size_t kept, int result);

    platform::SerialPort port_;
};

} // namespace comm

// A COM port as the driver uses it: opened exclusively by its Windows device name
// ("COM5", "\\.\COM10"), run at 8 data bits, odd parity, one stop bit, written and read with
// bounded waits. Only the poll thread uses an open port.
#pragma once

#include "platform/export.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class TOOLKIT_API SerialPort {
public:
    enum class ReadResult { Byte, NoByte, Failed };

    SerialPort();
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens the device exclusively; false when it is missing, in use or not accessible.
    bool Open(const std::string& deviceName);
    // Why the last Open failed, for people: the device it tried and the system's reason.
    const std::string& OpenFailure() const { return openFailure_; }
    bool IsOpen() const;
    // True once a write or read found the device gone (an unplugged adapter, a closed
    // pseudo-terminal); nothing more will pass until it is opened again.
    bool IsLost() const;
    // 8-O-1 at the baud rate; with rtsCts, CTS/DSR output flow control and handshake
    // RTS/DTR, otherwise RTS and DTR raised and no flow control. One-byte reads wait at most
    // 1000 ms for a byte. Failures here are not reported: an opened port counts as ready.
    void Configure(uint32_t baudRate, bool rtsCts);
    // How long a one-byte read waits for its byte from now on (1 .. 1000 ms); a port starts
    // at 1000 ms. A caller that knows when an answer must have come (a line scan) waits less.
    void SetReadTimeout(uint32_t timeoutMs);
    // Discards what is waiting in the input and the output.
    void Purge();
    // Writes all bytes; false when the write fails or has not completed within timeoutMs.
    // A write that gives up is cancelled before this returns.
    bool Write(const uint8_t* bytes, size_t count, uint32_t timeoutMs);
    // Reads one byte, waiting at most the port's read time-out for it.
    ReadResult ReadByte(uint8_t& byte);
    // Reads what has arrived, up to `capacity` bytes, waiting at most the read time-out for
    // the first one: the count read, 0 when none came, -1 when the read failed.
    long Read(uint8_t* buffer, size_t capacity);
    // The same, waiting at most `waitMs` (never more than the read time-out) for the first
    // byte: a caller with a bound of its own gives up on a silent line at that bound.
    long Read(uint8_t* buffer, size_t capacity, uint32_t waitMs);
    // Takes what has already arrived, up to `capacity` bytes, without waiting: for a caller
    // that slept until its bytes were due. The count, 0 when none is there, -1 on failure.
    long Take(uint8_t* buffer, size_t capacity);
    void Close();

private:
    struct State;
    std::unique_ptr<State> state_;
    std::string openFailure_;
};

// Where POSIX finds COM ports: the device "comN" (a symlink, as Wine keeps them) in this
// folder when it exists there, else /dev/ttyS{N-1}. The host sets it; empty means none.
TOOLKIT_API void SetSerialDeviceFolder(const std::string& folder);
TOOLKIT_API std::string SerialDeviceFolder();
// The number N of a "COMN" or "\\.\COMN" device name, or 0 for any other name.
TOOLKIT_API int ComPortNumber(const std::string& deviceName);

} // namespace platform

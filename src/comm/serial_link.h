// The link to the drives over a COM port: one request frame out, one answer in, each with
// its bound. Used by the poll thread only. A port whose device went away (an unplugged
// adapter) is opened again, at most once a second, as soon as the device is back.
#pragma once

#include "comm/comm_link.h"
#include "platform/serial_port.h"

#include <cstdint>
#include <memory>
#include <string>

namespace comm {

// Where a receive takes its bytes from: the serial port, or a script in tests.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Waits at most `waitMs` (and at most the port's read time-out) for a byte when none has
    // arrived, then takes what has, up to `capacity` bytes: the count, 0 when none came, -1
    // when the read failed.
    virtual long Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) = 0;
    // Takes what has already arrived, up to `capacity` bytes, without waiting: the count,
    // 0 when nothing is there, -1 when the read failed.
    virtual long Take(uint8_t* buffer, size_t capacity) = 0;
    // The millisecond tick the receive limit is measured with.
    virtual uint32_t Tick() = 0;
    // Lets the line bring more bytes while the thread sleeps.
    virtual void SleepUs(uint32_t microseconds) = 0;
};

// How a receive meets its answer: the byte it starts with, its length, its bound, and the
// time a character takes on the line (0: unknown, read each byte as it comes).
struct AnswerShape {
    uint8_t sync = 0;
    size_t count = 0;
    uint32_t limitMs = 0;
    uint32_t characterUs = 0;
};

// Fills answer[0..count-1] with the bytes from the first one equal to sync on, skipping
// (and tracing as skipped) what comes before it. 0 when complete, kReceiveFailed when a read
// fails, kReceiveTimeout once limitMs have passed since the start with no answer begun. An
// answer begun is waited for up to HardLimitMs after the start, when an answer begun at the
// limit would have been complete at the line's pace; a drive that falls silent mid-answer is
// given up there too (checked after every read, so noise cannot hold the receive). `kept`
// tells how many bytes were stored.
// Once an answer has begun, the thread sleeps until its last byte is due and then takes the
// rest in one read: two wake-ups an answer, and the answer is taken as soon as it is complete.
int ReceiveAnswer(ByteSource& source, uint8_t* answer, const AnswerShape& shape, size_t& kept);

// The latest a receive of that shape may end: its limit, the wire time of a whole answer
// and a small margin.
uint32_t HardLimitMs(const AnswerShape& shape);

class SerialLink : public CommLink {
public:
    static constexpr uint32_t kWriteLimitMs = 1000;
    static constexpr uint32_t kReceiveLimitMs = 1000;
    // A lost port is tried again no more often than this.
    static constexpr uint32_t kReopenIntervalMs = 1000;

    // "COM1" .. "COM9" for port indexes 0..8, "\\.\COM10" and up from index 9.
    static std::string DeviceName(int32_t portIndex);
    // Microseconds a character takes at the baud rate: start bit, 8 data bits, odd parity,
    // stop bit.
    static constexpr uint32_t kBitsPerCharacter = 11;
    static uint32_t CharacterUs(uint32_t baudRate);

    // Opens and configures the port and logs message 3. When the port cannot be opened,
    // logs message 4 with the device name, returns null and puts the logging result in
    // `result`; otherwise `result` is 0.
    static std::unique_ptr<SerialLink> OpenPort(int32_t portIndex, int32_t baudIndex, bool rtsCts,
                                                int& result);

    // Fails at once (kSendFailed) while the port is lost and cannot be opened again.
    int SendFrame(const uint8_t* frame, size_t length) override;
    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) override;

private:
    SerialLink(std::string device, uint32_t baudRate, bool rtsCts);
    bool OpenAndConfigure();
    // Opens the port again after its device went away; true when it is usable again.
    bool Reopen();

    platform::SerialPort port_;
    std::string device_;
    uint32_t baudRate_;
    bool rtsCts_;
    bool reopenTried_ = false;
    uint32_t lastReopenTick_ = 0;
};

} // namespace comm

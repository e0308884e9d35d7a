// A raw byte line to serial drives: the master side of a pseudo-terminal, or an existing
// terminal device opened raw at 8 data bits, odd parity, 1 stop bit. Every wait is bounded.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

class TerminalLine {
public:
    // Creates a pseudo-terminal. The line is its master side; Path() names the slave device
    // that a client opens. The slave is also held open here (raw), so the line survives
    // clients that come and go.
    static std::unique_ptr<TerminalLine> CreatePseudoTerminal(std::string& error);

    // Opens an existing terminal device raw, 8-O-1, at 1200, 2400 or 4800 baud.
    static std::unique_ptr<TerminalLine> OpenDevice(const std::string& path, uint32_t baud,
                                                    std::string& error);

    ~TerminalLine();
    TerminalLine(const TerminalLine&) = delete;
    TerminalLine& operator=(const TerminalLine&) = delete;

    const std::string& Path() const;

    // Waits at most timeoutMs for input, then takes what has arrived, up to capacity bytes.
    // Returns the number of bytes read, 0 when nothing arrived, -1 when the line failed.
    long Read(uint8_t* buffer, size_t capacity, uint32_t timeoutMs);

    // Writes the bytes, waiting at most timeoutMs in all for the line to take them.
    // Returns how many bytes were written.
    size_t Write(const uint8_t* data, size_t count, uint32_t timeoutMs);

    // Discards input not yet read and output not yet sent.
    void Purge();

    // The baud rate the line is set to now (1200, 2400 or 4800), or 0 for any other or
    // unknown rate. On a pseudo-terminal this is what the client last set on the slave
    // side, so a simulated drive can tell a client at the wrong speed.
    uint32_t LineBaud() const;

private:
    struct State;
    explicit TerminalLine(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

// True for the baud rates a DELTA VFD-A line runs at: 1200, 2400 and 4800.
bool IsLineBaud(uint32_t baud);

} // namespace platform

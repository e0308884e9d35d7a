// Serves the simulated drives on a terminal line from a thread of its own: reads request
// bytes with bounded waits, answers after the time the line and the drive would take, and
// keeps the line noisy while the noise stream is on.
#pragma once

#include "platform/pseudo_terminal.h"
#include "sim/frame_parser.h"
#include "sim/simulator.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <thread>

namespace sim {

// Moments on the line that measurements need, each with the time it happened.
enum class LineMoment {
    RequestReceived, // a complete request; the time its bytes were read
    AnswerFirstByte, // the first byte of an answer was handed to the line
    AnswerLastByte,  // the last byte of an answer was handed to the line
};
using LineObserver = std::function<void(LineMoment moment, std::span<const uint8_t> bytes,
                                        std::chrono::steady_clock::time_point at)>;

struct LineOptions {
    uint32_t baud = 4800;
    // Pace received and sent characters at the baud rate; off for fast tests.
    bool wireTiming = true;
    // The drive's pause between the end of a request and the start of its answer.
    uint32_t turnaroundMs = 10;
    // A partial frame is dropped after this long without a byte.
    uint32_t frameGapMs = 50;
    // Answer only while the line runs at `baud`: a drive cannot read a request sent at
    // another speed. On a pseudo-terminal the speed is the one the client set.
    bool matchBaud = false;
    // Drives set to a speed other than `baud` (station number to speed): with matchBaud,
    // each answers only at its own, as drives left at different rates share one line.
    std::map<int, uint32_t> stationBauds;
    // Receives one line of text per frame received or sent; empty: no trace.
    std::function<void(const std::string&)> trace;
    // A monitor's port on the same bus: every byte the line carries, both ways and noise
    // included, is copied to it as it crosses, as an RS-485 monitor adapter hears it. Never
    // waited on: bytes a tap cannot take at once are dropped (and counted). Null: no tap.
    platform::TerminalLine* tap = nullptr;
    // Told of every request and answer as it crosses the line; empty: nobody is told.
    // Called on the server's thread, so it must be quick.
    LineObserver observer;
};

struct LineCounters {
    uint64_t bytesReceived = 0;
    uint64_t bytesSent = 0;       // answer bytes, noise before an answer included
    uint64_t noiseBytesSent = 0;  // noise stream only
    uint64_t requests = 0;        // complete request frames
    uint64_t skippedBytes = 0;    // bytes that started or continued no request
    uint64_t droppedFrames = 0;   // partial frames dropped after a gap
    uint64_t wrongBaudFrames = 0; // requests sent at another baud rate, left unanswered
    uint64_t tapBytes = 0;        // copied to the tap
    uint64_t tapBytesDropped = 0; // the tap could not take them at once
};

class LineServer {
public:
    LineServer(Simulator& simulator, platform::TerminalLine& line, LineOptions options,
               TickSource clock = {});
    ~LineServer();
    LineServer(const LineServer&) = delete;
    LineServer& operator=(const LineServer&) = delete;

    void Start();
    // Returns once the thread has ended; every wait in it is short, so this is prompt.
    void Stop();

    LineCounters Counters() const;

private:
    using SteadyTime = std::chrono::steady_clock::time_point;

    void Run();
    void Serve(std::span<const uint8_t> bytes, SteadyTime receivedAt);
    void Answer(const Request& request, const Reply& reply, SteadyTime receivedAt);
    uint32_t StationBaud(int station) const;
    bool WaitUntil(SteadyTime deadline);
    void Transmit(const std::vector<uint8_t>& bytes);
    void SendNoise();
    void Observe(LineMoment moment, std::span<const uint8_t> bytes, SteadyTime at);
    // Copies bytes that crossed the line to the tap, if there is one.
    void Tap(const uint8_t* bytes, size_t count);
    void Trace(const char* direction, std::span<const uint8_t> bytes);
    void TraceText(const std::string& text);

    Simulator& simulator_;
    platform::TerminalLine& line_;
    LineOptions options_;
    TickSource clock_;
    FrameParser parser_;
    SteadyTime startedAt_;
    size_t noiseIndex_ = 0;

    std::atomic<bool> stopping_{false};
    std::thread thread_;

    std::atomic<uint64_t> bytesReceived_{0};
    std::atomic<uint64_t> bytesSent_{0};
    std::atomic<uint64_t> noiseBytesSent_{0};
    std::atomic<uint64_t> requests_{0};
    std::atomic<uint64_t> skippedBytes_{0};
    std::atomic<uint64_t> droppedFrames_{0};
    std::atomic<uint64_t> wrongBaudFrames_{0};
    std::atomic<uint64_t> tapBytes_{0};
    std::atomic<uint64_t> tapBytesDropped_{0};
};

} // namespace sim

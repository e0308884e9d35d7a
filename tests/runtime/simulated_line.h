// A line of simulated drives on a pseudo-terminal, reachable by the module as a COM port.
#pragma once

#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <chrono>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

struct LineSettings {
    // The drives answer at once unless wireTiming is set: then bytes cross the line at the
    // baud rate and each answer starts turnaroundMs after its request.
    bool wireTiming = false;
    uint32_t baud = 4800;
    uint32_t turnaroundMs = 10;
};

class SimulatedLine {
public:
    SimulatedLine(const std::vector<int>& stations, const LineSettings& settings = {});
    ~SimulatedLine();

    // Maps COM`number` to this line for every port the module opens from now on.
    void MapAs(int number);
    // Maps COM`number` to a device that does not exist (an unplugged adapter).
    void MapNowhere(int number);

    sim::Simulator& Drives() { return simulator_; }
    uint64_t FramesFor(int station) const;
    uint64_t NoiseBytesSent() const { return server_->Counters().noiseBytesSent; }
    sim::LineCounters Counters() const { return server_->Counters(); }
    // Every request the drives received, byte for byte, in order.
    std::vector<std::string> Requests() const;
    // For every answer, how long after its request was received its first byte went out.
    std::vector<std::chrono::milliseconds> AnswerDelays() const;

private:
    TempFolder devices_;
    std::unique_ptr<platform::TerminalLine> pty_;
    sim::Simulator simulator_;
    mutable std::mutex requestsLock_;
    std::vector<std::string> requests_;                   // guarded by requestsLock_
    std::chrono::steady_clock::time_point lastRequestAt_; // guarded by requestsLock_
    std::vector<std::chrono::milliseconds> answerDelays_; // guarded by requestsLock_
    std::unique_ptr<sim::LineServer> server_;
};

} // namespace testing_support

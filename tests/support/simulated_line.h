// A line of simulated drives on a pseudo-terminal: reachable by the module in this process
// under a COM name, or by a child process through the terminal's path. The line can be
// pulled out and plugged back in (the drives and their counters stay), or fall silent.
#pragma once

#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <chrono>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace testing_support {

struct LineSettings {
    // The drives answer turnaroundMs after each request unless wireTiming is set: then bytes
    // also cross the line at the baud rate.
    bool wireTiming = false;
    uint32_t baud = 4800;
    uint32_t turnaroundMs = 0;
    // Keep every request and answer delay; off for long runs, where they would pile up.
    bool record = true;
    // Drives answer only while the line runs at their own speed: `baud`, or the one given
    // here for their station number (drives left at different rates on one line).
    bool matchBaud = false;
    std::map<int, uint32_t> stationBauds = {};
};

class SimulatedLine {
public:
    SimulatedLine(const std::vector<int>& stations, const LineSettings& settings = {});
    ~SimulatedLine();
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;

    // Maps COM`number` to this line for every port the module opens from now on, and
    // after every Plug.
    void MapAs(int number);
    // Maps COM`number` to a device that does not exist (an unplugged adapter).
    void MapNowhere(int number);

    // Closes the pseudo-terminal under the driver, as an unplugged adapter; its COM names
    // then lead nowhere.
    void Unplug();
    // A new pseudo-terminal (unless the old one is still open), served by the same drives,
    // under the same COM names.
    void Plug();
    // The drives stop answering; the terminal stays open.
    void FallSilent();

    // The terminal's path, for a program that is told where the line is.
    std::string Path() const { return pty_->Path(); }
    sim::Simulator& Drives() { return simulator_; }
    uint64_t FramesFor(int station) const;
    sim::StationCounters Counters(int station) const;
    // The counters of the line as served now (zero while unplugged).
    sim::LineCounters Counters() const;
    // Noise sent on this line and on every terminal before it.
    uint64_t NoiseBytesSent() const;
    // Every request the drives received, byte for byte, in order.
    std::vector<std::string> Requests() const;
    // For every answer, how long after its request was received its first byte went out.
    std::vector<std::chrono::milliseconds> AnswerDelays() const;

private:
    void Observe(sim::LineMoment moment, std::span<const uint8_t> bytes,
                 std::chrono::steady_clock::time_point at);
    void Link(int number, const std::filesystem::path& target);
    void StopServing();

    TempFolder devices_;
    LineSettings settings_;
    std::vector<int> mapped_; // the COM numbers that lead to the line when plugged
    sim::Simulator simulator_;
    std::unique_ptr<platform::TerminalLine> pty_;
    mutable std::mutex requestsLock_;
    std::vector<std::string> requests_;                   // guarded by requestsLock_
    std::chrono::steady_clock::time_point lastRequestAt_; // guarded by requestsLock_
    std::vector<std::chrono::milliseconds> answerDelays_; // guarded by requestsLock_
    uint64_t noiseBytesBefore_ = 0;                       // sent on earlier terminals
    std::unique_ptr<sim::LineServer> server_;             // serves pty_ with simulator_
};

} // namespace testing_support

// A line of simulated drives on a pseudo-terminal, reachable by the module as a COM port.
#pragma once

#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <memory>
#include <string>
#include <vector>

namespace testing_support {

class SimulatedLine {
public:
    // The drives answer at once (no wire timing) unless wireTiming is set.
    SimulatedLine(const std::vector<int>& stations, bool wireTiming = false);
    ~SimulatedLine();

    // Maps COM`number` to this line for every port the module opens from now on.
    void MapAs(int number);
    // Maps COM`number` to a device that does not exist (an unplugged adapter).
    void MapNowhere(int number);

    sim::Simulator& Drives() { return simulator_; }
    uint64_t FramesFor(int station) const;
    uint64_t NoiseBytesSent() const { return server_->Counters().noiseBytesSent; }

private:
    TempFolder devices_;
    std::unique_ptr<platform::TerminalLine> pty_;
    sim::Simulator simulator_;
    std::unique_ptr<sim::LineServer> server_;
};

} // namespace testing_support

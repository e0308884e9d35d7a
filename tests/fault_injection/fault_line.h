// Simulated drives on a pseudo-terminal that can be pulled out and plugged back in: the
// drives (and their counters) stay, the line under the driver goes away and comes back.
#pragma once

#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <memory>
#include <vector>

namespace fault_testing {

class FaultLine {
public:
    // The drives answer at once (no wire timing). COM`comNumber` leads to the line.
    FaultLine(const std::vector<int>& stations, int comNumber);
    ~FaultLine();
    FaultLine(const FaultLine&) = delete;
    FaultLine& operator=(const FaultLine&) = delete;

    // Closes the pseudo-terminal under the driver, as an unplugged adapter; its COM name
    // then leads nowhere.
    void Unplug();
    // A new pseudo-terminal, served by the same drives, under the same COM name.
    void Plug();

    sim::Simulator& Drives() { return simulator_; }
    sim::StationCounters Counters(int station) const;
    uint64_t NoiseBytesSent() const;

private:
    void Link(const std::filesystem::path& target);

    testing_support::TempFolder devices_;
    int comNumber_;
    sim::Simulator simulator_;
    std::unique_ptr<platform::TerminalLine> pty_;
    std::unique_ptr<sim::LineServer> server_;
    uint64_t noiseBytesBefore_ = 0; // sent on earlier pseudo-terminals
};

} // namespace fault_testing

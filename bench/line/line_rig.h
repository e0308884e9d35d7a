// What both line benchmarks set up: simulated drives with wire timing on a pseudo-terminal
// with a record of the line's moments, a line's configuration and tags in the module, and
// the reading of a baseline poller's output.
#pragma once

#include "line_record.h"
#include "process_probe.h"

#include "driver_module.h"
#include "host_libraries.h"
#include "platform/dynamic_library.h"
#include "platform/pseudo_terminal.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "stand_in_control.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

// Station numbers 0 to drives - 1: a line has numbers 0 to 31.
std::vector<int> Stations(int drives);

// The drives of one line, served by a line server thread that records every request and
// answer end (the record is filled by that thread only).
class DriveLine {
public:
    DriveLine(int drives, uint32_t baud, size_t recordCapacity);
    bool Start(uint32_t turnaroundMs);
    void Stop() { server_->Stop(); }
    const std::string& Path() const { return pty_->Path(); }
    const Record<LineEvent>& Events() const { return events_; }
    size_t Requests() const { return requests_.load(); }

private:
    void Observe(sim::LineMoment moment, std::span<const uint8_t> bytes,
                 std::chrono::steady_clock::time_point at);

    uint32_t baud_;
    sim::Simulator simulator_;
    std::unique_ptr<platform::TerminalLine> pty_;
    std::unique_ptr<sim::LineServer> server_;
    Record<LineEvent> events_;
    std::atomic<size_t> requests_{0};
};

// The schedule of a benchmark line: every drive has two blocks, the status tags' D block and
// the written P10's P block.
Schedule LineSchedule(uint32_t baud, uint32_t turnaroundMs, int drives);

// Attaches the host's libraries, loads the tag database stand-in (kept in `dbm`, for the
// caller to free) and the module; returns the stand-in's sink installer, or null when the
// module or the stand-in is missing.
SetTagValueSinkFn LoadModuleAndTagDatabase(hostkit::HostLibraries& host,
                                           hostkit::DriverModule& module,
                                           platform::LibraryHandle& dbm);

// Saves a line's configuration: COM(portIndex + 1) at the baud rate, stations S0, S1, ...
bool SaveLineConfig(const std::string& path, int32_t portIndex, uint32_t baud, int drives);

// Binds in every station the status words of all four groups (D0-D6), a bit of the status
// nibble (D4.0) and P10, with tag ids from firstTagId on; returns P10's handles.
std::vector<uint32_t> RegisterLineTags(const hostkit::DriverModule& module, int32_t instance,
                                       int drives, uint32_t firstTagId);

// What a baseline poller reports: "V t_ns station address value" for each value it shows,
// "W t_ns station parameter" when a host write is handed to it, "C t_ns cpu_ns rss_kb" at the
// end of its warm-up and at its end, with "wait_ns runs" (its schedstat) when it knows them.
struct BaselineMarks {
    int cpuLines = 0;
    int64_t steadyNs = 0;
    int64_t endNs = 0;
    ThreadSched atSteady; // the poller's one thread: its CPU, and its schedstat when known
    ThreadSched atEnd;
    uint64_t rssKb = 0;
};

// Takes one line of a poller's output into the records and marks.
void TakeBaselineLine(const char* text, Record<Delivery>& deliveries, Record<HostWrite>& writes,
                      BaselineMarks& marks);

} // namespace bench

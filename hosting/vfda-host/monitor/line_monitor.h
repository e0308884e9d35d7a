// The monitor's work on what it hears: bytes cut into frames, frames paired into
// transactions, each reported as it ends.
#pragma once

#include "exchange.h"
#include "line_splitter.h"
#include "monitor_report.h"

#include <span>

namespace vfdahost {

// Threads: the monitor's one thread.
class LineMonitor {
public:
    explicit LineMonitor(MonitorReport& report) : report_(report) {}

    // Bytes read together at `now`.
    void Hear(std::span<const uint8_t> bytes, MonitorClock::time_point now);
    // What the passing of time ends: a frame left unfinished, a request left unanswered.
    void Settle(MonitorClock::time_point now);
    // The monitor stops: a request still waiting counts as unanswered, and each station's
    // figures are reported.
    void Finish();

private:
    void Report(std::vector<LinePiece>& pieces);
    void Report(std::vector<Exchange>& exchanges);

    MonitorReport& report_;
    LineSplitter splitter_;
    ExchangeTracker tracker_;
};

} // namespace vfdahost

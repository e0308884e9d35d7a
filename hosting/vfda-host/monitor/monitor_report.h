// What the monitor prints: the line it listens to, every transaction heard (or only those
// that failed or changed a value), the frames when traced (as run --trace shows them), each
// station's figures at the end, and the value changes appended to a CSV log.
#pragma once

#include "csv_value_log.h"
#include "event_printer.h"
#include "exchange.h"
#include "printed_run_events.h"

#include <map>
#include <optional>
#include <string>
#include <utility>

namespace vfdahost {

struct MonitorSettings {
    std::string port;                  // "COM3"
    std::optional<std::string> device; // what --port maps it to
    uint32_t baud = 0;
};

struct MonitorShows {
    bool trace = false;       // every frame heard
    bool changesOnly = false; // transactions that failed or changed a value, not every one
};

// Threads: the monitor's one thread.
class MonitorReport {
public:
    MonitorReport(EventPrinter& printer, MonitorShows shows, CsvValueLog* csv);

    void Listening(const MonitorSettings& settings);
    void Piece(const LinePiece& piece);
    void Heard(const Exchange& exchange);
    // Each station's figures, in number order, and the bytes heard outside transactions.
    void Stations(const ExchangeTracker& tracker);
    void Error(const std::string& text) { frames_.Error(text); }
    void End(const std::string& reason) { frames_.End(reason); }

private:
    // Notes the words' values; true when one of them is new or differs from the last heard.
    bool Changed(const Exchange& exchange);

    EventPrinter& printer_;
    PrintedRunEvents frames_;
    const MonitorShows shows_;
    CsvValueLog* const csv_;
    std::map<std::pair<int, std::string>, double> lastValues_;
};

} // namespace vfdahost

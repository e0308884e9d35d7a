#include "line_monitor.h"

namespace vfdahost {

void LineMonitor::Report(std::vector<LinePiece>& pieces) {
    std::vector<Exchange> exchanges;
    for (const LinePiece& piece : pieces) {
        report_.Piece(piece);
        tracker_.Take(piece, exchanges);
        Report(exchanges);
    }
    pieces.clear();
}

void LineMonitor::Report(std::vector<Exchange>& exchanges) {
    for (const Exchange& exchange : exchanges) {
        report_.Heard(exchange);
    }
    exchanges.clear();
}

void LineMonitor::Hear(std::span<const uint8_t> bytes, MonitorClock::time_point now) {
    std::vector<LinePiece> pieces;
    splitter_.Feed(bytes, now, pieces);
    Report(pieces);
}

void LineMonitor::Settle(MonitorClock::time_point now) {
    std::vector<LinePiece> pieces;
    splitter_.Settle(now, pieces);
    Report(pieces);
    std::vector<Exchange> exchanges;
    tracker_.Settle(now, exchanges);
    Report(exchanges);
}

void LineMonitor::Finish() {
    std::vector<LinePiece> pieces;
    splitter_.Settle(MonitorClock::time_point::max(), pieces);
    Report(pieces);
    std::vector<Exchange> exchanges;
    tracker_.Settle(std::nullopt, exchanges);
    Report(exchanges);
    report_.Stations(tracker_);
}

} // namespace vfdahost

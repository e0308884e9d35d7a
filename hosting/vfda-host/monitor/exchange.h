// One transaction heard on a line: a request, the answer that followed it (or none), why it
// failed when it did, and the words it carried, scaled as the driver delivers them.
#pragma once

#include "line_splitter.h"
#include "station_diagnosis.h"

#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

// A word a transaction read or wrote: its address as a tag names it ("P10", "D3") and the
// value the driver gives the host for it.
struct HeardWord {
    std::string address;
    double value = 0;
};

struct Exchange {
    std::vector<uint8_t> request;
    std::vector<uint8_t> answer; // empty after a time-out
    AnswerCause cause = AnswerCause::TimeOut;
    std::optional<int> station;       // the request's
    std::optional<int> answeredAs;    // the station an answer from another station names
    std::optional<double> responseMs; // from the request's end to the answer's
    size_t noiseBytes = 0;            // skipped between them
    std::vector<HeardWord> words;     // what an answered transaction read or wrote
    std::optional<int> errorCode;     // what a refusal's value field says

    char Command() const { return request.empty() ? '?' : static_cast<char>(request[0]); }
    // True for a request that changes the drive (a parameter or a run command).
    bool IsWrite() const;
    // What the request asks about: "P10", "D1", "D3-D6", "D3,D0"; "?" when it cannot say.
    std::string Address() const;
};

// The words an answered exchange carries; none when the answer does not check out as the
// driver checks it.
std::vector<HeardWord> HeardWords(const std::vector<uint8_t>& request,
                                  const std::vector<uint8_t>& answer);

// Pairs requests with their answers as the pieces come, and keeps each station's figures.
// Threads: the monitor's one thread.
class ExchangeTracker {
public:
    // A request unanswered this long after its end has timed out: the driver's wait for the
    // first byte, and the answer's own time on the wire.
    static constexpr std::chrono::milliseconds kAnswerLimit =
        StationDiagnoses::kReceiveLimit + LineSplitter::kFrameGap;

    // Takes a piece; the exchange it ends, if any, is added to `done`.
    void Take(const LinePiece& piece, std::vector<Exchange>& done);
    // Ends the request waiting at `now` as timed out once kAnswerLimit has passed, or at
    // once without a time (the monitor stops).
    void Settle(std::optional<MonitorClock::time_point> now, std::vector<Exchange>& done);

    const StationDiagnoses& Diagnoses() const { return diagnoses_; }
    // Bytes heard outside any transaction: noise, and answers nobody asked for.
    int64_t StrayBytes() const { return strayBytes_; }

private:
    void Finish(const LinePiece* answer, std::vector<Exchange>& done);

    std::optional<LinePiece> waiting_;
    size_t noiseBytes_ = 0;
    int64_t strayBytes_ = 0;
    StationDiagnoses diagnoses_;
};

} // namespace vfdahost

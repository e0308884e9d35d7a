// Reading a run's parameter tags without a write: the module never polls the P area, so the
// host sets off its range read (C1 first parameter, C2 count, then C0), a few parameters at a
// time, so the other stations keep being served between the chunks.
#pragma once

#include "range_read_end.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

// Parameters one range read asks for at most. The module sends a read's requests before any
// status query, so this bounds how long the other stations go without one.
constexpr int kParametersPerRead = 4;

// A registered tag on a parameter: its station (the configured name, as the module reads
// it), the parameter number and the tag id.
struct ParameterTag {
    std::string station;
    int number = 0;
    uint32_t id = 0;
};

// One range read: `count` parameters from `first` of one station, and the tags they feed.
struct ParameterChunk {
    std::string station;
    int first = 0;
    int count = 0;
    std::vector<uint32_t> ids;
};

// The parameter number of a tag address as the module reads it (P0-P80, "P" alone being
// P0), or nothing.
std::optional<int> ParameterNumber(const std::string& address);

// The range reads that cover the tags: runs of consecutive registered parameters of one
// station, at most kParametersPerRead each, by station in first appearance and then by number.
std::vector<ParameterChunk> PlanParameterReads(const std::vector<ParameterTag>& tags);

// The chunks waiting and the one on the line. The delivery thread reports values; the host's
// thread moves on, one chunk at a time.
class ParameterReads {
public:
    using Clock = std::chrono::steady_clock;
    // A chunk ends when nothing has come for this long.
    static constexpr std::chrono::milliseconds kStall = RangeReadEnd::kStall;
    // A station's read failures so far, as the module counts them.
    using FailureCounter = std::function<int32_t(const std::string& station)>;

    // Between one chunk's end and the next one's start the poll schedule makes one pass, so
    // every station is asked for its status between two chunks; a pass that does not end
    // (a station that cannot be asked) holds the next chunk back at most this long.
    void SetLongestPause(std::chrono::milliseconds pause) { longestPause_ = pause; }
    void Queue(const std::vector<ParameterChunk>& chunks);
    // Drops what waits and the chunk on the line (communication stopped).
    void Clear();
    // Nothing waits and nothing is on the line.
    bool Idle() const { return waiting_.empty() && !onLine_; }
    // Delivery thread: true when the value answers a read on the line, so it is shown even
    // when it has not changed.
    bool Answered(uint32_t id);

    struct Turn {
        std::vector<uint32_t> missed;        // tags of the chunk that ended without a value
        bool ended = false;                  // a chunk ended: the poll pass starts now
        std::optional<ParameterChunk> start; // the chunk to send now
    };
    // Host thread: ends the chunk on the line once every value came, the station's failures
    // cover the rest, or it stalled; then, once `passDone` says the poll schedule has made
    // its pass since (or the longest pause is over), hands out the next chunk.
    Turn Advance(const FailureCounter& failures, bool passDone, Clock::time_point now);

private:
    std::size_t Awaited() const;

    std::deque<ParameterChunk> waiting_;
    std::optional<ParameterChunk> onLine_;
    std::chrono::milliseconds longestPause_{0};
    Clock::time_point pauseEnd_; // the next chunk starts by then at the latest
    RangeReadEnd onLineEnd_;     // when the chunk on the line has ended
    mutable std::mutex lock_;    // guards awaited_, which the delivery thread changes
    std::set<uint32_t> awaited_;
};

} // namespace vfdahost

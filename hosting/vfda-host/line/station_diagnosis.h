// What the line trace says about each station: how long its answers take and why the
// transactions that failed did so. The poll thread reports every frame; the host thread
// reads the figures, so everything is kept under one lock.
#pragma once

#include "comm/answer_cause.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vfdahost {

using comm::AnswerCause;
using comm::kAnswerCauseCount;

struct ResponseTimes {
    double minMs = 0;
    double medianMs = 0;
    double p95Ms = 0;
    double maxMs = 0;
};

// Nearest-rank figures of the samples; nullopt without any.
std::optional<ResponseTimes> SummariseTimes(std::vector<double> samples);

struct StationDiagnosis {
    int64_t requests = 0;
    int64_t causes[kAnswerCauseCount] = {};
    std::optional<ResponseTimes> response;
    std::optional<double> lastMs; // the latest answer's response time
    // The number named by answers from another station (the latest one seen).
    std::optional<int> answeredAs;
    // Transactions whose answer came after bytes the driver skipped (noise before the
    // answer's first byte), and how many bytes it skipped for them.
    int64_t noisy = 0;
    int64_t noiseBytes = 0;

    int64_t Count(AnswerCause cause) const { return causes[static_cast<size_t>(cause)]; }
};

class StationDiagnoses {
public:
    using Clock = std::chrono::steady_clock;
    // Response times kept per station: a long run keeps the latest ones only.
    static constexpr size_t kKeptTimes = 1000;

    // The driver waits this long for an answer before it gives up.
    static constexpr std::chrono::milliseconds kReceiveLimit{1000};

    void Sent(std::span<const uint8_t> frame, Clock::time_point at);
    // Counts a request still waiting at `now` as timed out once the driver has given up on
    // it, or at once with no time given (the line has stopped).
    void Settle(std::optional<Clock::time_point> now);
    void Received(std::span<const uint8_t> bytes, Clock::time_point at);
    // Bytes the driver dropped while it waited for the answer's first byte.
    void Skipped(std::span<const uint8_t> bytes);
    // The figures of a station number; all zero when it was never asked.
    StationDiagnosis Of(int number) const;
    // Every station number that was asked something.
    std::vector<int> Asked() const;
    void Clear();
    void Clear(int number);

private:
    struct Figures {
        StationDiagnosis counts;
        std::deque<double> timesMs;
    };
    // A request still waiting for its answer counts as timed out when the next one goes.
    void CloseWaiting();
    // Counts the bytes skipped for the transaction that ends now.
    void CountNoise(StationDiagnosis& counts);

    mutable std::mutex lock_;
    std::map<int, Figures> stations_;
    std::vector<uint8_t> waitingFrame_;
    std::optional<int> waitingStation_;
    size_t skippedWhileWaiting_ = 0;
    Clock::time_point sentAt_;
};

// A station number as frames carry it: two digits ("03").
std::string StationNumberText(int number);

// One line a station's or the line's trouble gives the reader to check.
struct Hint {
    std::optional<std::string> station; // null for the whole line
    std::string text;
};

struct NamedStation {
    std::string name; // UTF-8
    int number = 0;
};

// What to check, from the figures of the configured stations; none when nothing is clear.
std::vector<Hint> HintsFor(const std::vector<NamedStation>& stations,
                           const StationDiagnoses& diagnoses);

} // namespace vfdahost

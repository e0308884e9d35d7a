// Where a run's events go: standard output, one line per event, as JSON objects or as text
// for people. Lines come from the module's threads and from the host's own, so each is
// written whole under one lock and flushed at once. A line that cannot be written (a full
// disk, a closed pipe) ends the run: nothing more is written, and the program exits 1.
#pragma once

#include "json_fields.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string_view>

namespace vfdahost {

enum class OutputForm { Text, Json };
// What a text line starts with: the seconds since the start, or the UTC wall-clock time.
enum class TimeStamps { Run, Wall };

class EventPrinter {
public:
    explicit EventPrinter(OutputForm form, std::FILE* out = stdout);
    EventPrinter(OutputForm form, TimeStamps stamps, std::FILE* out = stdout);

    OutputForm Form() const { return form_; }
    // Milliseconds since the printer was made, that is since the run began.
    int64_t ElapsedMs() const;

    // One event: {"event":EVENT,"t":MS,"time":ISO,FIELDS} in JSON, else the time (in seconds
    // since the start, or the wall clock's) and TEXT, with its control characters shown
    // escaped.
    void Print(std::string_view event, const JsonFields& fields, std::string_view text);
    // While muted nothing is printed: a live view has the screen.
    void Mute(bool muted) { muted_.store(muted); }
    // True once a line could not be written.
    bool Failed() const { return failed_.load(); }

private:
    const OutputForm form_;
    const TimeStamps stamps_ = TimeStamps::Run;
    std::FILE* const out_;
    const std::chrono::steady_clock::time_point start_;
    std::mutex lock_;
    std::atomic<bool> failed_{false};
    std::atomic<bool> muted_{false};
};

} // namespace vfdahost

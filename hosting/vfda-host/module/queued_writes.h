// The writes of a run that are on their way to the drives. The module accepts a write by
// queueing it and the poll thread sends it later; a stop discards what it has not sent. The
// only sign of a write reaching the line that the entry table gives is the station's write
// counter, which the poll thread raises as it sends each write (whatever the drive answers).
// So a write is followed by the counter value it will raise its station's counter to.
#pragma once

#include "tag_file.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace vfdahost {

// What a write to a tag does, judged by its type and address as the tag file gives them.
enum class WriteEffect {
    Frame,     // P n, D0, D3: one write frame to the drive
    RangeRead, // C0: read frames of the station's parameters, no write
    Stored,    // C1, C2: a word kept by the driver, nothing sent
    Refused,   // digital tags and the other D words: the module refuses them
};
WriteEffect EffectOfWrite(const TagDefinition& tag);

class QueuedWrites {
public:
    // Reads a station's write counter; a station is named as the configuration names it.
    using CounterReader = std::function<int32_t(const std::string& station)>;

    // A write was queued for the station, whose counter stood at `counter` just before.
    void Queued(const std::string& station, int32_t counter);
    // The station's counter is being cleared (a reset); `counter` is its value before.
    void Clearing(const std::string& station, int32_t counter);
    // Every station's counter is being cleared.
    void ClearingAll(const CounterReader& counterOf);
    // Writes of the station not sent yet, with its counter at `counter`.
    int32_t Outstanding(const std::string& station, int32_t counter) const;
    // Writes of every station not sent yet.
    int32_t AllOutstanding(const CounterReader& counterOf) const;
    // Communication stopped: what was not sent is gone.
    void Forget() { targets_.clear(); }

    // Waits until every queued write has been sent, as long as the writes keep going out:
    // at most `stall` for the next one, at most `limit` in all, looking every `interval`.
    // Returns how many were not sent; afterwards nothing is followed any more. `giveUp`, when
    // given, ends the wait at once as soon as it answers true.
    int32_t WaitUntilSent(const CounterReader& counterOf, std::chrono::milliseconds stall,
                          std::chrono::milliseconds limit, std::chrono::milliseconds interval,
                          const std::function<bool()>& giveUp = {});

private:
    std::map<std::string, int32_t> targets_; // station -> counter once all its writes are sent
};

} // namespace vfdahost

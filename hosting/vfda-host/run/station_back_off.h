// The host's back-off for a station the module has declared lost: every visit of a silent
// drive waits the driver's full time-out, which slows every other station on the line. A
// lost station is disabled (DrvEnable 0) and visited again on a growing interval: enabled
// until a transaction of it fails (disabled again, the wait doubled) or the module says it
// answers again (message 15: polled as before). The module itself never disables a station;
// this is the host's choice.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

struct BackOffLimits {
    std::chrono::milliseconds first{2000}; // the first wait after a loss
    std::chrono::milliseconds most{60000}; // the wait doubles up to this
};

// What the back-off has done to a station, for the statistics.
struct BackOffFigures {
    bool backedOff = false;                               // disabled or on a visit now
    int64_t backOffs = 0;                                 // times it was declared lost and disabled
    int64_t visits = 0;                                   // visits made while backed off
    int64_t restored = 0;                                 // times it answered again
    std::optional<std::chrono::milliseconds> nextVisitIn; // while disabled
};

// What the host must do now; names are the configuration's (CP949).
struct BackOffStep {
    enum class Kind { Disable, Visit, Restore };
    Kind kind = Kind::Disable;
    std::string station;
    std::chrono::milliseconds wait{0}; // Disable: until the next visit
};

// Threads: Lost and Restored come from the module's threads; the rest from the host's.
class StationBackOff {
public:
    using Clock = std::chrono::steady_clock;
    // A station's failed transactions so far.
    struct Link {
        int64_t failures = 0;
    };
    using LinkReader = std::function<Link(const std::string& station)>;
    // A visit whose transaction has not ended by then counts as failed.
    static constexpr std::chrono::seconds kLongestVisit{10};

    explicit StationBackOff(BackOffLimits limits) : limits_(limits) {}

    // The module's link-loss and link-restored messages for a station.
    void Lost(const std::string& station);
    void Restored(const std::string& station);
    // The user enabled or disabled the station: it is the user's again.
    void Forget(const std::string& station);
    // What to do at `now`, each step already taken into account.
    std::vector<BackOffStep> Turn(Clock::time_point now, const LinkReader& link);

    bool IsBackedOff(const std::string& station) const;
    BackOffFigures Figures(const std::string& station, Clock::time_point now) const;

private:
    enum class State { Lost, Disabled, Visiting };
    struct Station {
        State state = State::Lost;
        std::chrono::milliseconds wait{0};
        Clock::time_point visitAt;
        Clock::time_point visitStarted;
        int64_t failuresAtVisit = 0;
    };
    // The links of the stations a turn looks at, read without the lock held: the reader
    // asks the module, whose threads report losses into this object.
    std::map<std::string, Link> ReadLinks(const LinkReader& link) const;
    std::optional<BackOffStep> TurnOne(const std::string& name, Station& station,
                                       Clock::time_point now,
                                       const std::map<std::string, Link>& links);
    BackOffStep Failed(const std::string& name, Station& station, Clock::time_point now);
    // The station when it is off the line or on a visit; null otherwise. Under lock_.
    const Station* BackedOff(const std::string& station) const;

    const BackOffLimits limits_;
    mutable std::mutex lock_;
    std::map<std::string, Station> stations_; // backed off now
    std::set<std::string> restoredWaiting_;   // restored, not yet taken by a turn
    std::map<std::string, BackOffFigures> figures_;
};

} // namespace vfdahost

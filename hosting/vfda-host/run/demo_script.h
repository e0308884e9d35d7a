// The story the demo tells on its three drives: the values come in, the drives get a
// frequency and a run command and ramp up, one drive falls silent and comes back (link lost,
// link restored), one pump is stopped. Statistics are shown every few seconds.
#pragma once

#include "demo_files.h"
#include "host_session.h"
#include "run_events.h"
#include "sim/simulator.h"

#include <chrono>
#include <functional>
#include <string>

namespace vfdahost {

class DemoScript {
public:
    DemoScript(HostSession& session, RunEvents& events, sim::Simulator& drives,
               std::chrono::seconds duration);

    // Tells the story until the duration ends or Ctrl-C; returns "seconds" or "interrupt".
    std::string Run();

private:
    using Clock = std::chrono::steady_clock;

    // Each step returns false once the run is over.
    bool FirstValues();
    bool Accelerate();
    bool StartDrives();
    bool SilenceOneDrive();
    bool StopOnePump();

    bool Over() const;
    // Waits, showing statistics when they are due; false once the run is over.
    bool Pause(std::chrono::milliseconds length);
    // Waits until `done` holds or `limit` has passed (said so); false once the run is over.
    bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit,
                 const std::string& what);
    bool HasValue(const DemoStation& station, const char* word) const;
    bool ValueIs(const DemoStation& station, const char* word, double expected) const;
    uint32_t TagId(const DemoStation& station, const char* word) const;
    void Write(const DemoStation& station, const char* word, double value);

    HostSession& session_;
    RunEvents& events_;
    sim::Simulator& drives_;
    const Clock::time_point end_;
    Clock::time_point nextStatistics_;
};

} // namespace vfdahost

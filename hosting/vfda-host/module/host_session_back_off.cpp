// HostSession: the stations the module declares lost and restored (its link messages), and
// the back-off of lost stations, carried out through DrvEnable on the run's own thread.
#include "host_session.h"

#include "message_number.h"
#include "text_output.h"

namespace vfdahost {
namespace {

// The module's messages for a station whose link was lost and for one that answers again;
// the station's name is their first hole.
constexpr int kLinkLostMessage = 14;
constexpr int kLinkRestoredMessage = 15;

} // namespace

void HostSession::BackOffLostStations(BackOffLimits limits) {
    backOff_ = std::make_unique<StationBackOff>(limits);
}

void HostSession::ReceiveLog(const hostkit::EventLogLine& line) {
    events_.Log(line.flags, line.text);
    std::vector<std::string> holes;
    const std::optional<int> number = MessageNumber(line.text, &holes);
    if (holes.empty() || (number != kLinkLostMessage && number != kLinkRestoredMessage)) {
        return;
    }
    const bool lost = number == kLinkLostMessage;
    {
        std::lock_guard guard(lostLock_);
        if (lost) {
            lostStations_.insert(holes[0]);
        } else {
            lostStations_.erase(holes[0]);
        }
    }
    if (backOff_ && lost) {
        backOff_->Lost(holes[0]);
    } else if (backOff_) {
        backOff_->Restored(holes[0]);
    }
}

void HostSession::TakeBackOffStep(const BackOffStep& step) {
    const auto now = StationBackOff::Clock::now();
    switch (step.kind) {
    case BackOffStep::Kind::Disable:
        module_.Enable(step.station.c_str(), 0);
        events_.BackOff(RunEvents::BackOffNews::BackedOff, ToUtf8(step.station),
                        backOff_->Figures(step.station, now));
        return;
    case BackOffStep::Kind::Visit:
        module_.Enable(step.station.c_str(), 1);
        return;
    case BackOffStep::Kind::Restore:
        module_.Enable(step.station.c_str(), 1);
        events_.BackOff(RunEvents::BackOffNews::Restored, ToUtf8(step.station),
                        backOff_->Figures(step.station, now));
        return;
    }
}

void HostSession::AdvanceBackOff() {
    if (!backOff_ || !running_) {
        return;
    }
    const auto link = [this](const std::string& station) {
        const StationCounters counters = module_.CountersOf(station);
        return StationBackOff::Link{static_cast<int64_t>(counters.readFailures) +
                                    counters.writeFailures};
    };
    for (const BackOffStep& step : backOff_->Turn(StationBackOff::Clock::now(), link)) {
        TakeBackOffStep(step);
    }
}

} // namespace vfdahost

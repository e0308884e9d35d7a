#include "demo_script.h"

#include "interrupt.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace vfdahost {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

constexpr milliseconds kLookInterval(100);
constexpr seconds kStatisticsInterval(5);
constexpr seconds kStepLimit(10);
// Failures in a row after which the driver reports the link lost.
constexpr int32_t kLinkLostFailures = 5;

// D3 command words of the drive.
constexpr double kRunForward = 1;
constexpr double kStop = 2;

const DemoStation& Station(size_t index) {
    return DemoStations()[index];
}

} // namespace

DemoScript::DemoScript(HostSession& session, RunEvents& events, sim::Simulator& drives,
                       seconds duration)
    : session_(session), events_(events), drives_(drives), end_(Clock::now() + duration),
      nextStatistics_(Clock::now() + kStatisticsInterval) {}

std::string DemoScript::Run() {
    const bool told = FirstValues() && Accelerate() && StartDrives() && Pause(seconds(4)) &&
                      SilenceOneDrive() && StopOnePump();
    while (told && Pause(seconds(1))) {
    }
    return Interrupted() ? InterruptReason() : "seconds";
}

bool DemoScript::FirstValues() {
    events_.Note("the module polls the drives' status words; the values follow");
    return WaitFor(
        [this] {
            return std::all_of(DemoStations().begin(), DemoStations().end(),
                               [this](const DemoStation& s) { return HasValue(s, "F_OUT"); });
        },
        kStepLimit, "the first values");
}

bool DemoScript::Accelerate() {
    events_.Note("PUMP1: acceleration time 5.0 s (write P10); the drive answers with the value");
    Write(Station(0), "ACCEL", 5.0);
    return Pause(seconds(1));
}

bool DemoScript::StartDrives() {
    for (const DemoStation& station : DemoStations()) {
        events_.Note(std::string(station.name) + ": frequency command " +
                     NumberText(station.frequencyHz) + " Hz (write D0)");
        Write(station, "F_CMD", station.frequencyHz);
    }
    // A run command carries the frequency command the driver last read back, so it waits
    // for the new one to come in.
    const bool arrived = WaitFor(
        [this] {
            return std::all_of(
                DemoStations().begin(), DemoStations().end(),
                [this](const DemoStation& s) { return ValueIs(s, "F_CMD", s.frequencyHz); });
        },
        kStepLimit, "the new frequency commands");
    if (!arrived) {
        return false;
    }
    for (const DemoStation& station : DemoStations()) {
        events_.Note(std::string(station.name) + ": run forward (write D3 = 1); it ramps up");
        Write(station, "CMD_WORD", kRunForward);
    }
    return true;
}

bool DemoScript::SilenceOneDrive() {
    const DemoStation& fan = Station(2);
    const auto failures = [this, &fan] {
        const StationCounters counters = session_.Statistics(fan.name).counters;
        return counters.readFailures + counters.writeFailures;
    };
    const int32_t before = failures();
    events_.Note(std::string(fan.name) + " stops answering (the line to it is cut)");
    drives_.SetFault(fan.number, sim::FaultKind::Silent);
    const bool lost = WaitFor([&] { return failures() - before >= kLinkLostFailures; }, seconds(30),
                              "the link loss");
    if (!lost || !Pause(seconds(2))) {
        return false;
    }
    drives_.ClearFault(fan.number);
    events_.Note(std::string(fan.name) + " answers again");
    return WaitFor([this, &fan] { return session_.Statistics(fan.name).status == 0; }, kStepLimit,
                   "the recovery");
}

bool DemoScript::StopOnePump() {
    const DemoStation& pump = Station(1);
    events_.Note(std::string(pump.name) + ": stop (write D3 = 2); it ramps down");
    Write(pump, "CMD_WORD", kStop);
    return true;
}

bool DemoScript::Over() const {
    return Interrupted() || Clock::now() >= end_;
}

bool DemoScript::Pause(milliseconds length) {
    return WaitFor([] { return false; }, length, "");
}

bool DemoScript::WaitFor(const std::function<bool()>& done, milliseconds limit,
                         const std::string& what) {
    const auto until = Clock::now() + limit;
    for (;;) {
        if (Over()) {
            return false;
        }
        if (Clock::now() >= nextStatistics_) {
            session_.PrintStatistics(std::nullopt);
            nextStatistics_ = Clock::now() + kStatisticsInterval;
        }
        session_.ForgetHistory();
        if (done()) {
            return true;
        }
        if (Clock::now() >= until) {
            if (!what.empty()) {
                events_.Note("no sign of " + what + " yet; the demo goes on");
            }
            return true;
        }
        std::this_thread::sleep_for(kLookInterval);
    }
}

uint32_t DemoScript::TagId(const DemoStation& station, const char* word) const {
    const TagDefinition* tag = session_.FindTag(DemoTag(station, word));
    return tag != nullptr ? tag->id : 0;
}

bool DemoScript::HasValue(const DemoStation& station, const char* word) const {
    return session_.LatestValue(TagId(station, word)).has_value();
}

bool DemoScript::ValueIs(const DemoStation& station, const char* word, double expected) const {
    const auto value = session_.LatestValue(TagId(station, word));
    return value && std::fabs(*value - expected) < 0.05;
}

void DemoScript::Write(const DemoStation& station, const char* word, double value) {
    session_.Write(DemoTag(station, word), value);
}

} // namespace vfdahost

// HostSession: the tag writes of a run, and the wait for those still queued at its end.
#include "host_session.h"

#include "interrupt.h"
#include "text_output.h"

namespace vfdahost {

namespace {

// Queued writes at a stop: the wait goes on while they keep reaching the line, up to
// kWriteStall for the next one and kWriteLimit in all.
constexpr std::chrono::milliseconds kWriteStall(3000);
constexpr std::chrono::milliseconds kWriteLimit(30000);
constexpr std::chrono::milliseconds kWriteLook(20);

std::string WriteOutcome(int32_t result, const std::string& whyNotSent, WriteEffect effect) {
    if (result != 0) {
        return "refused";
    }
    if (!whyNotSent.empty()) {
        return "not sent";
    }
    return effect == WriteEffect::Stored ? "stored" : "queued";
}

} // namespace

void HostSession::Write(const std::string& tagName, double value) {
    const TagDefinition* tag = FindTag(tagName);
    if (tag == nullptr) {
        events_.Error("write: no tag named " + tagName);
        return;
    }
    const int32_t handle = handles_[tag->id - 1];
    if (handle < 0) {
        events_.Error("write: the module refused tag " + tagName + " at registration");
        return;
    }
    const std::string station = StationOfTag(*tag);
    const std::string whyNotSent = WhyNotSent(station);
    const int32_t counter = WriteCounter(station); // read before the write can be sent
    const int32_t result = module_.WriteTag(handle, value);
    const WriteEffect effect = EffectOfWrite(*tag);
    const std::string outcome = WriteOutcome(result, whyNotSent, effect);
    if (outcome == "queued" && effect == WriteEffect::Frame) {
        queuedWrites_.Queued(station, counter);
    }
    JsonFields fields;
    fields.Text("tag", tag->name)
        .Integer("id", tag->id)
        .Number("value", value)
        .Text("outcome", outcome);
    const std::string because = outcome == "not sent" ? ": " + whyNotSent : "";
    events_.Result("write", fields, tag->name + " = " + NumberText(value) + " " + outcome + because,
                   result);
}

QueuedWrites::CounterReader HostSession::WriteCounters() const {
    return [this](const std::string& station) { return WriteCounter(station); };
}

// A run ended by a signal says what it still waits for; a second signal ends the wait.
void HostSession::SendQueuedWrites() {
    const int32_t queued = queuedWrites_.AllOutstanding(WriteCounters());
    if (queued > 0 && Interrupted()) {
        events_.Note("waiting for " + std::to_string(queued) +
                     (queued == 1 ? " queued write" : " queued writes") +
                     " to reach the line (at most " + std::to_string(kWriteLimit.count() / 1000) +
                     " s; Ctrl-C again to stop now)");
    }
    const int32_t unsent = queuedWrites_.WaitUntilSent(WriteCounters(), kWriteStall, kWriteLimit,
                                                       kWriteLook, &InterruptedAgain);
    if (unsent > 0) {
        events_.WritesNotSent(unsent);
    }
}

} // namespace vfdahost

#include "run_loop.h"

#include "console_commands.h"
#include "input_lines.h"
#include "interrupt.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace vfdahost {
namespace {

using Clock = std::chrono::steady_clock;

// How long the loop waits at most before it looks at the clock and Ctrl-C again.
constexpr std::chrono::milliseconds kLookInterval(100);
// A `read` typed before `quit` is still answered, within this bound (each chunk of it gives
// up by itself once the drive stops answering).
constexpr std::chrono::seconds kLongestReadAtEnd(30);
constexpr std::chrono::milliseconds kReadLook(20);

// Lets the reads asked for finish before the run ends; a signal ends the wait.
std::string AfterPendingReads(HostSession& session, const std::string& reason) {
    const auto end = Clock::now() + kLongestReadAtEnd;
    while (session.ParameterReadsPending() && !Interrupted() && Clock::now() < end) {
        session.AdvanceParameterReads();
        std::this_thread::sleep_for(kReadLook);
    }
    return reason;
}

} // namespace

std::string RunUntilEnd(HostSession& session, RunEvents& events, std::optional<long> seconds) {
    InputLines input;
    const auto deadline = Clock::now() + std::chrono::seconds(seconds.value_or(0));
    bool inputOpen = true;
    for (;;) {
        if (Interrupted()) {
            return InterruptReason();
        }
        auto wait = kLookInterval;
        if (seconds) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left.count() <= 0) {
                return "seconds";
            }
            wait = std::min(wait, left);
        }
        session.ForgetHistory();
        session.AdvanceParameterReads();
        session.AdvanceBackOff();
        if (!inputOpen) {
            std::this_thread::sleep_for(wait);
            continue;
        }
        const InputLine line = input.Next(static_cast<uint32_t>(wait.count()));
        switch (line.kind) {
        case InputLine::Kind::Line:
            if (ExecuteCommand(line.text, session, events) == CommandOutcome::Quit) {
                return AfterPendingReads(session, "quit");
            }
            break;
        case InputLine::Kind::TooLong:
            events.Error("a command line is longer than " + std::to_string(kMaxInputLine) +
                         " bytes");
            break;
        case InputLine::Kind::Ended:
            if (!seconds) {
                return AfterPendingReads(session, "end of input");
            }
            inputOpen = false; // the duration decides
            break;
        case InputLine::Kind::NoneYet:
            break;
        }
    }
}

} // namespace vfdahost

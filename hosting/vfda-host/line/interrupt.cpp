#include "interrupt.h"

#include "interrupt_signals.h"

#include <atomic>
#include <csignal>

namespace vfdahost {
namespace {

// The handler may run on any of the process's threads; lock-free atomics are safe there.
std::atomic<int> g_signal{0};
std::atomic<int> g_signals{0};
std::atomic<bool> g_outputFailed{false};
static_assert(std::atomic<int>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnSignal(int number) {
    int none = 0;
    g_signal.compare_exchange_strong(none, number); // the first one names the end
    g_signals.fetch_add(1);
    std::signal(number, OnSignal); // where the system resets a handler once it ran
}

} // namespace

void CatchInterrupt() {
    std::signal(SIGINT, OnSignal);
    std::signal(SIGTERM, OnSignal);
    CatchSystemSignals(OnSignal);
}

bool Interrupted() {
    return g_signal.load() != 0 || g_outputFailed.load();
}

bool InterruptedAgain() {
    return g_signals.load() >= 2;
}

void NoteOutputFailed() {
    g_outputFailed.store(true);
}

bool OutputFailed() {
    return g_outputFailed.load();
}

const char* InterruptReason() {
    const int number = g_signal.load();
    if (number != 0) {
        return SignalReason(number);
    }
    return g_outputFailed.load() ? "output failed" : "interrupt";
}

int InterruptExitCode() {
    const int number = g_signal.load();
    return number != 0 ? 128 + number : 1;
}

} // namespace vfdahost

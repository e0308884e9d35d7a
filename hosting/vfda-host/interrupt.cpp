#include "interrupt.h"

#include <atomic>
#include <csignal>

namespace vfdahost {
namespace {

// The handler may run on any of the process's threads; a lock-free atomic is safe there.
std::atomic<bool> g_interrupted{false};
static_assert(std::atomic<bool>::is_always_lock_free);

extern "C" void OnInterrupt(int) {
    g_interrupted.store(true);
}

} // namespace

void CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool Interrupted() {
    return g_interrupted.load();
}

} // namespace vfdahost

#include "toolkit/line_trace.h"

#include <atomic>
#include <mutex>

namespace {

std::atomic<bool> g_enabled{false};
std::mutex g_lock; // guards the sink while it is called or replaced
LineTraceSink g_sink = nullptr;
void* g_context = nullptr;

} // namespace

void SetLineTraceSink(LineTraceSink sink, void* context) {
    std::lock_guard guard(g_lock);
    g_sink = sink;
    g_context = context;
    g_enabled = sink != nullptr;
}

bool LineTraceEnabled() {
    return g_enabled.load(std::memory_order_relaxed);
}

void TraceLine(LineDirection direction, const uint8_t* bytes, size_t count) {
    if (!LineTraceEnabled()) {
        return;
    }
    std::lock_guard guard(g_lock);
    if (g_sink != nullptr) {
        g_sink(g_context, direction, bytes, count);
    }
}

// Stand-in for the host's run-time library: the event log the module writes to, passing
// each line on to the host program that installed a sink.
#include "host/vemor_tables.h"
#include "platform/export.h"
#include "stand_in_control.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace {

std::mutex g_lock;
EventLogSink g_sink = nullptr;
void* g_context = nullptr;

// A real host keeps its log in a C++ global, destroyed at exit with the library's other
// objects (before those of anything loaded earlier). The stand-in's log records its end;
// the flag itself is trivial and stays readable.
std::atomic<bool> g_logEnded{false};
struct EventLogLifetime {
    ~EventLogLifetime() { g_logEnded = true; }
} g_logLifetime;

int WriteEventLog(int32_t kind, uint32_t flags, const char* text) {
    if (g_logEnded) {
        std::fprintf(stderr, "%s\n", kEventLogAfterDestruction);
        return 0;
    }
    std::lock_guard guard(g_lock);
    if (g_sink != nullptr) {
        g_sink(g_context, kind, flags, text != nullptr ? text : "");
    }
    return 0;
}

int Unused() {
    return 0;
}

} // namespace

extern "C" {
VFDA_EXPORT host::TableEntry FuncTable[host::kHostTableSize];

VFDA_EXPORT void VemorRunSetEventLogSink(EventLogSink sink, void* context) {
    std::lock_guard guard(g_lock);
    g_sink = sink;
    g_context = context;
}
}

namespace {

struct TableFiller {
    TableFiller() {
        for (auto& entry : FuncTable) {
            entry = reinterpret_cast<host::TableEntry>(&Unused);
        }
        FuncTable[host::kWriteEventLogEntry] = reinterpret_cast<host::TableEntry>(&WriteEventLog);
    }
} g_filler;

} // namespace

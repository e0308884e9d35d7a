#include "interrupt_signals.h"

#include <csignal>

namespace vfdahost {

void CatchSystemSignals(void (*handler)(int)) {
    std::signal(SIGHUP, handler);
    // Caught rather than fatal: a write to a closed pipe then fails with EPIPE, and the run
    // ends the way it ends on SIGTERM.
    std::signal(SIGPIPE, handler);
}

const char* SignalReason(int number) {
    switch (number) {
    case SIGHUP:
        return "hangup";
    case SIGPIPE:
        return "broken pipe";
    default:
        return "interrupt";
    }
}

} // namespace vfdahost

#include "interrupt_signals.h"

namespace vfdahost {

// Windows has neither SIGHUP nor SIGPIPE: a console that closes ends the process, and a
// write to a closed pipe fails, which the output's own check sees.
void CatchSystemSignals(void (*)(int)) {}

const char* SignalReason(int) {
    return "interrupt";
}

} // namespace vfdahost

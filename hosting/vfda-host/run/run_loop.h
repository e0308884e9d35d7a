// The live part of a run: commands from standard input until quit, the end of input (when
// no duration was given), the end of the duration, Ctrl-C (or SIGTERM, SIGHUP, SIGPIPE) or an
// output that can no longer be written.
#pragma once

#include "host_session.h"
#include "run_events.h"

#include <optional>
#include <string>

namespace vfdahost {

// Returns why the run ended: "quit", "end of input", "seconds", or one of the reasons of
// InterruptReason ("interrupt", "hangup", "broken pipe", "output failed").
std::string RunUntilEnd(HostSession& session, RunEvents& events, std::optional<long> seconds);

} // namespace vfdahost

// The live part of a run: commands from standard input until quit, the end of input (when
// no duration was given), the end of the duration or Ctrl-C.
#pragma once

#include "host_session.h"
#include "run_events.h"

#include <optional>
#include <string>

namespace vfdahost {

// Returns why the run ended: "quit", "end of input", "seconds" or "interrupt".
std::string RunUntilEnd(HostSession& session, RunEvents& events, std::optional<long> seconds);

} // namespace vfdahost

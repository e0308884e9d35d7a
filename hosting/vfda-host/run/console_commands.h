// The commands a run reads from standard input, one a line:
//   write TAG VALUE | read TAG|STATION | enable STATION 0|1 | stats [STATION] | reset [STATION] |
//   info STATION | stop | start | quit
// Blank lines and lines starting with '#' are skipped; a wrong line is reported and the
// run goes on.
#pragma once

#include "host_session.h"
#include "run_events.h"

#include <string>

namespace vfdahost {

enum class CommandOutcome { Continue, Quit };

CommandOutcome ExecuteCommand(const std::string& line, HostSession& session, RunEvents& events);

} // namespace vfdahost

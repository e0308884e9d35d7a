// Ctrl-C during a run: the signal only raises a flag, which the run's loop looks at between
// its bounded waits, so the run still stops the module and prints its statistics.
#pragma once

namespace vfdahost {

// Catches SIGINT (and SIGTERM) from now on.
void CatchInterrupt();
bool Interrupted();

} // namespace vfdahost

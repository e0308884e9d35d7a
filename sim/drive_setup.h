// The state vfda-sim's drives start in, as its command line asks: parameters that refuse
// writes or never answer reads, the parameter lock, motors already running.
#pragma once

#include "sim/options.h"
#include "sim/simulator.h"

namespace sim {

// Applies the options to every simulated drive (--running to the stations it names).
void SetUpDrives(Simulator& simulator, const Options& options);

} // namespace sim

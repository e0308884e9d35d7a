#include "sim/drive_setup.h"

#include "sim/drive.h"

namespace sim {
namespace {

// A running drive turns at a believable speed: 30.0 Hz forward.
constexpr uint32_t kRunningFrequency = 300;

} // namespace

void SetUpDrives(Simulator& simulator, const Options& options) {
    for (const int station : options.stations) {
        simulator.SetReportsRunning(station, options.reportsRunning);
        for (const int parameter : options.readOnlyParameters) {
            simulator.MakeReadOnly(station, parameter);
        }
        for (const int parameter : options.hiddenParameters) {
            simulator.HideParameter(station, parameter);
        }
        if (options.locked) {
            simulator.SetWord(station, Area::Parameter, param::kParameterLock, 1);
        }
    }
    for (const int station : options.runningStations) {
        simulator.SetWord(station, Area::Monitor, monitor::kFrequencyCommand, kRunningFrequency);
        simulator.SetWord(station, Area::Monitor, monitor::kCommandWord, command::kRun);
    }
}

} // namespace sim

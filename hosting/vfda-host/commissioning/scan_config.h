// vfda-host scan --add-to CONFIG: the stations a scan found, written into a configuration.
#pragma once

#include "scan_line.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vfdahost {

// Adds every found number the configuration lacks as a station "VFDnn" (the station
// dialog's checks apply: a refused one is named on stderr and left out; the model stays 0,
// and the capacity code the drive reported is said on stderr), and sets the port
// and, when all found stations share one rate, the baud rate. Creates the file when it is
// missing; holds its writer lock from the load to the save, waiting for another writer at
// most lockWaitMs. False (said on stderr) when the file cannot be read or written.
bool AddFoundStations(const std::string& path, uint32_t lockWaitMs, int portNumber,
                      const std::vector<FoundStation>& found);

// Why the configuration at `path` cannot take what a scan finds, checked before the line is
// used: a folder that is not there or cannot be written, something that is not a regular
// file, a file that is not a configuration. Nothing when it can.
std::optional<std::string> WhyNotAddable(const std::string& path);

} // namespace vfdahost

// A configuration file for a line of simulated drives, written for a test.
#pragma once

#include "test_files.h"

#include <string>
#include <utility>
#include <vector>

class CVfdaDrvDoc;

namespace testing_support {

struct StationEntry {
    StationEntry(std::string stationName, int stationNumber, std::string text = {})
        : name(std::move(stationName)), number(stationNumber), description(std::move(text)) {}
    std::string name;
    int number;
    std::string description;
};

// Describes the line in the document, to be saved as `path`: the stations on the port (0
// for COM1) at the baud rate (2 for 4800).
void DescribeLine(CVfdaDrvDoc& document, const std::string& path,
                  const std::vector<StationEntry>& stations, int portIndex = 0, int baudIndex = 2);

// Writes `fileName` in the folder with the stations on the port (0 for COM1); its path, or
// empty on failure.
std::string WriteLineConfiguration(const TempFolder& folder, const std::string& fileName,
                                   const std::vector<StationEntry>& stations, int portIndex = 0);

} // namespace testing_support

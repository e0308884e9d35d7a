// What the demo runs: a line of three drives, its configuration file and its tag file.
#pragma once

#include <string>
#include <vector>

namespace vfdahost {

struct DemoStation {
    const char* name;
    int number;
    int model;
    const char* description; // UTF-8
    double frequencyHz;      // what the demo commands
};

// PUMP1 (1), PUMP2 (2) and FAN1 (5), as in samples/pumps.cfg.
const std::vector<DemoStation>& DemoStations();

// The tag names the demo uses for a station's words: "PUMP1_F_OUT" and so on.
std::string DemoTag(const DemoStation& station, const char* word);

// Writes the configuration (COM1, 4800 baud, the three stations) through the document.
bool WriteDemoConfiguration(const std::string& path, std::string& error);
// Writes the tag file: per station D0-D4, two status bits and P10.
bool WriteDemoTags(const std::string& path, std::string& error);

} // namespace vfdahost

// The settings a run works with, said once at its start: the port, the framing, the
// stations and how often their values come round.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CSerialPort;

namespace vfdahost {

struct StationSettings {
    std::string name; // UTF-8
    int number = 0;
    int groupsPolled = 0; // the D groups its tags make the driver ask for in each pass
};

struct LineSettings {
    std::string port;                  // "COM3"
    std::optional<std::string> device; // what --port maps it to; none for the system's port
    int32_t baud = 0;
    std::string framing; // "8-O-1"
    bool rtsCts = false;
    std::vector<StationSettings> stations;
    int64_t refreshMs = 0; // one pass of the schedule
};

// The framing of the serial settings as data bits, parity and stop bits ("8-O-1").
std::string FramingText(const CSerialPort& port);
// Bits on the wire for one character: start, data, parity and stop bits.
int CharacterBits(const CSerialPort& port);

// One pass of the poll schedule: every group query is a 7-byte request and an 11-byte
// answer followed by the driver's 100 ms pause, and a pass lasts 100 ms at least.
int64_t PassMs(int32_t baud, int characterBits, const std::vector<StationSettings>& stations);

// The D group a tag address polls ("D1" -> 1, "D4.0" -> 3); nullopt for other areas.
std::optional<int> PolledGroup(const std::string& address);

} // namespace vfdahost

// The drives on one line: answers requests for the stations it simulates, injects the
// scripted faults and counts every transaction. Safe to use from several threads (the line
// server and the operator's console); one lock guards the drives, faults and counters.
#pragma once

#include "sim/drive.h"
#include "sim/fault.h"
#include "sim/frame.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <vector>

namespace sim {

inline constexpr int kLastStation = 31;

// A millisecond tick that may wrap; platform::TickCount unless a test injects its own.
using TickSource = std::function<uint32_t()>;

struct StationCounters {
    uint64_t framesReceived = 0;
    uint64_t reads = 0;       // R
    uint64_t queries = 0;     // Q
    uint64_t writes = 0;      // P
    uint64_t commands = 0;    // C
    uint64_t answersSent = 0; // answers produced, spoilt ones included
    uint64_t refusals = 0;    // genuine refusals (0x07) by the drive
    uint64_t faultsInjected = 0;
};

// The area of a word named on the console: P0-P80 or D0-D6.
enum class Area { Parameter, Monitor };

class Simulator {
public:
    // stations: the station numbers 0-31 present on the line. baud: the line's speed.
    Simulator(const std::vector<int>& stations, uint32_t baud, TickSource clock = {});

    bool HasStation(int station) const;
    std::vector<int> Stations() const;

    // One request off the line; an empty reply means the line stays silent.
    Reply Handle(const Request& request);

    // Fault script. count 0: until cleared; otherwise for that many answers. onlyLetter,
    // when not 0, spoils only answers to requests of that letter; the others pass.
    bool SetFault(int station, FaultKind kind, uint32_t count = 0, uint8_t onlyLetter = 0);
    bool ClearFault(int station);
    void ClearAllFaults();
    FaultKind ActiveFault(int station) const;
    bool NoiseStreamOn() const { return noiseStreamOn_.load(); }

    // The operator's access to a drive's words (raw).
    Outcome SetWord(int station, Area area, int number, uint32_t value);
    Outcome GetWord(int station, Area area, int number, uint16_t& value);
    bool SetLoad(int station, uint16_t percent);
    // Makes the drive report what it runs in D3 (Drive::SetReportsRunning).
    bool SetReportsRunning(int station, bool on);

    // The drive never answers a read of that parameter (as if its answers were lost on
    // the line every time); other requests pass.
    bool HideParameter(int station, int number);
    // The drive refuses writes of that parameter as read-only; reads pass.
    bool MakeReadOnly(int station, int number);

    std::optional<StationCounters> Counters(int station) const;
    // Frames addressed to a station number that no drive here has.
    uint64_t FramesForAbsentStations() const;

private:
    struct FaultPlan {
        FaultKind kind = FaultKind::None;
        uint32_t remaining = 0; // 0: until cleared
        uint8_t onlyLetter = 0; // 0: every letter
    };
    struct Station {
        Drive drive;
        FaultPlan fault;
        StationCounters counters;
        std::set<int> hiddenParameters;
        std::set<int> readOnlyParameters;
    };

    Station* Find(int station);
    const Station* Find(int station) const;
    FaultKind TakeFault(FaultPlan& plan, uint8_t letter);
    Answer Execute(Drive& drive, const Request& request, uint64_t& refusals);
    void Count(StationCounters& counters, uint8_t letter);

    TickSource clock_;
    mutable std::mutex lock_;
    std::map<int, Station> stations_;
    uint64_t framesForAbsentStations_ = 0;
    std::atomic<bool> noiseStreamOn_{false};
    int noiseStreamStation_ = -1;
};

// 0, 1, 2 for 1200, 2400, 4800 baud.
uint16_t BaudIndex(uint32_t baud);

} // namespace sim

// One simulated DELTA VFD-A drive: its parameters P0-P80, its monitor words D0-D6 and a
// motor whose output frequency ramps toward the frequency command while running. Time is
// whatever millisecond tick the owner passes to Advance, so tests can step it.
#pragma once

#include "sim/frame.h"
#include "sim/parameter_table.h"

#include <array>
#include <cstdint>

namespace sim {

enum class Outcome { Ok, UnknownNumber, OutOfRange, ReadOnly, NotAllowed };

// The operation commands a C request carries (D3), as the drive's manual numbers them.
namespace command {
inline constexpr uint16_t kStop = 0;
inline constexpr uint16_t kRun = 1; // forward
inline constexpr uint16_t kStopToo = 2;
inline constexpr uint16_t kReverse = 3;
inline constexpr uint16_t kJogFirst = 4; // 4 to 7 jog: even forward, odd reverse
inline constexpr uint16_t kJogLast = 7;
inline constexpr uint16_t kReset = 8; // clear a tripped fault; the motor stays stopped
inline constexpr uint16_t kHighest = 8;
// Added to the reported D3 while the motor turns, by a drive set to report what it runs.
inline constexpr uint16_t kRunningMark = 0x80;
} // namespace command

// Bits of the status nibble D4 (low nibble of group-3 byte 8).
namespace status {
inline constexpr uint8_t kRunning = 0x01;     // driving the motor (also while ramping to a stop)
inline constexpr uint8_t kReverse = 0x02;     // reverse direction selected
inline constexpr uint8_t kAtFrequency = 0x04; // output has reached the frequency command
inline constexpr uint8_t kTripped = 0x08;     // a fault stopped the drive (D6 names it)
} // namespace status

// Monitor words of the D area.
namespace monitor {
inline constexpr int kFrequencyCommand = 0; // 0.1 Hz
inline constexpr int kOutputFrequency = 1;  // 0.1 Hz
inline constexpr int kOutputCurrent = 2;    // 0.1 A
inline constexpr int kCommandWord = 3;
inline constexpr int kStatus = 4;
inline constexpr int kFrequencySource = 5;
inline constexpr int kErrorCode = 6;
inline constexpr int kLast = 6;
} // namespace monitor

Refusal RefusalFor(Outcome outcome);

class Drive {
public:
    // baudIndex: 0 1200, 1 2400, 2 4800 (what P59 reports).
    Drive(int station, uint16_t baudIndex, uint32_t nowMs);

    // Moves the motor on to nowMs.
    void Advance(uint32_t nowMs);

    // Requests from the line.
    Outcome ReadParameter(int number, uint16_t& value) const;
    Outcome WriteParameter(int number, uint32_t value);
    Outcome Command(uint32_t word, uint32_t frequency);
    Outcome ReadMonitor(int number, uint16_t& value) const;
    StatusBytes Status() const;

    // The operator's back door: sets a stored parameter within its range even when it is
    // read-only or locked.
    Outcome ForceParameter(int number, uint32_t value);
    // D0 sets the frequency command, D3 applies a command word, D6 trips the drive with
    // that fault code (0 resets it).
    Outcome ForceMonitor(int number, uint32_t value);
    // The motor's load in percent of rated torque; it sets the output current.
    void SetLoadPercent(uint16_t percent) { loadPercent_ = percent; }
    // A drive that reports what it runs: D3 carries kRunningMark on top of the command
    // while the motor turns (a drive running forward reports 129).
    void SetReportsRunning(bool on) { reportsRunning_ = on; }

private:
    uint16_t Stored(int number) const { return parameters_[static_cast<size_t>(number)]; }
    void RestoreDefaults();
    void Trip(uint16_t code);
    // Signed output the motor heads for (negative is reverse), in 0.1 Hz.
    double TargetOutput() const;
    bool Accelerating() const;
    double RatePerMs(int timeParameter) const;
    uint16_t OutputFrequency() const;
    uint16_t OutputCurrent() const;
    uint8_t StatusNibble() const;
    uint16_t ReportedCommandWord() const;

    int station_;
    uint16_t baudIndex_;
    std::array<uint16_t, kParameterCount> parameters_{};
    uint16_t frequencyCommand_ = 0;
    uint16_t commandWord_ = 0;
    uint16_t faultCode_ = 0;
    uint16_t loadPercent_ = 50;
    bool runCommanded_ = false;
    bool reverse_ = false;
    bool reportsRunning_ = false;
    double output_ = 0.0; // signed, 0.1 Hz
    uint32_t lastMs_;
};

} // namespace sim

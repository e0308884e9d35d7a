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

// Bits of the operation command word (D3) carried by a C request.
namespace command {
inline constexpr uint16_t kRun = 0x01;     // start, in the direction of kReverse
inline constexpr uint16_t kStop = 0x02;    // stop (wins over kRun)
inline constexpr uint16_t kReverse = 0x04; // with kRun: 1 reverse, 0 forward
inline constexpr uint16_t kReset = 0x08;   // clear a tripped fault
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

    int station_;
    uint16_t baudIndex_;
    std::array<uint16_t, kParameterCount> parameters_{};
    uint16_t frequencyCommand_ = 0;
    uint16_t commandWord_ = 0;
    uint16_t faultCode_ = 0;
    uint16_t loadPercent_ = 50;
    bool runCommanded_ = false;
    bool reverse_ = false;
    double output_ = 0.0; // signed, 0.1 Hz
    uint32_t lastMs_;
};

} // namespace sim

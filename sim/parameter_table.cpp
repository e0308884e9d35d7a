#include "sim/parameter_table.h"

#include <array>
#include <cstring>

namespace sim {
namespace {

constexpr Access RW = Access::ReadWrite;
constexpr Access RO = Access::ReadOnly;
constexpr Access DV = Access::Derived;

// One row per parameter, in number order (P0 first).
constexpr std::array<ParameterInfo, kParameterCount> kParameters = {{
    {"Frequency command source (0 keypad, 1 0-10 V, 2 4-20 mA, 3 serial)", "", 0, 3, 0, RW},
    {"Operation command source (0 keypad, 1 terminals, 2 serial)", "", 0, 2, 0, RW},
    {"Stop method (0 ramp, 1 coast)", "", 0, 1, 0, RW},
    {"Maximum output frequency", "0.1 Hz", 500, 4000, 600, RW},
    {"Base frequency (maximum voltage frequency)", "0.1 Hz", 100, 4000, 600, RW},
    {"Maximum output voltage", "0.1 V", 1, 2550, 2200, RW},
    {"Mid-point frequency", "0.1 Hz", 10, 4000, 15, RW},
    {"Mid-point voltage", "0.1 V", 1, 2550, 100, RW},
    {"Minimum output frequency", "0.1 Hz", 10, 600, 15, RW},
    {"Minimum output voltage", "0.1 V", 1, 500, 100, RW},
    {"Acceleration time 1 (0 to maximum output frequency)", "0.1 s", 1, 6000, 100, RW},
    {"Deceleration time 1 (maximum output frequency to 0)", "0.1 s", 1, 6000, 100, RW},
    {"Acceleration time 2", "0.1 s", 1, 6000, 100, RW},
    {"Deceleration time 2", "0.1 s", 1, 6000, 100, RW},
    {"Jog acceleration/deceleration time", "0.1 s", 1, 6000, 10, RW},
    {"S-curve setting", "", 0, 7, 0, RW},
    {"Jog frequency", "0.1 Hz", 10, 200, 60, RW},
    {"Multi-step speed 1", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 2", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 3", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 4", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 5", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 6", "0.1 Hz", 0, 4000, 0, RW},
    {"Multi-step speed 7", "0.1 Hz", 0, 4000, 0, RW},
    {"Reverse operation inhibit (0 allowed, 1 inhibited)", "", 0, 1, 0, RW},
    {"Over-voltage stall prevention (0 off, 1 on)", "", 0, 1, 1, RW},
    {"Stall prevention level during acceleration", "%", 20, 200, 150, RW},
    {"Stall prevention level during operation", "%", 20, 200, 150, RW},
    {"Over-torque detection mode", "", 0, 4, 0, RW},
    {"Upper limit of output frequency", "0.1 Hz", 0, 4000, 4000, RW},
    {"Lower limit of output frequency", "0.1 Hz", 0, 4000, 0, RW},
    {"Over-torque detection time", "0.1 s", 1, 100, 10, RW},
    {"Over-torque detection level", "%", 30, 200, 150, RW},
    {"Motor rated current", "0.1 A", 1, 9999, 50, RW},
    {"Motor no-load current", "0.1 A", 0, 9999, 20, RW},
    {"Electronic thermal relay (0 off, 1 standard, 2 inverter motor)", "", 0, 2, 0, RW},
    {"Torque boost", "0.1 %", 0, 100, 0, RW},
    {"Slip compensation", "0.1 Hz", 0, 100, 0, RW},
    {"Restart after momentary power loss (0 off, 1 from top, 2 from bottom)", "", 0, 2, 0, RW},
    {"Auto-restarts after a fault", "", 0, 10, 0, RW},
    {"Start-up display", "", 0, 5, 0, RW},
    {"Multi-function display", "", 0, 5, 0, RW},
    {"Multi-function input terminal 1", "", 0, 20, 1, RW},
    {"Multi-function input terminal 2", "", 0, 20, 2, RW},
    {"Multi-function input terminal 3", "", 0, 20, 3, RW},
    {"Multi-function input terminal 4", "", 0, 20, 4, RW},
    {"Multi-function output relay", "", 0, 12, 1, RW},
    {"Desired frequency attained", "0.1 Hz", 0, 4000, 0, RW},
    {"Frequency at minimum analogue input", "0.1 Hz", 0, 4000, 0, RW},
    {"Frequency at maximum analogue input", "0.1 Hz", 0, 4000, 600, RW},
    {"Analogue input bias polarity", "", 0, 1, 0, RW},
    {"Analogue output signal (0 frequency, 1 current)", "", 0, 1, 0, RW},
    {"Analogue output gain", "%", 1, 200, 100, RW},
    {"Carrier frequency", "kHz", 1, 15, 10, RW},
    {"Parameter lock (0 writable, 1 locked)", "", 0, 1, 0, RW},
    {"DC braking start frequency", "0.1 Hz", 0, 600, 15, RW},
    {"DC braking current level", "%", 0, 100, 0, RW},
    {"DC braking at stop (0 off, 1 on)", "", 0, 1, 0, RW},
    {"Communication address (the station number)", "", 0, 31, 0, DV},
    {"Transmission speed (0 1200, 1 2400, 2 4800 baud)", "", 0, 2, 2, DV},
    {"Transmission fault treatment", "", 0, 3, 0, RW},
    {"Communication watchdog time (0 off)", "s", 0, 60, 0, RW},
    {"Skip frequency 1", "0.1 Hz", 0, 4000, 0, RW},
    {"Last fault record", "", 0, 99, 0, RO},
    {"Previous fault record", "", 0, 99, 0, RO},
    {"Skip frequency band", "0.1 Hz", 0, 200, 0, RW},
    {"Automatic energy saving (0 off, 1 on)", "", 0, 1, 0, RW},
    {"Skip frequency 2", "0.1 Hz", 0, 4000, 0, RW},
    {"Skip frequency 3", "0.1 Hz", 0, 4000, 0, RW},
    {"Speed search start frequency", "0.1 Hz", 0, 4000, 600, RW},
    {"Maximum allowable power loss time", "0.1 s", 3, 50, 20, RW},
    {"Motor poles", "", 2, 10, 4, RW},
    {"Motor rated speed", "rpm", 0, 9999, 1710, RW},
    {"Software version", "", 0, 9999, 110, RO},
    {"Drive capacity code", "", 0, 99, 4, RO},
    {"Elapsed run time", "h", 0, 9999, 0, RO},
    {"Restore factory defaults (write 10)", "", 0, 10, 0, RW},
    {"Reserved", "", 0, 0, 0, RO},
    {"Reserved", "", 0, 0, 0, RO},
    {"Reserved", "", 0, 0, 0, RO},
    {"Reserved", "", 0, 0, 0, RO},
}};

} // namespace

bool IsParameterNumber(int number) {
    return number >= 0 && number <= kLastParameter;
}

const ParameterInfo& Parameter(int number) {
    return kParameters[static_cast<size_t>(number)];
}

bool HasOneDecimal(const ParameterInfo& info) {
    return std::strncmp(info.unit, "0.1", 3) == 0;
}

} // namespace sim

// The drive's parameter area P0-P80: names, units, ranges and factory defaults.
#pragma once

#include <cstdint>

namespace sim {

inline constexpr int kLastParameter = 80;
inline constexpr int kParameterCount = kLastParameter + 1;

enum class Access {
    ReadWrite,
    ReadOnly, // the drive answers reads and refuses writes
    Derived,  // read-only, computed by the drive (its station number, the line's baud)
};

struct ParameterInfo {
    const char* name;
    const char* unit; // "0.1 Hz" style units carry one decimal in the raw word
    uint16_t minimum;
    uint16_t maximum;
    uint16_t factoryDefault;
    Access access;
};

bool IsParameterNumber(int number);

// The record of a parameter; number must be 0..kLastParameter.
const ParameterInfo& Parameter(int number);

// True when the raw word carries one decimal place (its unit starts with "0.1").
bool HasOneDecimal(const ParameterInfo& info);

// Parameters with a behaviour in the drive model.
namespace param {
inline constexpr int kFrequencySource = 0;
inline constexpr int kStopMethod = 2;
inline constexpr int kMaxOutputFrequency = 3;
inline constexpr int kAccelerationTime = 10;
inline constexpr int kDecelerationTime = 11;
inline constexpr int kReverseInhibit = 24;
inline constexpr int kUpperFrequencyLimit = 29;
inline constexpr int kLowerFrequencyLimit = 30;
inline constexpr int kMotorRatedCurrent = 33;
inline constexpr int kMotorNoLoadCurrent = 34;
inline constexpr int kParameterLock = 54;
inline constexpr int kStationAddress = 58;
inline constexpr int kLineSpeed = 59;
inline constexpr int kLastFault = 63;
inline constexpr int kPreviousFault = 64;
inline constexpr int kRestoreDefaults = 76;
inline constexpr uint16_t kRestoreDefaultsCode = 10;
} // namespace param

} // namespace sim

#include "comm/scaled_parameters.h"

#include "comm/tag_address.h"

#include <cmath>
#include <utility>

namespace comm {
namespace {

constexpr uint32_t kScaledMonitorWords = 3; // D0, D1, D2
constexpr double kProductTolerance = 1e-6;

// Inclusive ranges of the scaled parameters.
constexpr std::pair<int, int> kScaledRanges[] = {
    {3, 14},  {16, 23}, {29, 31}, {33, 33}, {34, 34}, {36, 36},
    {37, 37}, {47, 49}, {55, 55}, {62, 62}, {65, 65}, {67, 70},
};

constexpr std::array<bool, kParameterCount> MakeScaledParameters() {
    std::array<bool, kParameterCount> flags{};
    for (const auto& [first, last] : kScaledRanges) {
        for (int n = first; n <= last; ++n) {
            flags[static_cast<size_t>(n)] = true;
        }
    }
    return flags;
}

} // namespace

const std::array<bool, kParameterCount> ScaledParameters = MakeScaledParameters();

bool IsScaled(uint16_t area, uint32_t number) {
    if (area == kAreaD) {
        return number < kScaledMonitorWords;
    }
    if (area == kAreaP) {
        return number < ScaledParameters.size() && ScaledParameters[number];
    }
    return false;
}

double ToHostValue(uint16_t area, uint32_t number, uint16_t raw) {
    const double value = raw;
    return IsScaled(area, number) ? value / 10.0 : value;
}

uint16_t RawFromValue(double value) {
    if (!std::isfinite(value)) {
        return 0;
    }
    // fmod keeps the low 16 bits of the truncated number exactly, even for values beyond
    // the 32-bit range where a plain conversion would be undefined.
    double wrapped = std::fmod(std::trunc(value), 65536.0);
    if (wrapped < 0) {
        wrapped += 65536.0;
    }
    return static_cast<uint16_t>(wrapped);
}

uint16_t ToRawValue(uint16_t area, uint32_t number, double value) {
    if (!IsScaled(area, number)) {
        return RawFromValue(value);
    }
    // 2.3 x 10 is 22.999999999999996 in binary floating point; a product that is a whole
    // number but for such an error is taken as that number, so 2.3 Hz is sent as 23.
    const double tenfold = value * 10.0;
    const double nearest = std::round(tenfold);
    const bool wholeButForRounding = std::fabs(tenfold - nearest) < kProductTolerance;
    return RawFromValue(wholeButForRounding ? nearest : tenfold);
}

} // namespace comm

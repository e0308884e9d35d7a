// When a range read has ended, for every reader of parameters in vfda-host (a run's reads
// and the commissioning commands'): once each parameter asked has either a value or a read
// failure counted against it (the module counts one a parameter the drive did not return),
// or once nothing has moved for kStall.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

namespace vfdahost {

class RangeReadEnd {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kStall{4000};

    // A read of `asked` parameters starts; `failures` is the station's read-failure count now.
    void Start(size_t asked, int32_t failures, Clock::time_point now);
    // The read's state now: `arrived` values so far, the station's read-failure count.
    // True once every parameter asked is covered, or nothing moved for kStall.
    bool Ended(size_t arrived, int32_t failures, Clock::time_point now);
    // Failures counted since the start.
    int32_t Failed(int32_t failures) const;

private:
    size_t asked_ = 0;
    int32_t failuresAtStart_ = 0;
    size_t progress_ = 0;
    Clock::time_point lastChange_;
};

} // namespace vfdahost

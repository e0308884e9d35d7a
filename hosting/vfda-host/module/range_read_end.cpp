#include "range_read_end.h"

#include <algorithm>

namespace vfdahost {

void RangeReadEnd::Start(size_t asked, int32_t failures, Clock::time_point now) {
    asked_ = asked;
    failuresAtStart_ = failures;
    progress_ = 0;
    lastChange_ = now;
}

int32_t RangeReadEnd::Failed(int32_t failures) const {
    return std::max(0, failures - failuresAtStart_);
}

bool RangeReadEnd::Ended(size_t arrived, int32_t failures, Clock::time_point now) {
    const size_t progress = arrived + static_cast<size_t>(Failed(failures));
    if (progress >= asked_) {
        return true;
    }
    if (progress != progress_) {
        progress_ = progress;
        lastChange_ = now;
    }
    return now - lastChange_ >= kStall;
}

} // namespace vfdahost

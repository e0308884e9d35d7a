#include "queued_writes.h"

#include "comm/tag_address.h"

#include <algorithm>
#include <thread>

namespace vfdahost {

WriteEffect EffectOfWrite(const TagDefinition& tag) {
    if (tag.type == kDigitalTagType) {
        return WriteEffect::Refused;
    }
    TagBinding binding;
    comm::TagAddress address;
    if (!comm::ParseTagAddress(tag.address.c_str(), binding, address)) {
        return WriteEffect::Refused;
    }
    switch (address.area) {
    case comm::kAreaP:
        return WriteEffect::Frame;
    case comm::kAreaD:
        return address.number == 0 || address.number == 3 ? WriteEffect::Frame
                                                          : WriteEffect::Refused;
    default:
        return address.number == 0 ? WriteEffect::RangeRead : WriteEffect::Stored;
    }
}

void QueuedWrites::Queued(const std::string& station, int32_t counter) {
    targets_[station] = counter + Outstanding(station, counter) + 1;
}

void QueuedWrites::Clearing(const std::string& station, int32_t counter) {
    const auto found = targets_.find(station);
    if (found != targets_.end()) {
        found->second = Outstanding(station, counter);
    }
}

void QueuedWrites::ClearingAll(const CounterReader& counterOf) {
    for (auto& [station, target] : targets_) {
        target = Outstanding(station, counterOf(station));
    }
}

int32_t QueuedWrites::Outstanding(const std::string& station, int32_t counter) const {
    const auto found = targets_.find(station);
    return found != targets_.end() ? std::max(0, found->second - counter) : 0;
}

int32_t QueuedWrites::AllOutstanding(const CounterReader& counterOf) const {
    int32_t outstanding = 0;
    for (const auto& [station, target] : targets_) {
        outstanding += Outstanding(station, counterOf(station));
    }
    return outstanding;
}

int32_t QueuedWrites::WaitUntilSent(const CounterReader& counterOf, std::chrono::milliseconds stall,
                                    std::chrono::milliseconds limit,
                                    std::chrono::milliseconds interval,
                                    const std::function<bool()>& giveUp) {
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto lastProgress = start;
    int32_t outstanding = AllOutstanding(counterOf);
    while (outstanding > 0) {
        const auto now = Clock::now();
        if (now - lastProgress >= stall || now - start >= limit || (giveUp && giveUp())) {
            break;
        }
        std::this_thread::sleep_for(interval);
        const int32_t left = AllOutstanding(counterOf);
        if (left < outstanding) {
            lastProgress = Clock::now();
        }
        outstanding = left;
    }
    Forget();
    return outstanding;
}

} // namespace vfdahost

#include "parameter_reads.h"

#include "comm/tag_address.h"

#include <algorithm>
#include <map>

namespace vfdahost {

std::optional<int> ParameterNumber(const std::string& address) {
    TagBinding binding;
    comm::TagAddress read;
    if (!comm::ParseTagAddress(address.c_str(), binding, read) || read.area != comm::kAreaP) {
        return std::nullopt;
    }
    return read.number;
}

std::vector<ParameterChunk> PlanParameterReads(const std::vector<ParameterTag>& tags) {
    std::vector<std::string> stations; // in first appearance
    std::map<std::string, std::map<int, std::vector<uint32_t>>> byStation;
    for (const ParameterTag& tag : tags) {
        if (byStation.count(tag.station) == 0) {
            stations.push_back(tag.station);
        }
        byStation[tag.station][tag.number].push_back(tag.id);
    }
    std::vector<ParameterChunk> chunks;
    for (const std::string& station : stations) {
        for (const auto& [number, ids] : byStation[station]) {
            ParameterChunk* last = chunks.empty() ? nullptr : &chunks.back();
            const bool extends = last != nullptr && last->station == station &&
                                 last->first + last->count == number &&
                                 last->count < kParametersPerRead;
            if (!extends) {
                chunks.push_back({station, number, 0, {}});
                last = &chunks.back();
            }
            ++last->count;
            last->ids.insert(last->ids.end(), ids.begin(), ids.end());
        }
    }
    return chunks;
}

void ParameterReads::Queue(const std::vector<ParameterChunk>& chunks) {
    waiting_.insert(waiting_.end(), chunks.begin(), chunks.end());
}

void ParameterReads::Clear() {
    waiting_.clear();
    onLine_.reset();
    std::lock_guard guard(lock_);
    awaited_.clear();
}

bool ParameterReads::Answered(uint32_t id) {
    std::lock_guard guard(lock_);
    return awaited_.erase(id) != 0;
}

std::size_t ParameterReads::Awaited() const {
    std::lock_guard guard(lock_);
    return awaited_.size();
}

ParameterReads::Turn ParameterReads::Advance(const FailureCounter& failures, bool passDone,
                                             Clock::time_point now) {
    Turn turn;
    if (onLine_) {
        const std::size_t arrived = onLine_->ids.size() - Awaited();
        if (!onLineEnd_.Ended(arrived, failures(onLine_->station), now)) {
            return turn;
        }
        std::lock_guard guard(lock_);
        turn.missed.assign(awaited_.begin(), awaited_.end());
        awaited_.clear();
        onLine_.reset();
        pauseEnd_ = now + longestPause_;
        turn.ended = true;
        passDone = false;
    }
    if (waiting_.empty() || (!passDone && now < pauseEnd_)) {
        return turn;
    }
    onLine_ = waiting_.front();
    waiting_.pop_front();
    onLineEnd_.Start(onLine_->ids.size(), failures(onLine_->station), now);
    {
        std::lock_guard guard(lock_);
        awaited_.insert(onLine_->ids.begin(), onLine_->ids.end());
    }
    turn.start = onLine_;
    return turn;
}

} // namespace vfdahost

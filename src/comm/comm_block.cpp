#include "comm/comm_block.h"

#include "comm/frame_codec.h"
#include "comm/scaled_parameters.h"
#include "comm/tag_address.h"
#include "config/station_info.h"

#include <iterator>

namespace {

constexpr int kGroupCount = 4;

// The status group that returns each D word: D0, D1 and D2 have a group each, group 3
// returns D3 to D6 in one answer.
constexpr uint16_t kGroupBitOfDWord[] = {0x0001, 0x0002, 0x0004, 0x0008, 0x0008, 0x0008, 0x0008};

uint16_t BitMask(unsigned bit) {
    return static_cast<uint16_t>(1u << bit);
}

} // namespace

CCommBlock::CCommBlock(comm::RequestQueue& requests, comm::ValueChangeQueue& values,
                       CStationInfo& station, uint16_t area)
    : m_requests(requests), m_values(values), m_station(station), m_area(area) {}

size_t CCommBlock::AddBinding(const TagBinding& binding) {
    m_bindings.push_back(binding);
    return m_bindings.size() - 1;
}

int32_t CCommBlock::StatusGroupOf(uint16_t dWord) {
    return dWord < kGroupCount ? dWord : kGroupCount - 1;
}

void CCommBlock::BuildPollMask() {
    if (m_area != comm::kAreaD) {
        return;
    }
    m_pollMask = 0;
    for (const TagBinding& binding : m_bindings) {
        if (binding.parameterNumber < std::size(kGroupBitOfDWord)) {
            m_pollMask |= kGroupBitOfDWord[binding.parameterNumber];
        }
    }
}

void CCommBlock::PollStep() {
    if (m_station.m_enabled == 0) {
        return;
    }
    for (int group = 0; group < kGroupCount; ++group) {
        if ((m_pollMask & BitMask(static_cast<unsigned>(group))) != 0) {
            m_requests.QueueRequest(*this, comm::kLetterQueryGroup, group, 0);
        }
    }
}

void CCommBlock::RangeRead(uint16_t first, uint16_t count) {
    // The end wraps like the drive's 16-bit words: from 65,530 with count 10 reads nothing.
    uint32_t end = static_cast<uint16_t>(first + count);
    if (end > kCacheWords) {
        end = kCacheWords;
    }
    for (uint32_t number = first; number < end; ++number) {
        m_requests.QueueRequest(*this, comm::kLetterReadParameter, static_cast<int32_t>(number), 0);
    }
}

void CCommBlock::DistributeValue(uint16_t number, uint16_t raw) {
    SetCacheWord(number, raw);
    const double value = comm::ToHostValue(m_area, number, raw);
    {
        comm::ValueChangeQueue::Appender changes(m_values);
        for (const TagBinding& binding : m_bindings) {
            if (binding.parameterNumber != number) {
                continue;
            }
            if (binding.IsDigital()) {
                const bool set = (raw & BitMask(binding.bitNumber & 0x0F)) != 0;
                changes.AddBit(binding, set ? 1 : 0);
            } else {
                changes.AddValue(binding, value);
            }
        }
    }
    m_values.Signal();
}

uint16_t CCommBlock::CacheWord(size_t number) const {
    if (number >= kCacheWords) {
        return 0;
    }
    return static_cast<uint16_t>(m_cache[number].load(std::memory_order_relaxed));
}

void CCommBlock::SetCacheWord(size_t number, uint16_t word) {
    if (number < kCacheWords) {
        m_cache[number].store(kKnown | word, std::memory_order_relaxed);
    }
}

std::optional<uint16_t> CCommBlock::KnownWord(size_t number) const {
    if (number >= kCacheWords) {
        return std::nullopt;
    }
    const uint32_t entry = m_cache[number].load(std::memory_order_relaxed);
    if ((entry & kKnown) == 0) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(entry);
}

void CCommBlock::ForgetWords() {
    for (size_t number = 0; number < kCacheWords; ++number) {
        ForgetWord(number);
    }
}

void CCommBlock::ForgetWord(size_t number) {
    if (number < kCacheWords) {
        m_cache[number].fetch_and(~kKnown, std::memory_order_relaxed);
    }
}

bool CCommBlock::PollsWord(uint16_t dWord) const {
    return dWord < std::size(kGroupBitOfDWord) && (m_pollMask & kGroupBitOfDWord[dWord]) != 0;
}

// Everything the driver knows about one area (P, D or C) of one station: the tags bound to
// it, which status groups it polls, and the last word of each parameter. The block queues
// its requests and value changes through two narrow seams, not through its channel.
//
// Threads: bindings and the poll mask are set on the host's thread only while communication
// is stopped (registration, BuildPollMask) and are fixed while it runs. PollStep,
// RangeRead and DistributeValue run on the poll thread (RangeRead also on the host's thread
// for a tag write). The word cache is atomic per word: any thread.
#pragma once

#include "comm/request_queue.h"
#include "comm/tag_binding.h"
#include "comm/value_change_queue.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class CStationInfo;

class CCommBlock {
public:
    static constexpr size_t kCacheWords = 81;

    CCommBlock(comm::RequestQueue& requests, comm::ValueChangeQueue& values, CStationInfo& station,
               uint16_t area);
    CCommBlock(const CCommBlock&) = delete;
    CCommBlock& operator=(const CCommBlock&) = delete;

    // Appends a copy of the binding; returns its index (the low half of its handle).
    size_t AddBinding(const TagBinding& binding);

    // The status group whose query returns the D word (D3 to D6 share group 3).
    static int32_t StatusGroupOf(uint16_t dWord);

    // For a D block: the status groups its bindings need. Other areas poll nothing.
    void BuildPollMask();

    // One visit of the poll thread: queues a status query per group in the mask, lowest
    // group first, unless the station is disabled.
    void PollStep();

    // Queues one parameter read for each of `count` parameters from `first` on, up to P80.
    void RangeRead(uint16_t first, uint16_t count);

    // Hands a received raw word of parameter `number` to every binding of it, keeps it in
    // the cache and wakes the delivery side.
    void DistributeValue(uint16_t number, uint16_t raw);

    // The last word received or written for a parameter; 0 until one is.
    uint16_t CacheWord(size_t number) const;
    // Stores the word as known: the drive reported it, took it, or the host wrote it.
    void SetCacheWord(size_t number, uint16_t word);
    // The word, only while it is known: stored since the last ForgetWords.
    std::optional<uint16_t> KnownWord(size_t number) const;
    // Every word stays as it was but counts as unknown until stored again: the drive may
    // have changed it while the driver could not see it.
    void ForgetWords();
    void ForgetWord(size_t number);
    // True when the D word's status group is in the poll mask: the word is kept current.
    bool PollsWord(uint16_t dWord) const;

    CStationInfo& Station() const { return m_station; }
    uint16_t Area() const { return m_area; }
    uint16_t PollMask() const { return m_pollMask; }
    size_t BindingCount() const { return m_bindings.size(); }
    const TagBinding& Binding(size_t index) const { return m_bindings[index]; }

private:
    comm::RequestQueue& m_requests;
    comm::ValueChangeQueue& m_values;
    CStationInfo& m_station;
    // The word in the low 16 bits, kKnown above it. Written by the poll thread as answers
    // arrive, read by tag writes on the host's thread.
    static constexpr uint32_t kKnown = 0x10000;
    std::array<std::atomic<uint32_t>, kCacheWords> m_cache{};
    // Held by value, one block of memory: a value is handed to every binding of its
    // parameter, so the walk over them is what a busy block costs.
    std::vector<TagBinding> m_bindings;
    uint16_t m_area;
    uint16_t m_pollMask = 0;
};

// The value changes waiting for the host's tag database, with the event that wakes the
// side delivering them. Blocks append the changes of one answer; the channel's delivery
// thread takes them all at once.
//
// Threads: any thread; the list is guarded by its lock, held only for list operations, and
// the host is never called while it is held.
#pragma once

#include "host/vemor_sub.h"
#include "platform/event.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

struct TagBinding;

namespace comm {

class ValueChangeQueue {
public:
    ValueChangeQueue() = default;
    ValueChangeQueue(const ValueChangeQueue&) = delete;
    ValueChangeQueue& operator=(const ValueChangeQueue&) = delete;

    // Appends the value changes of one answer while holding the lock once; the list keeps
    // its room, so a running channel stops allocating once it has seen its busiest answer.
    // Short-lived: host calls and line work never happen while one exists.
    // Threads: holds the queue's lock for its short life, on the thread that made it.
    class Appender {
    public:
        explicit Appender(ValueChangeQueue& queue);
        // A digital tag's bit (0 or 1), or any other tag's value.
        void AddBit(const TagBinding& binding, int bit);
        void AddValue(const TagBinding& binding, double value);

    private:
        std::lock_guard<std::mutex> guard_;
        std::vector<CEventVal>& changes_;
    };

    // Wakes the delivery side; a wake-up given while nobody waits is kept for the next wait.
    void Signal();
    // Waits at most timeoutMs for a wake-up; true when one came.
    bool Wait(uint32_t timeoutMs);
    // The oldest value change, or null when none waits.
    std::unique_ptr<CEventVal> TakeOne();
    // Moves every waiting value change, oldest first, into `into` (emptied first); both
    // lists keep their room for the next time.
    void TakeAll(std::vector<CEventVal>& into);
    // Drops every value change not yet delivered.
    void Discard();

private:
    static void Append(std::vector<CEventVal>& changes, uint32_t tagId, double value);

    platform::AutoResetEvent event_;
    std::mutex lock_;
    std::vector<CEventVal> changes_; // guarded by lock_
};

} // namespace comm

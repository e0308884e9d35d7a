#include "comm/value_change_queue.h"

#include "comm/tag_binding.h"

#include <new>

namespace comm {

ValueChangeQueue::Appender::Appender(ValueChangeQueue& queue)
    : guard_(queue.lock_), changes_(queue.changes_) {}

void ValueChangeQueue::Appender::AddBit(const TagBinding& binding, int bit) {
    Append(changes_, binding.tagId, bit != 0 ? 1.0 : 0.0);
}

void ValueChangeQueue::Appender::AddValue(const TagBinding& binding, double value) {
    Append(changes_, binding.tagId, value);
}

void ValueChangeQueue::Append(std::vector<CEventVal>& changes, uint32_t tagId, double value) {
    CEventVal change;
    change.m_tagId = tagId;
    change.m_value.SetVal(value);
    // A list that cannot grow loses this one value, not the poll thread.
    try {
        changes.push_back(change);
    } catch (const std::bad_alloc&) {
    }
}

void ValueChangeQueue::Signal() {
    event_.Set();
}

bool ValueChangeQueue::Wait(uint32_t timeoutMs) {
    return event_.Wait(timeoutMs);
}

std::unique_ptr<CEventVal> ValueChangeQueue::TakeOne() {
    std::lock_guard guard(lock_);
    if (changes_.empty()) {
        return nullptr;
    }
    auto change = std::make_unique<CEventVal>(changes_.front());
    changes_.erase(changes_.begin());
    return change;
}

void ValueChangeQueue::TakeAll(std::vector<CEventVal>& into) {
    into.clear();
    std::lock_guard guard(lock_);
    into.swap(changes_);
}

void ValueChangeQueue::Discard() {
    std::lock_guard guard(lock_);
    changes_.clear();
}

} // namespace comm

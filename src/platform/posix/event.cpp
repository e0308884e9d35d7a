#include "platform/event.h"

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace platform {

struct AutoResetEvent::State {
    std::mutex lock;
    std::condition_variable changed;
    bool signalled = false;
};

AutoResetEvent::AutoResetEvent() : state_(std::make_unique<State>()) {}
AutoResetEvent::~AutoResetEvent() = default;

void AutoResetEvent::Set() {
    {
        std::lock_guard guard(state_->lock);
        state_->signalled = true;
    }
    state_->changed.notify_one();
}

void AutoResetEvent::Reset() {
    std::lock_guard guard(state_->lock);
    state_->signalled = false;
}

bool AutoResetEvent::Wait(uint32_t timeoutMs) {
    std::unique_lock guard(state_->lock);
    const bool set = state_->changed.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                              [this] { return state_->signalled; });
    state_->signalled = false;
    return set;
}

} // namespace platform

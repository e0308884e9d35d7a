// An auto-reset event: Set releases exactly one waiter (or the next one to wait).
#pragma once

#include "platform/export.h"

#include <cstdint>
#include <memory>

namespace platform {

class TOOLKIT_API AutoResetEvent {
public:
    AutoResetEvent();
    ~AutoResetEvent();
    AutoResetEvent(const AutoResetEvent&) = delete;
    AutoResetEvent& operator=(const AutoResetEvent&) = delete;

    void Set();
    void Reset();
    // Waits at most timeoutMs; true when the event was set (and is now reset again).
    bool Wait(uint32_t timeoutMs);

private:
    struct State;
    std::unique_ptr<State> state_;
};

} // namespace platform

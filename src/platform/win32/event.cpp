#include "platform/event.h"

#include <windows.h>

namespace platform {

struct AutoResetEvent::State {
    HANDLE handle = nullptr;
};

AutoResetEvent::AutoResetEvent() : state_(std::make_unique<State>()) {
    state_->handle = CreateEventW(nullptr, FALSE, FALSE, nullptr);
}

AutoResetEvent::~AutoResetEvent() {
    if (state_->handle != nullptr) {
        CloseHandle(state_->handle);
    }
}

void AutoResetEvent::Set() {
    SetEvent(state_->handle);
}

void AutoResetEvent::Reset() {
    ResetEvent(state_->handle);
}

bool AutoResetEvent::Wait(uint32_t timeoutMs) {
    // INFINITE is a value of the same type: every wait here stays bounded.
    const DWORD limit = timeoutMs == INFINITE ? INFINITE - 1 : timeoutMs;
    return WaitForSingleObject(state_->handle, limit) == WAIT_OBJECT_0;
}

} // namespace platform

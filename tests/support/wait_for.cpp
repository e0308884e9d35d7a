#include "wait_for.h"

#include <chrono>
#include <thread>

namespace testing_support {

bool WaitFor(const std::function<bool()>& condition, int milliseconds, int pollMs) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pollMs));
    }
    return condition();
}

} // namespace testing_support

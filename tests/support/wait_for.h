// Waiting, bounded, for something another thread or process brings about.
#pragma once

#include <functional>

namespace testing_support {

// Looks at the condition every `pollMs` until it holds or `milliseconds` have passed; true
// when it held. The condition is looked at once more at the end.
bool WaitFor(const std::function<bool()>& condition, int milliseconds, int pollMs = 5);

} // namespace testing_support

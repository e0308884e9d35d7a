// Standard input, one line at a time, read on a thread of its own so that the run can wait
// for a command, its end time and Ctrl-C together, each wait bounded.
//
// The reading thread blocks in the standard library until the user types; a run may end
// first (--seconds, Ctrl-C), so the thread is detached and touches nothing but standard
// input and the queue it shares with this object, which it keeps alive itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vfdahost {

// Longer lines are refused as a whole; they are never held.
constexpr size_t kMaxInputLine = 1024;

struct InputLine {
    enum class Kind { Line, TooLong, NoneYet, Ended };
    Kind kind = Kind::NoneYet;
    std::string text;
};

class InputLines {
public:
    InputLines();
    ~InputLines();
    InputLines(const InputLines&) = delete;
    InputLines& operator=(const InputLines&) = delete;

    // The next line, waiting at most timeoutMs for it; NoneYet when none came in time,
    // Ended once standard input has ended and every line before was taken.
    InputLine Next(uint32_t timeoutMs);

private:
    struct Queue;
    static void ReadAll(std::shared_ptr<Queue> queue);

    std::shared_ptr<Queue> queue_;
};

} // namespace vfdahost

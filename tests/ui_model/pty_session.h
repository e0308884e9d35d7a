// A program of the build run in a pseudo-terminal of a given size, as in a user's terminal
// window: the test types keys and reads the screen. Every wait is bounded.
#pragma once

#include "screen_reader.h"

#include <functional>
#include <string>
#include <vector>

namespace uitest {

class PtySession {
public:
    static constexpr int kPatienceMs = 20000;

    PtySession(const std::string& program, const std::vector<std::string>& arguments, int rows,
               int columns);
    ~PtySession(); // kills the program if it still runs
    PtySession(const PtySession&) = delete;
    PtySession& operator=(const PtySession&) = delete;

    bool Started() const { return pid_ > 0; }
    void Type(const std::string& keys);
    // Reads output until the screen satisfies `ready`; false when it does not in time.
    bool WaitFor(const std::function<bool(const ScreenReader&)>& ready,
                 int timeoutMs = kPatienceMs);
    bool WaitForText(const std::string& utf8, int timeoutMs = kPatienceMs);
    // Reads everything until the program ends; its exit code, 128 + n for a signal n, or -1.
    int WaitForExit(int timeoutMs = kPatienceMs);
    void Signal(int signal);
    void Resize(int rows, int columns);
    // The terminal's line settings now: true when echo and canonical input are on again.
    bool LineModeRestored() const;

    const ScreenReader& Screen() const { return screen_; }
    const std::string& Output() const { return output_; } // every byte written so far

private:
    bool ReadSome(int timeoutMs);

    int master_ = -1;
    int pid_ = -1;
    int exitCode_ = -1;
    ScreenReader screen_;
    std::string output_;
};

} // namespace uitest

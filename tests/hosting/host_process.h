// vfda-host as a user runs it in a terminal: a child process whose standard input the test
// types into and whose output lines it waits for, each wait bounded.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

class HostProcess {
public:
    using Timeout = std::chrono::milliseconds;
    static constexpr Timeout kPatience{30000};

    struct Options {
        // "NAME=value" entries added to the child's environment.
        std::vector<std::string> environment;
        // When set, the output is closed after that many lines, as `| head -n N` does.
        std::optional<size_t> linesToRead;
    };

    HostProcess(const std::string& program, const std::vector<std::string>& arguments,
                const Options& options = {});
    // Ends the child's input and waits for it to end; kills it if it does not.
    ~HostProcess();
    HostProcess(const HostProcess&) = delete;
    HostProcess& operator=(const HostProcess&) = delete;

    bool Started() const { return pid_ > 0; }
    void Type(const std::string& line);
    void CloseInput();
    void Interrupt();
    void Signal(int number);

    // The first output line from line `from` on that satisfies `match`; nothing when none
    // comes within the timeout or the child ends without one.
    std::optional<std::string> WaitForLine(const std::function<bool(const std::string&)>& match,
                                           size_t from = 0, Timeout timeout = kPatience);
    // How many lines have come so far: a mark for waiting on what comes next.
    size_t LineCount() const;
    // The exit code once the child has ended, or -1 when it has not within the timeout.
    int WaitForExit(Timeout timeout = kPatience);

    std::vector<std::string> Lines() const;
    std::string AllOutput() const;

private:
    void ReadOutput(int fd, std::optional<size_t> linesToRead);

    int pid_ = -1;
    int input_ = -1;
    std::thread reader_;
    mutable std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::string> lines_;
    bool ended_ = false;
    int exitCode_ = -1;
};

} // namespace testing_support

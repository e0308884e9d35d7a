#include "host_process.h"

#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testing_support {

HostProcess::HostProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const Options& options) {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) {
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    std::vector<std::string> variables = options.environment;
    const auto overridden = [&options](const std::string& variable) {
        const std::string name = variable.substr(0, variable.find('=') + 1);
        for (const std::string& added : options.environment) {
            if (added.compare(0, name.size(), name) == 0) {
                return true;
            }
        }
        return false;
    };
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (!overridden(*variable)) {
            variables.push_back(*variable);
        }
    }
    std::vector<char*> envp;
    for (std::string& variable : variables) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data()) != 0) {
        pid = -1;
    }
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    pid_ = pid;
    input_ = in[1];
    signal(SIGPIPE, SIG_IGN); // typing to a child that has ended must not end the test
    reader_ = std::thread(&HostProcess::ReadOutput, this, out[0], options.linesToRead);
}

HostProcess::~HostProcess() {
    CloseInput();
    bool ended = false;
    {
        std::unique_lock guard(lock_);
        ended = changed_.wait_for(guard, kPatience, [this] { return ended_; });
    }
    if (pid_ > 0 && !ended) {
        kill(pid_, SIGKILL);
    }
    if (reader_.joinable()) {
        reader_.join();
    }
}

void HostProcess::ReadOutput(int fd, std::optional<size_t> linesToRead) {
    std::string partial;
    char buffer[4096];
    while (!linesToRead || LineCount() < *linesToRead) {
        const ssize_t count = read(fd, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            break;
        }
        std::lock_guard guard(lock_);
        partial.append(buffer, static_cast<size_t>(count));
        for (size_t end = partial.find('\n'); end != std::string::npos; end = partial.find('\n')) {
            lines_.push_back(partial.substr(0, end));
            partial.erase(0, end + 1);
        }
        changed_.notify_all();
    }
    close(fd);
    int status = 0;
    const bool waited = pid_ > 0 && waitpid(pid_, &status, 0) == pid_;
    std::lock_guard guard(lock_);
    if (!partial.empty()) {
        lines_.push_back(partial);
    }
    exitCode_ = waited && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    ended_ = true;
    changed_.notify_all();
}

void HostProcess::Type(const std::string& line) {
    const std::string text = line + "\n";
    if (input_ >= 0) {
        [[maybe_unused]] const ssize_t written = write(input_, text.data(), text.size());
    }
}

void HostProcess::CloseInput() {
    if (input_ >= 0) {
        close(input_);
        input_ = -1;
    }
}

void HostProcess::Interrupt() {
    Signal(SIGINT);
}

void HostProcess::Signal(int number) {
    if (pid_ > 0) {
        kill(pid_, number);
    }
}

std::optional<std::string>
HostProcess::WaitForLine(const std::function<bool(const std::string&)>& match, size_t from,
                         Timeout timeout) {
    std::unique_lock guard(lock_);
    std::optional<std::string> found;
    changed_.wait_for(guard, timeout, [&] {
        for (size_t i = from; i < lines_.size(); ++i) {
            if (match(lines_[i])) {
                found = lines_[i];
                return true;
            }
        }
        return ended_;
    });
    return found;
}

size_t HostProcess::LineCount() const {
    std::lock_guard guard(lock_);
    return lines_.size();
}

int HostProcess::WaitForExit(Timeout timeout) {
    std::unique_lock guard(lock_);
    changed_.wait_for(guard, timeout, [this] { return ended_; });
    return ended_ ? exitCode_ : -1;
}

std::vector<std::string> HostProcess::Lines() const {
    std::lock_guard guard(lock_);
    return lines_;
}

std::string HostProcess::AllOutput() const {
    std::string all;
    for (const std::string& line : Lines()) {
        all += line + "\n";
    }
    return all;
}

} // namespace testing_support

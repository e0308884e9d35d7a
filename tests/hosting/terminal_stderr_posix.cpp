#include "terminal_stderr.h"

#include "platform/pseudo_terminal.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <memory>
#include <thread>

extern char** environ;

namespace testing_support {
namespace {

std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (;;) {
        const ssize_t count = read(fd, buffer, sizeof(buffer));
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count <= 0) {
            return text;
        }
        text.append(buffer, static_cast<size_t>(count));
    }
}

} // namespace

ProgramResult RunWithTerminalStderr(const std::string& program,
                                    const std::vector<std::string>& arguments) {
    ProgramResult result;
    std::string error;
    const std::unique_ptr<platform::TerminalLine> terminal =
        platform::TerminalLine::CreatePseudoTerminal(error);
    int out[2];
    if (!terminal || pipe2(out, O_CLOEXEC) != 0) {
        result.err = error;
        return result;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, terminal->Path().c_str(),
                                     O_RDWR | O_NOCTTY, 0);
    std::vector<std::string> words = {program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    const bool spawned =
        posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    // The terminal's bytes are taken while the program runs, so it never waits on a full one.
    std::string terminalBytes;
    std::thread output([&] { result.out = ReadAll(out[0]); });
    while (spawned) {
        uint8_t buffer[4096];
        const long count = terminal->Read(buffer, sizeof(buffer), 100);
        if (count > 0) {
            terminalBytes.append(reinterpret_cast<const char*>(buffer), static_cast<size_t>(count));
        }
        int status = 0;
        if (count <= 0 && waitpid(pid, &status, WNOHANG) == pid) {
            result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
    }
    for (long count = 1; spawned && count > 0;) { // what is left after the exit
        uint8_t buffer[4096];
        count = terminal->Read(buffer, sizeof(buffer), 100);
        terminalBytes.append(reinterpret_cast<const char*>(buffer),
                             static_cast<size_t>(std::max(count, 0L)));
    }
    output.join();
    close(out[0]);
    result.err = terminalBytes;
    return result;
}

} // namespace testing_support

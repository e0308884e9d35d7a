#include "pty_session.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace uitest {
namespace {

long long NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Output that pauses this long has finished drawing its frame.
constexpr int kSettleMs = 25;

} // namespace

PtySession::PtySession(const std::string& program, const std::vector<std::string>& arguments,
                       int rows, int columns)
    : screen_(rows, columns) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) {
        return;
    }
    char name[128] = {};
    if (ptsname_r(master_, name, sizeof(name)) != 0) {
        return;
    }
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    ioctl(master_, TIOCSWINSZ, &size);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) {
        setsid();
        const int slave = open(name, O_RDWR);
        if (slave < 0) {
            _exit(127);
        }
        ioctl(slave, TIOCSCTTY, 0);
        dup2(slave, 0);
        dup2(slave, 1);
        dup2(slave, 2);
        if (slave > 2) {
            close(slave);
        }
        close(master_);
        // The terminal these sessions stand for: one that draws, in a UTF-8 locale, whatever
        // the environment the tests run in says.
        setenv("TERM", "xterm", 1);
        setenv("LC_ALL", "C.UTF-8", 1);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
}

PtySession::~PtySession() {
    if (pid_ > 0 && exitCode_ < 0) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (master_ >= 0) {
        close(master_);
    }
}

void PtySession::Type(const std::string& keys) {
    size_t done = 0;
    while (done < keys.size()) {
        const ssize_t written = write(master_, keys.data() + done, keys.size() - done);
        if (written <= 0 && errno != EINTR) {
            return;
        }
        done += written > 0 ? static_cast<size_t>(written) : 0;
    }
}

bool PtySession::ReadSome(int timeoutMs) {
    pollfd entry{master_, POLLIN, 0};
    if (poll(&entry, 1, timeoutMs) <= 0) {
        return false;
    }
    char chunk[8192];
    const ssize_t count = read(master_, chunk, sizeof(chunk));
    if (count <= 0) {
        return false; // the program closed the terminal (EIO)
    }
    output_.append(chunk, static_cast<size_t>(count));
    screen_.Feed(std::string_view(chunk, static_cast<size_t>(count)));
    return true;
}

bool PtySession::WaitFor(const std::function<bool(const ScreenReader&)>& ready, int timeoutMs) {
    const long long deadline = NowMs() + timeoutMs;
    while (!ready(screen_)) {
        const long long left = deadline - NowMs();
        if (left <= 0) {
            return false;
        }
        // A frame can arrive in pieces: the screen is judged once the output pauses.
        if (ReadSome(static_cast<int>(std::min<long long>(left, 50)))) {
            while (ReadSome(kSettleMs)) {
            }
        }
    }
    return true;
}

bool PtySession::WaitForText(const std::string& utf8, int timeoutMs) {
    return WaitFor([&](const ScreenReader& screen) { return screen.Contains(utf8); }, timeoutMs);
}

int PtySession::WaitForExit(int timeoutMs) {
    if (exitCode_ >= 0 || pid_ <= 0) {
        return exitCode_;
    }
    const long long deadline = NowMs() + timeoutMs;
    for (;;) {
        while (ReadSome(20)) {
        }
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            while (ReadSome(20)) {
            }
            exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            return exitCode_;
        }
        if (NowMs() > deadline) {
            return -1;
        }
    }
}

void PtySession::Signal(int signal) {
    if (pid_ > 0) {
        kill(pid_, signal);
    }
}

void PtySession::Resize(int rows, int columns) {
    winsize size{};
    size.ws_row = static_cast<unsigned short>(rows);
    size.ws_col = static_cast<unsigned short>(columns);
    ioctl(master_, TIOCSWINSZ, &size);
    screen_.Resize(rows, columns);
    if (pid_ > 0) {
        kill(pid_, SIGWINCH);
    }
}

bool PtySession::LineModeRestored() const {
    termios settings{};
    if (tcgetattr(master_, &settings) != 0) {
        return false;
    }
    return (settings.c_lflag & ECHO) != 0 && (settings.c_lflag & ICANON) != 0;
}

} // namespace uitest

#include "platform/pseudo_terminal.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <time.h>
#include <unistd.h>

namespace platform {
namespace {

std::string SystemError(const std::string& what) {
    return what + ": " + std::strerror(errno);
}

bool BaudConstant(uint32_t baud, speed_t& speed) {
    switch (baud) {
    case 1200:
        speed = B1200;
        return true;
    case 2400:
        speed = B2400;
        return true;
    case 4800:
        speed = B4800;
        return true;
    default:
        return false;
    }
}

// Raw bytes both ways: no echo, no line editing, no translation, no signals.
bool MakeRaw(int fd, speed_t speed, bool oddParity) {
    termios settings{};
    if (tcgetattr(fd, &settings) != 0) {
        return false;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS);
    settings.c_cflag |= CS8 | CLOCAL | CREAD;
    if (oddParity) {
        settings.c_cflag |= PARENB | PARODD;
    }
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    cfsetispeed(&settings, speed);
    cfsetospeed(&settings, speed);
    return tcsetattr(fd, TCSANOW, &settings) == 0;
}

uint64_t NowMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000u +
           static_cast<uint64_t>(now.tv_nsec) / 1000000u;
}

// Polls one descriptor for the given events; true when it is ready before the time-out.
bool WaitReady(int fd, short events, uint32_t timeoutMs) {
    pollfd entry{fd, events, 0};
    const uint64_t deadline = NowMs() + timeoutMs;
    for (;;) {
        const uint64_t now = NowMs();
        const int left = now >= deadline ? 0 : static_cast<int>(deadline - now);
        const int result = poll(&entry, 1, left);
        if (result > 0) {
            return true;
        }
        if (result == 0 || errno != EINTR) {
            return false;
        }
    }
}

} // namespace

struct TerminalLine::State {
    int fd = -1;
    int heldSlave = -1;
    std::string path;

    ~State() {
        if (heldSlave >= 0) {
            close(heldSlave);
        }
        if (fd >= 0) {
            close(fd);
        }
    }
};

TerminalLine::TerminalLine(std::unique_ptr<State> state) : state_(std::move(state)) {}
TerminalLine::~TerminalLine() = default;

std::unique_ptr<TerminalLine> TerminalLine::CreatePseudoTerminal(std::string& error) {
    auto state = std::make_unique<State>();
    state->fd = posix_openpt(O_RDWR | O_NOCTTY);
    if (state->fd < 0) {
        error = SystemError("posix_openpt");
        return nullptr;
    }
    if (grantpt(state->fd) != 0 || unlockpt(state->fd) != 0) {
        error = SystemError("grantpt/unlockpt");
        return nullptr;
    }
    char name[128] = {};
    if (ptsname_r(state->fd, name, sizeof(name)) != 0) {
        error = SystemError("ptsname_r");
        return nullptr;
    }
    state->path = name;
    state->heldSlave = open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (state->heldSlave < 0) {
        error = SystemError("open " + state->path);
        return nullptr;
    }
    // Raw at once: an echoing slave would hand our own answers back to us.
    if (!MakeRaw(state->heldSlave, B4800, false)) {
        error = SystemError("tcsetattr " + state->path);
        return nullptr;
    }
    const int flags = fcntl(state->fd, F_GETFL);
    if (flags < 0 || fcntl(state->fd, F_SETFL, flags | O_NONBLOCK) != 0) {
        error = SystemError("fcntl");
        return nullptr;
    }
    return std::unique_ptr<TerminalLine>(new TerminalLine(std::move(state)));
}

std::unique_ptr<TerminalLine> TerminalLine::OpenDevice(const std::string& path, uint32_t baud,
                                                       std::string& error) {
    speed_t speed{};
    if (!BaudConstant(baud, speed)) {
        error = "unsupported baud rate " + std::to_string(baud);
        return nullptr;
    }
    auto state = std::make_unique<State>();
    state->path = path;
    state->fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (state->fd < 0) {
        error = SystemError("open " + path);
        return nullptr;
    }
    if (!MakeRaw(state->fd, speed, true)) {
        error = SystemError("tcsetattr " + path);
        return nullptr;
    }
    tcflush(state->fd, TCIOFLUSH);
    return std::unique_ptr<TerminalLine>(new TerminalLine(std::move(state)));
}

const std::string& TerminalLine::Path() const {
    return state_->path;
}

long TerminalLine::Read(uint8_t* buffer, size_t capacity, uint32_t timeoutMs) {
    if (capacity == 0 || !WaitReady(state_->fd, POLLIN, timeoutMs)) {
        return 0;
    }
    const ssize_t count = read(state_->fd, buffer, capacity);
    if (count >= 0) {
        return static_cast<long>(count);
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? 0 : -1;
}

size_t TerminalLine::Write(const uint8_t* data, size_t count, uint32_t timeoutMs) {
    const uint64_t deadline = NowMs() + timeoutMs;
    size_t written = 0;
    while (written < count) {
        const ssize_t result = write(state_->fd, data + written, count - written);
        if (result > 0) {
            written += static_cast<size_t>(result);
            continue;
        }
        if (result < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            break;
        }
        const uint64_t now = NowMs();
        if (now >= deadline ||
            !WaitReady(state_->fd, POLLOUT, static_cast<uint32_t>(deadline - now))) {
            break;
        }
    }
    return written;
}

void TerminalLine::Purge() {
    tcflush(state_->fd, TCIOFLUSH);
}

uint32_t TerminalLine::LineBaud() const {
    termios settings{};
    if (tcgetattr(state_->fd, &settings) != 0) {
        return 0;
    }
    for (const uint32_t baud : {1200u, 2400u, 4800u}) {
        speed_t speed{};
        if (BaudConstant(baud, speed) && cfgetospeed(&settings) == speed) {
            return baud;
        }
    }
    return 0;
}

bool IsLineBaud(uint32_t baud) {
    speed_t speed{};
    return BaudConstant(baud, speed);
}

} // namespace platform

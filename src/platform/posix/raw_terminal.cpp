#include "platform/raw_terminal.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

// Alternate screen and hidden cursor while the terminal is ours; the reverse on the way out.
constexpr char kEnter[] = "\x1b[?1049h\x1b[?25l\x1b[2J";
constexpr char kLeave[] = "\x1b[0m\x1b[?25h\x1b[?1049l";
// How long the rest of a key's sequence may take after its first byte.
constexpr uint32_t kSequenceMs = 40;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
constexpr size_t kSignalCount = sizeof(kSignals) / sizeof(kSignals[0]);

// Shared with the signal handlers, so plain data set before they are installed.
std::atomic<bool> g_active{false};
std::atomic<bool> g_resized{false};
termios g_saved{};
struct sigaction g_previous[kSignalCount];
struct sigaction g_previousWinch;

void WriteAll(const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = write(STDOUT_FILENO, data, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
}

// Async-signal-safe: tcsetattr and write only.
void RestoreTerminal() {
    if (g_active.exchange(false)) {
        WriteAll(kLeave, sizeof(kLeave) - 1);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_saved);
    }
}

void OnFatalSignal(int signal) {
    const int saved = errno;
    RestoreTerminal();
    // A program that catches the signal itself (a run that stops its drives cleanly) gets it,
    // and keeps its handler for the next one.
    for (size_t at = 0; at < kSignalCount; ++at) {
        const struct sigaction& previous = g_previous[at];
        const bool handled = (previous.sa_flags & SA_SIGINFO) == 0 &&
                             previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN;
        if (kSignals[at] == signal && handled) {
            sigaction(signal, &previous, nullptr);
            previous.sa_handler(signal);
            errno = saved;
            return;
        }
    }
    errno = saved;
    // SA_RESETHAND put the default back: the signal now ends the process as it would have.
    raise(signal);
}

void OnResize(int) {
    g_resized.store(true);
}

void InstallHandlers() {
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    action.sa_handler = OnFatalSignal;
    action.sa_flags = SA_RESETHAND;
    for (size_t at = 0; at < kSignalCount; ++at) {
        sigaction(kSignals[at], &action, &g_previous[at]);
    }
    struct sigaction resize {};
    sigemptyset(&resize.sa_mask);
    resize.sa_handler = OnResize;
    resize.sa_flags = SA_RESTART;
    sigaction(SIGWINCH, &resize, &g_previousWinch);
}

void RemoveHandlers() {
    for (size_t at = 0; at < kSignalCount; ++at) {
        sigaction(kSignals[at], &g_previous[at], nullptr);
    }
    sigaction(SIGWINCH, &g_previousWinch, nullptr);
}

void RestoreAtExit() {
    RestoreTerminal();
}

size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) {
        return 1;
    }
    if ((lead & 0xE0) == 0xC0) {
        return 2;
    }
    if ((lead & 0xF0) == 0xE0) {
        return 3;
    }
    if ((lead & 0xF8) == 0xF0) {
        return 4;
    }
    return 1; // a stray byte: passed on alone, the caller refuses it
}

KeyCode TildeKey(int number) {
    switch (number) {
    case 1:
    case 7:
        return KeyCode::Home;
    case 4:
    case 8:
        return KeyCode::End;
    case 3:
        return KeyCode::Delete;
    case 5:
        return KeyCode::PageUp;
    case 6:
        return KeyCode::PageDown;
    default:
        return KeyCode::None;
    }
}

KeyCode FinalKey(char final) {
    switch (final) {
    case 'A':
        return KeyCode::Up;
    case 'B':
        return KeyCode::Down;
    case 'C':
        return KeyCode::Right;
    case 'D':
        return KeyCode::Left;
    case 'H':
        return KeyCode::Home;
    case 'F':
        return KeyCode::End;
    case 'Z':
        return KeyCode::BackTab;
    default:
        return KeyCode::None;
    }
}

} // namespace

bool RawTerminal::Available() {
    return isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1;
}

RawTerminal::RawTerminal() = default;

std::unique_ptr<RawTerminal> RawTerminal::Open(std::string& error) {
    if (!Available()) {
        error = "standard input and output must be a terminal";
        return nullptr;
    }
    if (g_active.load()) {
        error = "the terminal is in use";
        return nullptr;
    }
    termios saved{};
    if (tcgetattr(STDIN_FILENO, &saved) != 0) {
        error = std::string("tcgetattr: ") + std::strerror(errno);
        return nullptr;
    }
    g_saved = saved;
    termios raw = saved;
    cfmakeraw(&raw);
    raw.c_cc[VMIN] = 0;
    raw.c_cc[VTIME] = 0;
    static const bool registered = std::atexit(RestoreAtExit) == 0;
    (void)registered;
    InstallHandlers();
    g_active.store(true);
    if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) != 0) {
        error = std::string("tcsetattr: ") + std::strerror(errno);
        g_active.store(false);
        RemoveHandlers();
        return nullptr;
    }
    WriteAll(kEnter, sizeof(kEnter) - 1);
    g_resized.store(false);
    return std::unique_ptr<RawTerminal>(new RawTerminal());
}

RawTerminal::~RawTerminal() {
    RestoreTerminal();
    RemoveHandlers();
}

bool RawTerminal::Size(int& rows, int& columns) const {
    winsize size{};
    if (ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) != 0 || size.ws_row == 0 || size.ws_col == 0) {
        return false;
    }
    rows = size.ws_row;
    columns = size.ws_col;
    return true;
}

bool RawTerminal::TakeResized() {
    return g_resized.exchange(false);
}

void RawTerminal::Write(std::string_view bytes) {
    WriteAll(bytes.data(), bytes.size());
}

bool RawTerminal::FillPending(uint32_t timeoutMs) {
    pollfd entry{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&entry, 1, static_cast<int>(timeoutMs));
    if (ready < 0) {
        closed_ = errno != EINTR;
        return false;
    }
    if (ready == 0) {
        return false;
    }
    char chunk[256];
    const ssize_t count = read(STDIN_FILENO, chunk, sizeof(chunk));
    if (count > 0) {
        pending_.append(chunk, static_cast<size_t>(count));
        return true;
    }
    if (count == 0 || (errno != EINTR && errno != EAGAIN)) {
        closed_ = true; // end of input, or the terminal went away
    }
    return false;
}

KeyPress RawTerminal::ReadKey(uint32_t timeoutMs) {
    KeyPress key;
    if (pending_.empty() && !closed_) {
        FillPending(timeoutMs);
    }
    if (pending_.empty()) {
        key.code = closed_ ? KeyCode::Closed : KeyCode::None;
        return key;
    }
    const auto lead = static_cast<unsigned char>(pending_[0]);
    if (lead == 0x1b) {
        if (pending_.size() == 1) {
            FillPending(kSequenceMs);
        }
        if (pending_.size() < 2 || (pending_[1] != '[' && pending_[1] != 'O')) {
            pending_.erase(0, 1);
            key.code = KeyCode::Escape;
            return key;
        }
        // ESC [ parameters final, or ESC O final.
        size_t end = 2;
        for (;;) {
            while (end < pending_.size() && !(pending_[end] >= 0x40 && pending_[end] <= 0x7e)) {
                ++end;
            }
            if (end < pending_.size() || !FillPending(kSequenceMs)) {
                break;
            }
        }
        if (end >= pending_.size()) {
            pending_.clear(); // a broken sequence
            return key;
        }
        const char final = pending_[end];
        const std::string parameters = pending_.substr(2, end - 2);
        pending_.erase(0, end + 1);
        key.code = final == '~' ? TildeKey(std::atoi(parameters.c_str())) : FinalKey(final);
        return key;
    }
    pending_.erase(0, 1);
    switch (lead) {
    case '\r':
    case '\n':
        key.code = KeyCode::Enter;
        return key;
    case '\t':
        key.code = KeyCode::Tab;
        return key;
    case 0x7f:
    case 0x08:
        key.code = KeyCode::Backspace;
        return key;
    case 0x03:
        key.code = KeyCode::Interrupt;
        return key;
    default:
        break;
    }
    if (lead < 0x20) {
        return key; // other control keys do nothing
    }
    key.code = KeyCode::Text;
    key.text.assign(1, static_cast<char>(lead));
    const size_t length = Utf8Length(lead);
    while (pending_.size() < length - 1 && FillPending(kSequenceMs)) {
    }
    const size_t rest = std::min(length - 1, pending_.size());
    key.text.append(pending_, 0, rest);
    pending_.erase(0, rest);
    return key;
}

} // namespace platform

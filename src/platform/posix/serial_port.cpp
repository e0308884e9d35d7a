#include "platform/serial_port.h"

#include "platform/clock.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace platform {
namespace {

constexpr uint32_t kLongestReadTimeoutMs = 1000;

std::mutex g_folderLock;
std::string g_folder;

speed_t Speed(uint32_t baudRate) {
    switch (baudRate) {
    case 1200:
        return B1200;
    case 2400:
        return B2400;
    default:
        return B4800;
    }
}

std::string DevicePath(int number) {
    const std::string folder = SerialDeviceFolder();
    if (!folder.empty()) {
        // A name the folder holds is the folder's, even when its link leads nowhere.
        const std::string mapped = folder + "/com" + std::to_string(number);
        struct stat entry {};
        if (lstat(mapped.c_str(), &entry) == 0) {
            return mapped;
        }
    }
    return "/dev/ttyS" + std::to_string(number - 1);
}

int Remaining(uint32_t start, uint32_t timeoutMs) {
    const uint32_t spent = TickCount() - start;
    return spent >= timeoutMs ? 0 : static_cast<int>(timeoutMs - spent);
}

// Errors by which the system says the device itself is gone, not just busy.
bool DeviceGone(int error) {
    return error == EIO || error == ENXIO || error == ENODEV || error == EBADF;
}

constexpr short kHangUp = POLLERR | POLLHUP | POLLNVAL;

// Milliseconds the line takes for this many characters of 11 bits, rounded up, at least 1.
uint32_t WireMs(uint32_t characters, uint32_t baudRate) {
    const uint64_t bits = static_cast<uint64_t>(characters) * 11u * 1000u;
    return static_cast<uint32_t>(std::max<uint64_t>(1, (bits + baudRate - 1) / baudRate));
}

} // namespace

struct SerialPort::State {
    int fd = -1;
    bool lost = false;
    uint32_t baudRate = 4800;
    uint32_t readTimeoutMs = kLongestReadTimeoutMs;
};

SerialPort::SerialPort() : state_(std::make_unique<State>()) {}

SerialPort::~SerialPort() {
    Close();
}

namespace {

// The device as a user named it: where a COM name's link leads, else the path itself.
std::string ShownDevice(const std::string& path) {
    char target[4096];
    const ssize_t length = readlink(path.c_str(), target, sizeof target);
    return length > 0 && static_cast<size_t>(length) < sizeof target
               ? std::string(target, static_cast<size_t>(length))
               : path;
}

// The system's reason an open of a serial device failed, in the words a user acts on.
std::string OpenErrorText(int error) {
    switch (error) {
    case ENOENT:
    case ENXIO:
    case ENODEV:
        return "no such device (is the adapter plugged in?)";
    case EACCES:
    case EPERM:
        return "permission denied (the user needs the device's group, often dialout)";
    case EBUSY:
    case EWOULDBLOCK:
        return "in use by another program";
    default:
        return std::strerror(error);
    }
}

} // namespace

bool SerialPort::Open(const std::string& deviceName) {
    Close();
    openFailure_.clear();
    const int number = ComPortNumber(deviceName);
    if (number <= 0) {
        openFailure_ = deviceName + ": not a COM port name";
        return false;
    }
    const std::string path = DevicePath(number);
    const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        openFailure_ = ShownDevice(path) + ": " + OpenErrorText(errno);
        return false;
    }
    // Exclusive, as a COM port is: a second open of the same device fails.
    const bool serial = isatty(fd) != 0;
    if (!serial || flock(fd, LOCK_EX | LOCK_NB) != 0 || ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        openFailure_ =
            ShownDevice(path) + ": " + (serial ? OpenErrorText(error) : "not a serial device");
        close(fd);
        return false;
    }
    state_->fd = fd;
    state_->lost = false;
    return true;
}

bool SerialPort::IsOpen() const {
    return state_->fd >= 0;
}

bool SerialPort::IsLost() const {
    return state_->lost;
}

void SerialPort::Configure(uint32_t baudRate, bool rtsCts) {
    termios settings{};
    if (!IsOpen() || tcgetattr(state_->fd, &settings) != 0) {
        return;
    }
    cfmakeraw(&settings);
    settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | CSTOPB | CRTSCTS);
    settings.c_cflag |= CS8 | PARENB | PARODD | CREAD | CLOCAL;
    if (rtsCts) {
        settings.c_cflag |= CRTSCTS;
    }
    settings.c_iflag &= ~static_cast<tcflag_t>(IXON | IXOFF | IXANY);
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    state_->baudRate = baudRate == 1200 || baudRate == 2400 ? baudRate : 4800;
    cfsetispeed(&settings, Speed(baudRate));
    cfsetospeed(&settings, Speed(baudRate));
    tcsetattr(state_->fd, TCSANOW, &settings);
    int lines = TIOCM_DTR | TIOCM_RTS;
    ioctl(state_->fd, TIOCMBIS, &lines);
}

void SerialPort::Purge() {
    if (IsOpen()) {
        tcflush(state_->fd, TCIOFLUSH);
    }
}

bool SerialPort::Write(const uint8_t* bytes, size_t count, uint32_t timeoutMs) {
    if (!IsOpen()) {
        return false;
    }
    const uint32_t start = TickCount();
    while (count > 0) {
        const ssize_t put = write(state_->fd, bytes, count);
        if (put > 0) {
            bytes += put;
            count -= static_cast<size_t>(put);
            continue;
        }
        if (put < 0 && errno != EAGAIN && errno != EINTR) {
            state_->lost = state_->lost || DeviceGone(errno);
            return false;
        }
        pollfd waiting{state_->fd, POLLOUT, 0};
        const int left = Remaining(start, timeoutMs);
        if (left == 0 || poll(&waiting, 1, left) < 0 || (waiting.revents & kHangUp)) {
            state_->lost = state_->lost || (waiting.revents & kHangUp) != 0;
            tcflush(state_->fd, TCOFLUSH); // cancel what was not sent
            return false;
        }
    }
    // The write completes when the line has taken the bytes, as an overlapped write does.
    for (;;) {
        int queued = 0;
        if (ioctl(state_->fd, TIOCOUTQ, &queued) != 0 || queued <= 0) {
            return true;
        }
        const int left = Remaining(start, timeoutMs);
        if (left == 0) {
            tcflush(state_->fd, TCOFLUSH);
            return false;
        }
        // Look again when the queued characters should be through, not every millisecond.
        SleepMs(std::min<uint32_t>(static_cast<uint32_t>(left),
                                   WireMs(static_cast<uint32_t>(queued), state_->baudRate)));
    }
}

void SerialPort::SetReadTimeout(uint32_t timeoutMs) {
    state_->readTimeoutMs = std::clamp<uint32_t>(timeoutMs, 1, kLongestReadTimeoutMs);
}

SerialPort::ReadResult SerialPort::ReadByte(uint8_t& byte) {
    const long got = Read(&byte, 1);
    return got == 1 ? ReadResult::Byte : got == 0 ? ReadResult::NoByte : ReadResult::Failed;
}

long SerialPort::Read(uint8_t* buffer, size_t capacity) {
    return Read(buffer, capacity, state_->readTimeoutMs);
}

long SerialPort::Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) {
    if (!IsOpen()) {
        return -1;
    }
    if (capacity == 0) {
        return 0;
    }
    const uint32_t boundMs = std::min(waitMs, state_->readTimeoutMs);
    const uint32_t start = TickCount();
    // Wait first, then read: a caller that asks to wait expects nothing yet, and a read
    // before the wait would only find the input empty.
    for (;;) {
        pollfd waiting{state_->fd, POLLIN, 0};
        const int ready = poll(&waiting, 1, Remaining(start, boundMs));
        if (ready < 0 && errno != EINTR) {
            return -1;
        }
        if (ready == 0) {
            return 0;
        }
        if (ready > 0 && (waiting.revents & POLLIN) == 0 && (waiting.revents & kHangUp) != 0) {
            // The other end is gone (an unplugged adapter): no byte will come. Wait out the
            // bound as a silent line would, so the caller's pacing stays the same.
            state_->lost = true;
            SleepMs(static_cast<uint32_t>(Remaining(start, boundMs)));
            return 0;
        }
        if (ready > 0) {
            const long got = Take(buffer, capacity);
            if (got != 0) {
                return got;
            }
        }
        if (Remaining(start, boundMs) == 0) {
            return 0;
        }
    }
}

long SerialPort::Take(uint8_t* buffer, size_t capacity) {
    if (!IsOpen()) {
        return -1;
    }
    if (capacity == 0) {
        return 0;
    }
    const ssize_t got = read(state_->fd, buffer, capacity);
    if (got >= 0) {
        return static_cast<long>(got);
    }
    if (errno == EAGAIN || errno == EINTR) {
        return 0;
    }
    state_->lost = state_->lost || DeviceGone(errno);
    return -1;
}

void SerialPort::Close() {
    if (IsOpen()) {
        // The exclusive mark belongs to the terminal, not to this handle: it would outlive the
        // close while anyone else holds the device open, and refuse every later open but root's.
        ioctl(state_->fd, TIOCNXCL);
        close(state_->fd);
        state_->fd = -1;
    }
}

void SetSerialDeviceFolder(const std::string& folder) {
    std::lock_guard guard(g_folderLock);
    g_folder = folder;
}

std::string SerialDeviceFolder() {
    std::lock_guard guard(g_folderLock);
    return g_folder;
}

} // namespace platform

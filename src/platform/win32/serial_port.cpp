#include "platform/serial_port.h"

#include <cstring>
#include <windows.h>

namespace platform {
namespace {

// A pending read is given this long to complete; the port's own read time-out
// (1000 ms) normally completes it first, with or without a byte.
constexpr DWORD kReadWaitMs = 2000;

// Takes back an operation that is still pending, and waits until the system has finished
// with it: its OVERLAPPED record, event and buffer may be released only then. A cancelled
// operation on a COM port completes at once, so this wait is short.
void CancelAndDrain(HANDLE port, OVERLAPPED& operation, DWORD& transferred) {
    CancelIoEx(port, &operation);
    transferred = 0;
    if (!GetOverlappedResult(port, &operation, &transferred, TRUE)) {
        transferred = 0;
    }
}

// One event for one operation, closed when the operation is over.
class OperationEvent {
public:
    explicit OperationEvent(BOOL manualReset)
        : handle_(CreateEventW(nullptr, manualReset, FALSE, nullptr)) {}
    ~OperationEvent() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    OperationEvent(const OperationEvent&) = delete;
    OperationEvent& operator=(const OperationEvent&) = delete;

    HANDLE Handle() const { return handle_; }

private:
    HANDLE handle_;
};

// Errors with which Windows reports that the port's device is gone (a USB adapter pulled
// out), rather than a single operation failing.
bool DeviceGone(DWORD error) {
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_BAD_COMMAND:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
        return true;
    default:
        return false;
    }
}

// One overlapped read of up to `count` bytes, ended as the port's time-outs end it: the
// bytes transferred, or -1 when the read failed.
long ReadOverlapped(HANDLE port, uint8_t* buffer, DWORD count, bool& lost) {
    const OperationEvent done(TRUE);
    if (done.Handle() == nullptr) {
        return -1;
    }
    OVERLAPPED operation{};
    operation.hEvent = done.Handle();
    DWORD transferred = 0;
    if (!ReadFile(port, buffer, count, nullptr, &operation)) {
        const DWORD error = GetLastError();
        if (error == ERROR_TIMEOUT) {
            return 0; // Wine's way of saying at once that no byte came
        }
        if (error != ERROR_IO_PENDING) {
            lost = lost || DeviceGone(error);
            return -1;
        }
        if (WaitForSingleObject(done.Handle(), kReadWaitMs) != WAIT_OBJECT_0) {
            CancelAndDrain(port, operation, transferred);
            return -1;
        }
    }
    if (!GetOverlappedResult(port, &operation, &transferred, FALSE)) {
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE) {
            // Signalled but not finished: take it back; bytes may still have come in.
            CancelAndDrain(port, operation, transferred);
        } else if (error == ERROR_TIMEOUT) {
            // Wine ends a read that timed out this way; Windows reports success with no
            // byte. Either way no byte came.
            transferred = 0;
        } else {
            lost = lost || DeviceGone(error);
            return -1;
        }
    }
    return static_cast<long>(transferred);
}

// The read time-out the port's next read waits for its first byte; set only when it changes.
void ApplyReadWait(HANDLE port, DWORD& applied, DWORD waitMs) {
    if (applied == waitMs) {
        return;
    }
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadTotalTimeoutConstant = waitMs;
    SetCommTimeouts(port, &timeouts);
    applied = waitMs;
}

} // namespace

struct SerialPort::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool lost = false;
    DWORD readTimeoutMs = 1000;
    DWORD appliedWaitMs = 1000; // the read time-out the port has now
};

SerialPort::SerialPort() : state_(std::make_unique<State>()) {}

SerialPort::~SerialPort() {
    Close();
}

namespace {

// The system's reason an open of a COM port failed, in the words a user acts on.
std::string OpenErrorText(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "no such port (is the adapter plugged in?)";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "in use by another program";
    default:
        break;
    }
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

} // namespace

bool SerialPort::Open(const std::string& deviceName) {
    Close();
    openFailure_.clear();
    // Share mode 0: a port that another program holds cannot be opened.
    const HANDLE handle =
        CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        openFailure_ = deviceName + ": " + OpenErrorText(GetLastError());
        return false;
    }
    state_->handle = handle;
    state_->lost = false;
    return true;
}

bool SerialPort::IsOpen() const {
    return state_->handle != INVALID_HANDLE_VALUE;
}

bool SerialPort::IsLost() const {
    return state_->lost;
}

void SerialPort::Configure(uint32_t baudRate, bool rtsCts) {
    if (!IsOpen()) {
        return;
    }
    const HANDLE port = state_->handle;
    // Start from the port's current state: the members not set here keep their values.
    DCB state;
    std::memset(&state, 0, sizeof(state));
    state.DCBlength = sizeof(DCB);
    GetCommState(port, &state);
    state.BaudRate = baudRate;
    state.ByteSize = 8;
    state.Parity = ODDPARITY;
    state.StopBits = ONESTOPBIT;
    SetCommMask(port, 0);

    state.fBinary = 1;
    state.fParity = 1;
    state.fOutxCtsFlow = rtsCts ? 1 : 0;
    state.fOutxDsrFlow = rtsCts ? 1 : 0;
    state.fDtrControl = rtsCts ? DTR_CONTROL_HANDSHAKE : DTR_CONTROL_ENABLE;
    state.fTXContinueOnXoff = 0;
    state.fOutX = 0;
    state.fInX = 0;
    state.fRtsControl = rtsCts ? RTS_CONTROL_HANDSHAKE : RTS_CONTROL_ENABLE;
    SetCommState(port, &state);

    // A one-byte read returns at once when a byte is waiting, else with the next byte or,
    // with none, after the read time-out. Writes have no time-out of their own.
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(port, &timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = state_->readTimeoutMs;
    state_->appliedWaitMs = state_->readTimeoutMs;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    SetCommTimeouts(port, &timeouts);
}

void SerialPort::SetReadTimeout(uint32_t timeoutMs) {
    state_->readTimeoutMs = timeoutMs < 1 ? 1 : timeoutMs > 1000 ? 1000 : timeoutMs;
    if (!IsOpen()) {
        return;
    }
    COMMTIMEOUTS timeouts{};
    GetCommTimeouts(state_->handle, &timeouts);
    timeouts.ReadTotalTimeoutConstant = state_->readTimeoutMs;
    SetCommTimeouts(state_->handle, &timeouts);
    state_->appliedWaitMs = state_->readTimeoutMs;
}

void SerialPort::Purge() {
    if (IsOpen()) {
        PurgeComm(state_->handle, PURGE_TXCLEAR | PURGE_RXCLEAR);
    }
}

bool SerialPort::Write(const uint8_t* bytes, size_t count, uint32_t timeoutMs) {
    if (!IsOpen() || count > MAXDWORD) {
        return false;
    }
    const OperationEvent done(FALSE);
    if (done.Handle() == nullptr) {
        return false;
    }
    OVERLAPPED operation{};
    operation.hEvent = done.Handle();
    // Finished at once (as Wine may do): the bytes are written.
    if (WriteFile(state_->handle, bytes, static_cast<DWORD>(count), nullptr, &operation)) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) {
        state_->lost = state_->lost || DeviceGone(error);
        return false;
    }
    if (WaitForSingleObject(done.Handle(), timeoutMs) == WAIT_OBJECT_0) {
        return true;
    }
    // Not taken in time (a handshake line holding it back): the write is given up.
    DWORD written = 0;
    CancelAndDrain(state_->handle, operation, written);
    return false;
}

SerialPort::ReadResult SerialPort::ReadByte(uint8_t& byte) {
    const long got = Read(&byte, 1);
    return got == 1 ? ReadResult::Byte : got == 0 ? ReadResult::NoByte : ReadResult::Failed;
}

long SerialPort::Read(uint8_t* buffer, size_t capacity) {
    return Read(buffer, capacity, state_->readTimeoutMs);
}

// The first byte as a one-byte read waits for it, then what the driver has already received.
long SerialPort::Read(uint8_t* buffer, size_t capacity, uint32_t waitMs) {
    if (!IsOpen()) {
        return -1;
    }
    if (capacity == 0) {
        return 0;
    }
    if (waitMs == 0) {
        return Take(buffer, capacity);
    }
    ApplyReadWait(state_->handle, state_->appliedWaitMs,
                  waitMs < state_->readTimeoutMs ? waitMs : state_->readTimeoutMs);
    const long first = ReadOverlapped(state_->handle, buffer, 1, state_->lost);
    if (first != 1) {
        return first;
    }
    const long rest = Take(buffer + 1, capacity - 1);
    return rest > 0 ? 1 + rest : 1;
}

long SerialPort::Take(uint8_t* buffer, size_t capacity) {
    if (!IsOpen()) {
        return -1;
    }
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(state_->handle, &errors, &status)) {
        const DWORD error = GetLastError();
        state_->lost = state_->lost || DeviceGone(error);
        return -1;
    }
    const DWORD waiting = status.cbInQue;
    if (waiting == 0 || capacity == 0) {
        return 0;
    }
    // As many bytes as are waiting complete at once under the port's time-outs.
    return ReadOverlapped(state_->handle, buffer,
                          capacity < waiting ? static_cast<DWORD>(capacity) : waiting,
                          state_->lost);
}

void SerialPort::Close() {
    if (IsOpen()) {
        CloseHandle(state_->handle);
        state_->handle = INVALID_HANDLE_VALUE;
    }
}

// COM ports are the system's on Windows: there is no folder of devices to choose.
void SetSerialDeviceFolder(const std::string& /*folder*/) {}

std::string SerialDeviceFolder() {
    return {};
}

} // namespace platform

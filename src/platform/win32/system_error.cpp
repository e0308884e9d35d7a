#include "platform/system_error.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

namespace platform {

// The C library's errno where a call of it failed, else the system's last error.
std::string LastSystemError() {
    const DWORD error = GetLastError();
    if (error == ERROR_SUCCESS) {
        return errno != 0 ? std::strerror(errno) : "";
    }
    char text[256] = {};
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, length);
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r' ||
                               reason.back() == ' ' || reason.back() == '.')) {
        reason.pop_back();
    }
    return reason.empty() ? "error " + std::to_string(error) : reason;
}

} // namespace platform

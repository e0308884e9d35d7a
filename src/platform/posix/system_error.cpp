#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace platform {

std::string LastSystemError() {
    const int error = errno;
    if (error == 0) {
        return "";
    }
    char text[256] = {};
    // The GNU form returns the text, which may or may not be in the buffer.
    const char* reason = strerror_r(error, text, sizeof text);
    return reason != nullptr && *reason != '\0' ? reason : "error " + std::to_string(error);
}

} // namespace platform

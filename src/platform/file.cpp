// What the file back ends share: the loop that writes a whole buffer through their single
// writes.
#include "platform/file.h"

namespace platform {

bool File::WriteAll(const void* buffer, size_t count) {
    if (!IsOpen()) {
        return false;
    }
    const char* bytes = static_cast<const char*>(buffer);
    while (count > 0) {
        const long long put = WriteSome(bytes, count);
        if (put <= 0) {
            return false;
        }
        bytes += put;
        count -= static_cast<size_t>(put);
    }
    return true;
}

} // namespace platform

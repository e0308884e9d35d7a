#include "host_link/message_log.h"

#include "host_link/host_binding.h"
#include "resources/texts.h"

namespace driver {
namespace {

constexpr uint32_t kEventLogFlag = 0x100;

// Fills each %s of a fixed table format in turn; the arguments are copied as they are, so
// any length and any bytes (a '%' included) are safe. A null argument reads as empty.
std::string FillFormat(const char* format, const char* first, const char* second) {
    std::string text;
    const char* arguments[] = {first, second};
    size_t next = 0;
    for (const char* p = format; *p != '\0'; ++p) {
        if (p[0] == '%' && p[1] == 's') {
            const char* argument = next < 2 ? arguments[next] : nullptr;
            ++next;
            if (argument != nullptr) {
                text += argument;
            }
            ++p;
        } else if (p[0] == '%' && p[1] == '%') {
            text += '%';
            ++p;
        } else {
            text += *p;
        }
    }
    return text;
}

} // namespace

std::string FormatLogLine(int32_t number, const char* first, const char* second) {
    const char* format = resources::MessageFormat(number);
    if (format == nullptr) {
        return {};
    }
    return resources::kMessagePrefix + FillFormat(format, first, second);
}

int32_t LogMessage(int32_t number, uint32_t severity, const char* first,
                   const char* second) noexcept {
    const HostBinding& host = HostBinding::Instance();
    if (number < 0 || resources::MessageFormat(number) == nullptr || !host.HasEventLog()) {
        return number;
    }
    // Worker threads log too, and nothing may leave them or the module as an exception: a
    // line that cannot be built (no memory) is not logged.
    try {
        const std::string line = FormatLogLine(number, first, second);
        if (!host.WriteEventLog(severity | kEventLogFlag, line.c_str())) {
            return number;
        }
    } catch (...) {
        return number;
    }
    return -number;
}

} // namespace driver

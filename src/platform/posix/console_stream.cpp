#include "platform/console_stream.h"

#include <unistd.h>

namespace platform {

bool IsTerminal(StandardStream stream) {
    return isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool ShowUtf8OnConsole() {
    return true;
}

bool WriteToConsole(StandardStream, std::string_view) {
    return false;
}

} // namespace platform

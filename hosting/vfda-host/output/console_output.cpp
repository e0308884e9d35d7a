#include "console_output.h"

#include "platform/console_stream.h"

#include <cstdarg>
#include <string>

namespace vfdahost {

bool OutputText(std::FILE* stream, std::string_view text) {
    if (stream == stdout || stream == stderr) {
        const auto which =
            stream == stdout ? platform::StandardStream::Output : platform::StandardStream::Error;
        if (platform::WriteToConsole(which, text)) {
            return true;
        }
    }
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

bool OutputFormatted(std::FILE* stream, const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::va_list again;
    va_copy(again, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, arguments);
    va_end(arguments);
    if (length < 0) {
        va_end(again);
        return false;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.pop_back();
    return OutputText(stream, text);
}

} // namespace vfdahost

#include "platform/console_stream.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

namespace platform {

namespace {

HANDLE StreamHandle(StandardStream stream) {
    return GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
}

} // namespace

// A character device may also be a printer or NUL; only a console has a console mode.
bool IsTerminal(StandardStream stream) {
    const HANDLE handle = StreamHandle(stream);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        GetFileType(handle) != FILE_TYPE_CHAR) {
        return false;
    }
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

bool ShowUtf8OnConsole() {
    if (GetConsoleOutputCP() == 0) {
        return true; // no console: a pipe or a file takes the bytes as they are
    }
    return SetConsoleOutputCP(CP_UTF8) != 0;
}

// Bytes that are not UTF-8 become U+FFFD, as everywhere else the tool shows text.
bool WriteToConsole(StandardStream stream, std::string_view utf8) {
    if (!IsTerminal(stream) || utf8.size() > static_cast<size_t>(INT_MAX)) {
        return false;
    }
    std::fflush(stream == StandardStream::Output ? stdout : stderr);
    const int bytes = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), bytes, wide.data(), length);
    const HANDLE handle = StreamHandle(stream);
    size_t done = 0;
    while (done < wide.size()) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 8192));
        DWORD written = 0;
        if (!WriteConsoleW(handle, wide.data() + done, chunk, &written, nullptr) || written == 0) {
            return true; // a console that takes nothing more: the text is lost, as on a closed pipe
        }
        done += written;
    }
    return true;
}

} // namespace platform

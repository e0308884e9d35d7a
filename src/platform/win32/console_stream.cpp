#include "platform/console_stream.h"

#include <windows.h>

namespace platform {

// A character device may also be a printer or NUL; only a console has a console mode.
bool IsTerminal(StandardStream stream) {
    const HANDLE handle =
        GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
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

} // namespace platform

// Text for people on the standard streams: characters where a stream is a Windows console,
// bytes everywhere else (pipes, files, POSIX terminals).
#pragma once

#include <cstdio>
#include <string_view>

#if defined(__MINGW_PRINTF_FORMAT)
#define VFDA_PRINTF_LIKE(formatAt, firstAt)                                                        \
    __attribute__((format(__MINGW_PRINTF_FORMAT, formatAt, firstAt)))
#else
#define VFDA_PRINTF_LIKE(formatAt, firstAt) __attribute__((format(printf, formatAt, firstAt)))
#endif

namespace vfdahost {

// False when the bytes could not be written (a closed pipe, a full disk).
bool OutputText(std::FILE* stream, std::string_view text);

// The format is always the program's own; what it formats may come from anywhere.
bool OutputFormatted(std::FILE* stream, const char* format, ...) VFDA_PRINTF_LIKE(2, 3);

} // namespace vfdahost

// Whether a standard stream of the process is a terminal a person watches, so that output
// meant only for people (a progress bar) stays off pipes and files.
#pragma once

#include "platform/export.h"

#include <string_view>

namespace platform {

enum class StandardStream { Output, Error };

// True when the stream is a terminal (on Windows: a console).
TOOLKIT_API bool IsTerminal(StandardStream stream);

// Makes the console show the UTF-8 the program writes (Korean texts among it): on Windows the
// console's output code page becomes UTF-8; a POSIX terminal takes the bytes as they are.
// False where a console is there and refused.
TOOLKIT_API bool ShowUtf8OnConsole();

// Writes UTF-8 text to the stream as the characters it holds when the stream is a Windows
// console (a C runtime may take the bytes in its locale's code page there, and Wine's does),
// after what the C stream holds. False where the stream is no console: the caller writes the
// bytes itself, as a POSIX terminal takes them.
TOOLKIT_API bool WriteToConsole(StandardStream stream, std::string_view utf8);

} // namespace platform

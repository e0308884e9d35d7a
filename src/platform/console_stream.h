// Whether a standard stream of the process is a terminal a person watches, so that output
// meant only for people (a progress bar) stays off pipes and files.
#pragma once

#include "platform/export.h"

namespace platform {

enum class StandardStream { Output, Error };

// True when the stream is a terminal (on Windows: a console).
TOOLKIT_API bool IsTerminal(StandardStream stream);

// Makes the console show the UTF-8 the program writes (Korean texts among it): on Windows the
// console's output code page becomes UTF-8; a POSIX terminal takes the bytes as they are.
// False where a console is there and refused.
TOOLKIT_API bool ShowUtf8OnConsole();

} // namespace platform

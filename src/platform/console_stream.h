// Whether a standard stream of the process is a terminal a person watches, so that output
// meant only for people (a progress bar) stays off pipes and files.
#pragma once

#include "platform/export.h"

namespace platform {

enum class StandardStream { Output, Error };

// True when the stream is a terminal (on Windows: a console).
TOOLKIT_API bool IsTerminal(StandardStream stream);

} // namespace platform

// The system's own words for why the last call failed, for messages people act on.
#pragma once

#include "platform/export.h"

#include <string>

namespace platform {

// The reason the last failed system call of this thread gave (errno, GetLastError), as the
// system words it ("No space left on device"); empty when the system recorded none. Read it
// before any other call.
TOOLKIT_API std::string LastSystemError();

} // namespace platform

// A string of a loaded module's own string table, the way a Windows host finds it: by the
// module's handle. The text comes back in CP949, as the module's other texts.
#pragma once

#include "platform/export.h"

#include <cstdint>

namespace ui {

// The text, or null when the module carries no string of that id (a module without a
// resource section, as every module outside Windows, carries none). The text stays valid as
// long as the process runs.
TOOLKIT_API const char* ModuleStringResource(void* moduleHandle, uint32_t id);

} // namespace ui

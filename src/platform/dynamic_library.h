// Run-time loading of libraries by their Windows file name ("VemorDbm.dll").
#pragma once

#include "platform/export.h"

namespace platform {

using LibraryHandle = void*;

// Loads the library; null when it cannot be found or loaded. On POSIX "Name.dll" is looked
// for as "Name.so", first beside the running program (as Windows searches the program's
// folder first), then along the loader's ordinary search path.
TOOLKIT_API LibraryHandle LoadLibraryByName(const char* windowsFileName);

// The address of an exported symbol, or null.
TOOLKIT_API void* FindExport(LibraryHandle library, const char* symbolName);

TOOLKIT_API void FreeLibraryHandle(LibraryHandle library);

// Called by a library when it starts threads of its own, with an address inside it. On
// Windows those threads cannot be joined from the library's detach (the loader lock is held
// there and a thread needs it to exit), so the library then stays loaded until the process
// ends. POSIX joins them at unload and needs nothing.
TOOLKIT_API void KeepLoadedWhileThreadsRun(const void* addressInLibrary);

} // namespace platform

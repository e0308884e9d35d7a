// The module's attach and detach, called by the platform's library entry point
// (DllMain on Windows, load-time constructor and unload-time destructor on POSIX).
#pragma once

// Defined by the module. Attach returns false when the module must refuse to load.
bool OnModuleAttach(void* moduleHandle);
void OnModuleDetach();

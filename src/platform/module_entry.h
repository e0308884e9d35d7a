// The module's attach and detach, called by the platform's library entry point
// (DllMain on Windows, load-time constructor and unload-time destructor on POSIX).
#pragma once

// Defined by the module. Attach returns false when the module must refuse to load.
bool OnModuleAttach(void* moduleHandle);
// The module is unloaded while the process goes on: stop, release and delete everything.
void OnModuleDetach();
// The process ends with the module still loaded while other threads still run (POSIX exit):
// stop what runs (bounded) and release nothing, since what the module would release may
// already be gone. Detach does not follow. Windows ends the other threads before the
// module hears of the exit, and joins nothing under the loader lock, so it never calls this.
void OnProcessExit();

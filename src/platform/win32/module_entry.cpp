// The module's library entry point: process attach and detach go to the module; thread
// notifications need nothing.
#include "platform/module_entry.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // FALSE makes the loader refuse the module.
        return OnModuleAttach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        // At process exit the other threads are gone and the host's libraries may already be
        // detached: the system takes everything back. An unload by FreeLibrary only comes
        // while no worker thread ever ran (a module that starts threads stays loaded).
        if (reserved == nullptr) {
            OnModuleDetach();
        }
        return TRUE;
    default:
        return TRUE;
    }
}

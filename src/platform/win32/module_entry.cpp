// The module's library entry point: process attach and detach go to the module; thread
// notifications need nothing.
#include "platform/module_entry.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        // FALSE makes the loader refuse the module.
        return OnModuleAttach(instance) ? TRUE : FALSE;
    case DLL_PROCESS_DETACH:
        OnModuleDetach();
        return TRUE;
    default:
        return TRUE;
    }
}

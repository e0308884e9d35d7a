// On POSIX the loader runs these when the module is loaded and unloaded, in place of
// DllMain's process attach and detach. exit() keeps other threads running while it destroys
// statics and only then runs the loader's unload-time destructors, so the module also hooks
// exit itself: its handler runs before the statics that existed at attach are destroyed,
// and a detach that comes after it is the process ending, not an unload.
#include "platform/module_entry.h"

#include <atomic>
#include <cstdlib>
#include <dlfcn.h>

namespace {

std::atomic<bool> g_processExiting{false};

void* OwnHandle() {
    Dl_info info{};
    static int anchor = 0;
    if (dladdr(&anchor, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

// Registered from the module, so an unload (dlclose) runs it too, after the detach; it then
// finds nothing left to stop.
void ProcessExiting() {
    g_processExiting = true;
    OnProcessExit();
}

__attribute__((constructor)) void AttachModule() {
    if (OnModuleAttach(OwnHandle())) {
        std::atexit(&ProcessExiting);
    }
}

__attribute__((destructor)) void DetachModule() {
    if (!g_processExiting) {
        OnModuleDetach();
    }
}

} // namespace

// On POSIX the loader runs these when the module is loaded and unloaded, in place of
// DllMain's process attach and detach. exit() keeps other threads running while it destroys
// statics and only then runs the loader's unload-time destructors, so the module also hooks
// exit itself: its handler runs before the statics that existed at attach are destroyed,
// and a detach that comes after it is the process ending, not an unload.
#include "platform/module_entry.h"

#include <atomic>
#include <cxxabi.h>
#include <dlfcn.h>

// The module's own handle for the run time's exit list (defined by the C++ start files).
extern "C" void* __dso_handle;

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

// Registered under the module's own handle, so that an unload (dlclose) runs it too, after
// the detach (it then finds nothing left to stop) and it is never called once the module
// is gone. Plain atexit is not enough: a sanitizer's run time may file it for the process.
void ProcessExiting(void*) {
    g_processExiting = true;
    OnProcessExit();
}

__attribute__((constructor)) void AttachModule() {
    if (OnModuleAttach(OwnHandle())) {
        abi::__cxa_atexit(&ProcessExiting, nullptr, &__dso_handle);
    }
}

__attribute__((destructor)) void DetachModule() {
    if (!g_processExiting) {
        OnModuleDetach();
    }
}

} // namespace

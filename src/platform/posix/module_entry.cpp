// On POSIX the loader runs these when the module is loaded and unloaded, in place of
// DllMain's process attach and detach.
#include "platform/module_entry.h"

#include <dlfcn.h>

namespace {

void* OwnHandle() {
    Dl_info info{};
    static int anchor = 0;
    if (dladdr(&anchor, &info) == 0) {
        return nullptr;
    }
    return info.dli_fbase;
}

__attribute__((constructor)) void AttachModule() {
    OnModuleAttach(OwnHandle());
}

__attribute__((destructor)) void DetachModule() {
    OnModuleDetach();
}

} // namespace

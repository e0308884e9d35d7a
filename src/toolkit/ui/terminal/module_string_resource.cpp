// Outside Windows a module has no resource section: its strings come from its provider.
#include "toolkit/ui/module_string_resource.h"

namespace ui {

const char* ModuleStringResource(void* /*moduleHandle*/, uint32_t /*id*/) {
    return nullptr;
}

} // namespace ui

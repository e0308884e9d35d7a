// On POSIX no window system is the default: a host that wants dialogs installs one (vfda-host
// edit installs the terminal window system).
#include "toolkit/ui/window_system.h"

namespace ui {

WindowSystem* PlatformDefaultWindowSystem() {
    return nullptr;
}

} // namespace ui

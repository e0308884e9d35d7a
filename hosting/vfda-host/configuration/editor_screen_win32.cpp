// Windows: the module shows its own dialogs (the platform's default window system).
#include "editor_screen.h"

namespace vfdahost {

bool EditorScreenAvailable(std::string& /*why*/) {
    return true;
}

bool RunOnEditorScreen(const std::function<void()>& edit, std::string& /*why*/) {
    edit();
    return true;
}

} // namespace vfdahost

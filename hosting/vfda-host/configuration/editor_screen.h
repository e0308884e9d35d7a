// Where the configuration editor shows its dialogs: the terminal on POSIX systems, the
// module's own Windows dialogs on Windows.
#pragma once

#include <functional>
#include <string>

namespace vfdahost {

// False (and why) when the editor has nowhere to show itself.
bool EditorScreenAvailable(std::string& why);
// Runs `edit` with the editor's window system in place and puts the screen back afterwards,
// however `edit` ends. False (and why) when the screen could not be taken over.
bool RunOnEditorScreen(const std::function<void()>& edit, std::string& why);

} // namespace vfdahost

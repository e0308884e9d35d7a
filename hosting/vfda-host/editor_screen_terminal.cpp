// POSIX: the editor's dialogs are drawn in the terminal vfda-host runs in.
#include "editor_screen.h"

#include "platform/raw_terminal.h"
#include "toolkit/ui/terminal/terminal_window_system.h"

namespace vfdahost {

bool EditorScreenAvailable(std::string& why) {
    if (!platform::RawTerminal::Available()) {
        why = "edit needs a terminal on standard input and standard output";
        return false;
    }
    return true;
}

bool RunOnEditorScreen(const std::function<void()>& edit, std::string& why) {
    std::unique_ptr<platform::RawTerminal> terminal = platform::RawTerminal::Open(why);
    if (!terminal) {
        return false;
    }
    ui::TerminalWindowSystem windows(*terminal);
    ui::WindowSystem* previous = ui::SetWindowSystem(&windows);
    struct Restore {
        ui::WindowSystem* previous;
        ~Restore() { ui::SetWindowSystem(previous); }
    } restore{previous};
    edit();
    return true;
}

} // namespace vfdahost

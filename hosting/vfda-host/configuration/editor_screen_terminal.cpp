// POSIX: the editor's dialogs are drawn in the terminal vfda-host runs in.
#include "editor_screen.h"

#include "platform/raw_terminal.h"
#include "terminal_kind.h"
#include "toolkit/ui/terminal/terminal_window_system.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace vfdahost {

namespace {

// The first of the variables set, as the C library picks the locale's character set.
std::string LocaleName() {
    for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return value;
        }
    }
    return "C";
}

bool NamesUtf8(std::string name) {
    for (char& c : name) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name.find("utf-8") != std::string::npos || name.find("utf8") != std::string::npos;
}

} // namespace

bool EditorScreenAvailable(std::string& why) {
    if (!platform::RawTerminal::Available()) {
        why = "edit needs a terminal on standard input and standard output";
        return false;
    }
    if (const std::optional<std::string> term = TermCannotDraw()) {
        why = "edit needs a terminal that moves the cursor and draws colours; TERM is " + *term +
              " (run it in a terminal such as xterm, or set TERM=xterm)";
        return false;
    }
    const std::string locale = LocaleName();
    if (!NamesUtf8(locale)) {
        why = "edit draws Korean texts and lines in UTF-8, which the locale " + locale +
              " cannot show (set LANG=C.UTF-8 or another UTF-8 locale)";
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

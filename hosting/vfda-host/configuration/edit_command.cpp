// vfda-host edit CONFIG: runs the module's configuration editor (DrvEditConfig) on CONFIG
// and prints its result, 1 when the editor saved the file and 0 when it did not, on a line
// of its own once the screen is the user's again. A file that cannot be read is refused
// with the reason before the editor starts.
#include "cli/arguments.h"
#include "commands.h"
#include "config_path.h"
#include "console_output.h"
#include "editor_screen.h"
#include "message_meaning.h"
#include "module_session.h"
#include "text_output.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vfdahost {
namespace {

// The host message the editor shows for a configuration it cannot read.
constexpr int32_t kHostCannotRead = 2002;

} // namespace

int EditCommand(const std::vector<std::string>& words) {
    const cli::Arguments arguments(words, HostCommand("edit"));
    if (!arguments.Ok() || arguments.Positional().size() != 1) {
        const std::string error =
            arguments.Ok() ? "edit takes one configuration file" : arguments.Error();
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("edit").c_str());
        return kExitRefused;
    }
    const std::string& path = arguments.Positional()[0];
    if (const auto unreadable = WhyNotReadable(path)) {
        OutputFormatted(stderr, "vfda-host: %s\n", unreadable->c_str());
        return kExitFailed;
    }
    std::string why;
    if (!EditorScreenAvailable(why)) {
        OutputFormatted(stderr, "vfda-host: %s\n", why.c_str());
        return kExitFailed;
    }

    // Lines the module logs while the editor has the screen are shown after it.
    std::vector<std::string> logLines;
    ModuleSession session;
    hostkit::HostLibraries& host = session.Host();
    host.onEventLog = [&logLines](const hostkit::EventLogLine& line) {
        logLines.push_back(ShownMessage(line.text));
    };
    // The editor shows its own message boxes; only a file it could not read (2002, when the
    // file changed after the check above) is left for this command to say.
    bool unreadable = false;
    host.onMessageBox = [&unreadable](const hostkit::MessageBox& box) {
        unreadable = unreadable || box.code == kHostCannotRead;
    };
    if (!session.Load()) {
        OutputFormatted(stderr, "vfda-host: %s\n",
                        ModuleSession::WhyNotOpened(ModuleSession::Opened::NoModule, path).c_str());
        return kExitFailed;
    }
    int32_t result = 0;
    const bool ran =
        RunOnEditorScreen([&] { result = session.Module().EditConfig(path.c_str()); }, why);
    for (const std::string& line : logLines) {
        OutputFormatted(stderr, "%s\n", line.c_str());
    }
    if (!ran) {
        OutputFormatted(stderr, "vfda-host: %s\n", why.c_str());
        return kExitFailed;
    }
    if (unreadable) {
        OutputFormatted(stderr, "vfda-host: cannot read configuration %s\n",
                        TextForPeople(path).c_str());
        return kExitFailed;
    }
    OutputFormatted(stdout, "%d\n", result);
    return kExitOk;
}

} // namespace vfdahost

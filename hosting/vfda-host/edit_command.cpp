// vfda-host edit CONFIG: runs the module's configuration editor (DrvEditConfig) on CONFIG
// and prints its result, 1 when the editor saved the file and 0 when it did not, on a line
// of its own once the screen is the user's again.
#include "arguments.h"
#include "commands.h"
#include "driver_module.h"
#include "editor_screen.h"
#include "host_libraries.h"
#include "text_output.h"

#include <cstdio>
#include <string>
#include <vector>

namespace vfdahost {

int EditCommand(const std::vector<std::string>& words) {
    const Arguments arguments(words, {}, {});
    if (!arguments.Ok() || arguments.Positional().size() != 1) {
        std::fprintf(stderr, "usage: vfda-host edit CONFIG\n");
        return kExitRefused;
    }
    const std::string& path = arguments.Positional()[0];
    std::string why;
    if (!EditorScreenAvailable(why)) {
        std::fprintf(stderr, "vfda-host: %s\n", why.c_str());
        return kExitFailed;
    }

    // Lines the module logs while the editor has the screen are shown after it.
    std::vector<std::string> logLines;
    hostkit::HostLibraries host;
    host.onEventLog = [&logLines](const hostkit::EventLogLine& line) {
        logLines.push_back(ToUtf8(line.text));
    };
    host.onMessageBox = [](const hostkit::MessageBox&) {}; // shown by the editor itself
    host.Attach();
    hostkit::DriverModule module;
    if (!module.Load()) {
        std::fprintf(stderr, "vfda-host: cannot load %s\n", hostkit::DriverModule::kFileName);
        return kExitFailed;
    }
    int32_t result = 0;
    const bool ran = RunOnEditorScreen([&] { result = module.EditConfig(path.c_str()); }, why);
    for (const std::string& line : logLines) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    if (!ran) {
        std::fprintf(stderr, "vfda-host: %s\n", why.c_str());
        return kExitFailed;
    }
    std::printf("%d\n", result);
    return kExitOk;
}

} // namespace vfdahost

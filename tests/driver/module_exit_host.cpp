// A host that ends its process while the module polls simulated drives, the way many hosts
// end: with the module still loaded. The argument names the ending:
//   exit            exit(0) with two instances open, one of them polling
//   quick-exit      quick_exit(0) (_Exit(0) where there is none), the same
//   return          return 0 from main, the same
//   exit-idle       exit(0) with an instance open that never started communication
//   unload-stopped  stops communication and unloads the module, then exit(0)
//   unload-running  unloads the module while it polls, then exit(0)
// Prints "polling" once values arrive, and every event-log line as "log <text>". The process
// must end with status 0 however it ends; the host's own objects are globals, destroyed at
// exit like a real host's.
#include "driver_module.h"
#include "exit_host_platform.h"
#include "host_libraries.h"
#include "line_configuration.h"
#include "test_files.h"
#include "wait_for.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

constexpr uint16_t kAnalog = 1;
constexpr int kValueWaitMs = 15000;

testing_support::TempFolder g_folder;
hostkit::HostLibraries g_host;
// A host that never unloads the module keeps it to the end: never deleted.
hostkit::DriverModule* g_module = new hostkit::DriverModule;

void PrintEventLog(const hostkit::EventLogLine& line) {
    std::printf("log %s\n", line.text.c_str());
    std::fflush(stdout);
}

// Opens two instances of the line and starts polling on the first; true once values arrive.
bool StartPolling(const std::string& path) {
    const int32_t polling = g_module->Open(path.c_str());
    const int32_t idle = g_module->Open(path.c_str());
    if (polling < 0 || idle < 0 || g_module->InitComm(polling) != 0) {
        return false;
    }
    g_module->RegisterTag(polling, "X.PUMP1", "D0", kAnalog, 0, 1);
    g_module->RegisterTag(polling, "X.PUMP2", "D1", kAnalog, 0, 2);
    g_module->BuildPollMasks(polling);
    g_module->Enable(polling, nullptr, 1);
    return testing_support::WaitFor([] { return !g_host.TagValues().empty(); }, kValueWaitMs);
}

} // namespace

int main(int argc, char** argv) {
    const std::string ending = argc > 1 ? argv[1] : "";
    // A host loads the module before its own libraries (the module binds them at DrvOpen),
    // so their objects are destroyed at exit before the module hears of it.
    const bool loaded = g_module->Load();
    g_host.onEventLog = &PrintEventLog;
    g_host.Attach();
    const int port = testing_support::PrepareExitLine();
    const std::string path = testing_support::WriteLineConfiguration(
        g_folder, "line.cfg", {{"PUMP1", 1}, {"PUMP2", 2}}, port);
    if (!loaded || path.empty()) {
        std::fprintf(stderr, "cannot load the module or write the configuration\n");
        return 2;
    }
    if (ending == "exit-idle") {
        g_module->Open(path.c_str());
        std::exit(0);
    }
    if (!StartPolling(path)) {
        std::fprintf(stderr, "no values arrived\n");
        return 3;
    }
    std::printf("polling\n");
    std::fflush(stdout);
    if (ending == "exit") {
        std::exit(0);
    }
    if (ending == "quick-exit") {
        testing_support::QuickExit(0);
    }
    if (ending == "return") {
        return 0;
    }
    if (ending == "unload-stopped") {
        g_module->Stop(0);
        g_module->Unload();
        std::exit(0);
    }
    if (ending == "unload-running") {
        g_module->Unload();
        std::exit(0);
    }
    std::fprintf(stderr, "unknown ending '%s'\n", ending.c_str());
    return 2;
}

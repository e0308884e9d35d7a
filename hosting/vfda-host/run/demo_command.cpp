// vfda-host demo: three simulated drives on a pseudo-terminal, run through the module as
// vfda-host run does, with a short story told on them.
#include "cli/arguments.h"
#include "commands.h"
#include "console_output.h"
#include "demo_files.h"
#include "demo_script.h"
#include "host_session.h"
#include "interrupt.h"
#include "port_folder.h"
#include "printed_run_events.h"
#include "private_folder.h"
#include "run_options.h"
#include "sim/line_server.h"
#include "sim/simulator.h"

#include <cstdio>

namespace vfdahost {
namespace {

constexpr long kDefaultSeconds = 30;
constexpr uint32_t kDemoBaud = 4800;
constexpr int kDemoComPort = 1; // the configuration's port

struct DemoOptions {
    long seconds = kDefaultSeconds;
    bool json = false;
    bool keepFiles = false;
    TimeStamps stamps = TimeStamps::Run;
};

bool ParseDemoOptions(const std::vector<std::string>& words, DemoOptions& options,
                      std::string& error) {
    const cli::Arguments arguments(words, HostCommand("demo"));
    if (!arguments.Ok() || !arguments.Positional().empty()) {
        error = arguments.Ok() ? "demo takes no file" : arguments.Error();
        return false;
    }
    std::optional<long> seconds;
    if (!ParseSeconds(arguments, seconds, error) ||
        !ParseTimeStamps(arguments, options.stamps, error)) {
        return false;
    }
    options.seconds = seconds.value_or(options.seconds);
    options.json = arguments.Has("--json");
    options.keepFiles = arguments.Has("--keep-files");
    return true;
}

void PrintDemoUsage(const std::string& error) {
    OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("demo").c_str());
}

std::vector<int> StationNumbers() {
    std::vector<int> numbers;
    for (const DemoStation& station : DemoStations()) {
        numbers.push_back(station.number);
    }
    return numbers;
}

// The configuration and the tag file, written and read back as vfda-host run reads them.
bool PrepareFiles(const PrivateFolder& folder, std::vector<TagDefinition>& tags,
                  std::string& error) {
    return WriteDemoConfiguration(folder.File("pumps.cfg"), error) &&
           WriteDemoTags(folder.File("pumps-tags.csv"), error) &&
           ReadTagFile(folder.File("pumps-tags.csv"), tags, error) == TagFileResult::Read;
}

std::string RunDemo(const DemoOptions& options, const PrivateFolder& folder,
                    std::vector<TagDefinition> tags, sim::Simulator& drives, RunEvents& events,
                    std::string& error) {
    HostSession session(events);
    if (!session.Open(folder.File("pumps.cfg"), error)) {
        return "";
    }
    session.InitComm();
    session.RegisterTags(std::move(tags));
    session.Start();
    DemoScript script(session, events, drives, std::chrono::seconds(options.seconds));
    const std::string reason = script.Run();
    session.Finish();
    return reason;
}

} // namespace

int DemoCommand(const std::vector<std::string>& words) {
    DemoOptions options;
    std::string error;
    if (!ParseDemoOptions(words, options, error)) {
        PrintDemoUsage(error);
        return kExitRefused;
    }
    PrivateFolder folder;
    std::vector<TagDefinition> tags;
    if (!folder.Create("vfda-demo-", error) || !PrepareFiles(folder, tags, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    const auto line = platform::TerminalLine::CreatePseudoTerminal(error);
    if (!line) {
        OutputFormatted(stderr, "vfda-host: no pseudo-terminal for the drives: %s\n",
                        error.c_str());
        return kExitFailed;
    }
    sim::Simulator drives(StationNumbers(), kDemoBaud);
    sim::LineOptions lineOptions; // wire timing at 4800 baud, as a real line
    lineOptions.baud = kDemoBaud;
    sim::LineServer server(drives, *line, lineOptions);
    PortFolder ports;
    if (!ports.Create({{kDemoComPort, line->Path()}}, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    server.Start();

    EventPrinter printer(options.json ? OutputForm::Json : OutputForm::Text, options.stamps);
    PrintedRunEvents events(printer);
    events.Note("drives PUMP1 (1), PUMP2 (2) and FAN1 (5) answer on " + line->Path() +
                " as COM1, 4800 baud");
    events.Note("configuration " + folder.File("pumps.cfg") + ", tags " +
                folder.File("pumps-tags.csv"));
    CatchInterrupt();
    const std::string reason = RunDemo(options, folder, std::move(tags), drives, events, error);
    server.Stop();
    if (reason.empty()) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    if (options.keepFiles) {
        folder.Keep();
        events.Note("the files stay in " + folder.Path().string());
    }
    events.End(reason);
    return OutputFailed() ? kExitFailed : kExitOk;
}

} // namespace vfdahost

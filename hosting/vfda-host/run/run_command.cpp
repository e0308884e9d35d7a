// vfda-host run CONFIG --tags TAGS: runs one driver instance over its tags as a SCADA host
// does, printing values, the event log and statistics, and taking commands on stdin.
#include "commands.h"
#include "console_output.h"
#include "csv_value_log.h"
#include "host_session.h"
#include "interrupt.h"
#include "live_view.h"
#include "port_folder.h"
#include "printed_run_events.h"
#include "run_loop.h"
#include "run_options.h"
#include "tag_file.h"

#include <cstdio>

namespace vfdahost {
namespace {

std::string ViewTitle(const LineSettings& settings) {
    return "vfda-host run  " + settings.port + " " + settings.device.value_or("") + "  " +
           std::to_string(settings.baud) + " baud " + settings.framing + "  " +
           std::to_string(settings.stations.size()) + " stations";
}

} // namespace

int RunCommand(const std::vector<std::string>& words) {
    RunOptions options;
    std::string error;
    if (!ParseRunOptions(words, options, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("run").c_str());
        return kExitRefused;
    }
    std::vector<TagDefinition> tags;
    const TagFileResult read = ReadTagFile(options.tagsPath, tags, error);
    if (read != TagFileResult::Read) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return read == TagFileResult::Unreadable ? kExitFailed : kExitRefused;
    }
    PortFolder ports;
    if (!ports.Create(options.ports, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    EventPrinter printer(options.json ? OutputForm::Json : OutputForm::Text, options.stamps);
    PrintedRunEvents printed(printer);
    if (options.quiet) {
        printed.BeQuiet();
    }
    LiveViewEvents news;
    std::string why;
    const bool view = options.view && LiveViewAvailable(why);
    if (options.view && !view) {
        OutputFormatted(stderr, "vfda-host: --view: %s; printing lines instead\n", why.c_str());
    }
    CsvValueLog csv;
    if (options.csvPath && !csv.Open(*options.csvPath, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    std::vector<RunEvents*> kinds{&printed};
    if (options.csvPath) {
        kinds.push_back(&csv);
    }
    if (view) {
        kinds.push_back(&news);
    }
    RunEventFanOut events(kinds);
    CatchInterrupt();
    HostSession session(events);
    if (!session.Open(options.configPath, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    if (options.trace) {
        session.TraceFrames();
    }
    if (options.backOff) {
        session.BackOffLostStations(*options.backOff);
    }
    session.InitComm(options.ports);
    session.RegisterTags(std::move(tags));
    events.Settings(session.Settings(options.ports));
    session.Start();
    std::string reason;
    if (view) {
        printer.Mute(true); // the view has the screen until it closes
        reason = RunLiveView(session, events, news, ViewTitle(session.Settings(options.ports)),
                             options.seconds);
        printer.Mute(false);
    } else {
        reason = RunUntilEnd(session, events, options.seconds);
    }
    session.Finish();
    events.End(reason);
    if (OutputFailed() || csv.Failed()) {
        return kExitFailed;
    }
    // --strict: a line that did not work is a failure for scripts.
    return options.strict && !session.EveryStationAnswered() ? kExitNotDone : kExitOk;
}

} // namespace vfdahost

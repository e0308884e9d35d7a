// vfda-host monitor --port COMn[=PATH]: listens to a line another master polls, and never
// writes to it.
#include "commands.h"
#include "console_output.h"
#include "csv_value_log.h"
#include "interrupt.h"
#include "line_monitor.h"
#include "monitor_options.h"
#include "platform/serial_port.h"
#include "port_folder.h"
#include "text_output.h"

#include <chrono>
#include <cstdio>

namespace vfdahost {
namespace {

// How long one read waits before the monitor looks at the clock and Ctrl-C again.
constexpr uint32_t kLookMs = 50;

// Listens until Ctrl-C, the end of `seconds` or the loss of the port; why it ended.
std::string Listen(platform::SerialPort& port, LineMonitor& monitor, std::optional<long> seconds) {
    const auto deadline = MonitorClock::now() + std::chrono::seconds(seconds.value_or(0));
    uint8_t buffer[256];
    for (;;) {
        if (Interrupted()) {
            return InterruptReason();
        }
        if (seconds && MonitorClock::now() >= deadline) {
            return "seconds";
        }
        const long got = port.Read(buffer, sizeof(buffer), kLookMs);
        const auto now = MonitorClock::now();
        if (got < 0 || port.IsLost()) {
            return "port lost";
        }
        monitor.Hear({buffer, static_cast<size_t>(got)}, now);
        monitor.Settle(now);
    }
}

std::optional<std::string> MappedDevice(const MonitorOptions& options) {
    return options.mapping ? std::optional<std::string>(options.mapping->path) : std::nullopt;
}

} // namespace

int MonitorCommand(const std::vector<std::string>& words) {
    MonitorOptions options;
    std::string error;
    if (!ParseMonitorOptions(words, options, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("monitor").c_str());
        return kExitRefused;
    }
    PortFolder ports;
    if (options.mapping && !ports.Create({*options.mapping}, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    CsvValueLog csv;
    if (options.csvPath && !csv.Open(*options.csvPath, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    platform::SerialPort port;
    const std::string com = "COM" + std::to_string(options.portNumber);
    if (!port.Open("\\\\.\\" + com)) {
        OutputFormatted(stderr, "vfda-host: cannot open %s (%s)\n", com.c_str(),
                        TextForPeople(port.OpenFailure()).c_str());
        return kExitFailed;
    }
    port.Configure(options.baud, false);
    CatchInterrupt();
    EventPrinter printer(options.json ? OutputForm::Json : OutputForm::Text, options.stamps);
    MonitorReport report(printer, {options.trace, options.changesOnly},
                         options.csvPath ? &csv : nullptr);
    report.Listening({com, MappedDevice(options), options.baud});
    LineMonitor monitor(report);
    const std::string reason = Listen(port, monitor, options.seconds);
    monitor.Finish();
    if (reason == "port lost") {
        report.Error("the port " + com + " was lost (an adapter pulled out, a line closed)");
    }
    report.End(reason);
    if (OutputFailed() || csv.Failed() || reason == "port lost") {
        return kExitFailed;
    }
    return Interrupted() ? InterruptExitCode() : kExitOk;
}

} // namespace vfdahost

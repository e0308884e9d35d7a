// vfda-host scan: which station numbers of a line answer, and at which baud rate.
#include "commands.h"
#include "console_output.h"
#include "event_printer.h"
#include "interrupt.h"
#include "port_folder.h"
#include "progress_bar.h"
#include "scan_config.h"
#include "scan_line.h"
#include "scan_options.h"
#include "text_output.h"

#include <cstdio>

namespace vfdahost {
namespace {

// What the drive says it is, for people: ", software version 110, capacity code 4".
std::string IdentityText(const FoundStation& station) {
    std::string text;
    if (station.softwareVersion) {
        text += ", software version " + std::to_string(*station.softwareVersion);
    }
    if (station.capacityCode) {
        text += ", capacity code " + std::to_string(*station.capacityCode);
    }
    return text;
}

void ReportFound(EventPrinter& printer, const FoundStation& station) {
    if (printer.Form() == OutputForm::Json) {
        JsonFields fields;
        fields.Integer("number", station.number).Integer("baud", station.baud);
        fields.IntegerOrNull("software_version", station.softwareVersion)
            .IntegerOrNull("capacity_code", station.capacityCode);
        printer.Print("station", fields, "");
        return;
    }
    OutputFormatted(stdout, "station %02d answers at %u baud%s\n", station.number, station.baud,
                    IdentityText(station).c_str());
    std::fflush(stdout);
}

// The last line; a scan a signal stopped also says why and how many questions it left.
void ReportEnd(EventPrinter& printer, size_t found, size_t notAsked) {
    const bool interrupted = Interrupted();
    if (printer.Form() == OutputForm::Json) {
        JsonFields fields;
        fields.Integer("found", static_cast<long long>(found));
        if (interrupted) {
            fields.Text("reason", InterruptReason())
                .Integer("not_done", static_cast<long long>(notAsked));
        }
        printer.Print("end", fields, "");
        return;
    }
    OutputFormatted(stdout, "%zu station(s) found", found);
    if (interrupted) {
        OutputFormatted(stdout, "; %s: %zu question(s) not asked", InterruptReason(), notAsked);
    }
    OutputFormatted(stdout, "\n");
    std::fflush(stdout);
}

// Stations that answer at different rates cannot share the line's one rate: none is added
// until a scan at one rate (--baud RATE) says which.
bool RatesDiffer(const std::vector<FoundStation>& found) {
    for (const FoundStation& station : found) {
        if (station.baud != found.front().baud) {
            return true;
        }
    }
    return false;
}

} // namespace

int ScanCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ScanOptions options;
    std::string error;
    if (!ParseScanOptions(words, options, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage("scan").c_str());
        return kExitRefused;
    }
    if (options.addTo) {
        if (const auto why = WhyNotAddable(*options.addTo)) {
            OutputFormatted(stderr, "vfda-host: --add-to %s: %s; nothing scanned\n",
                            TextForPeople(*options.addTo).c_str(), TextForPeople(*why).c_str());
            return kExitRefused;
        }
    }
    PortFolder ports;
    if (options.mapping && !ports.Create({*options.mapping}, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    EventPrinter printer(options.json ? OutputForm::Json : OutputForm::Text, options.stamps);
    std::vector<FoundStation> found;
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    const auto report = [&](const FoundStation& station) {
        bar.Clear();
        ReportFound(printer, station);
    };
    size_t asked = 0;
    const size_t total = options.bauds.size() * options.stations.size();
    const auto progress = [&](size_t askedSoFar, size_t all) {
        asked = askedSoFar;
        bar.Show("scan", asked, all);
    };
    if (!ScanLine(options.portNumber, options.bauds, options.stations, report, found, error,
                  progress)) {
        bar.Clear();
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    bar.Clear();
    ReportEnd(printer, found.size(), total - asked);
    if (Interrupted()) {
        if (options.addTo) {
            OutputFormatted(stderr, "vfda-host: the scan was stopped: nothing added to %s\n",
                            TextForPeople(*options.addTo).c_str());
        }
        return InterruptExitCode();
    }
    if (options.addTo && RatesDiffer(found)) {
        OutputFormatted(stderr,
                        "vfda-host: the stations answer at different rates; nothing added to "
                        "%s: scan again with --baud RATE to add those at one rate\n",
                        TextForPeople(*options.addTo).c_str());
        return kExitNotDone;
    }
    if (options.addTo &&
        !AddFoundStations(*options.addTo, options.lockWaitMs, options.portNumber, found)) {
        return kExitFailed;
    }
    return found.empty() ? kExitNotDone : kExitOk;
}

} // namespace vfdahost

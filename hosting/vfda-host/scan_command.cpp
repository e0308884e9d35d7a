// vfda-host scan: which station numbers of a line answer, and at which baud rate.
#include "commands.h"
#include "event_printer.h"
#include "port_folder.h"
#include "progress_bar.h"
#include "scan_config.h"
#include "scan_line.h"
#include "scan_options.h"

#include <cstdio>

namespace vfdahost {
namespace {

void ReportFound(EventPrinter& printer, const FoundStation& station) {
    if (printer.Form() == OutputForm::Json) {
        printer.Print("station",
                      JsonFields().Integer("number", station.number).Integer("baud", station.baud),
                      "");
        return;
    }
    std::printf("station %02d answers at %u baud\n", station.number, station.baud);
    std::fflush(stdout);
}

void ReportEnd(EventPrinter& printer, size_t found) {
    if (printer.Form() == OutputForm::Json) {
        printer.Print("end", JsonFields().Integer("found", static_cast<long long>(found)), "");
        return;
    }
    std::printf("%zu station(s) found\n", found);
}

} // namespace

int ScanCommand(const std::vector<std::string>& words) {
    ScanOptions options;
    std::string error;
    if (!ParseScanOptions(words, options, error)) {
        std::fprintf(stderr, "vfda-host: %s\n%s", error.c_str(), kScanUsage);
        return kExitRefused;
    }
    PortFolder ports;
    if (options.mapping && !ports.Create({*options.mapping}, error)) {
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    EventPrinter printer(options.json ? OutputForm::Json : OutputForm::Text);
    std::vector<FoundStation> found;
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    const auto report = [&](const FoundStation& station) {
        bar.Clear();
        ReportFound(printer, station);
    };
    const auto progress = [&bar](size_t asked, size_t total) { bar.Show("scan", asked, total); };
    if (!ScanLine(options.portNumber, options.bauds, options.stations, report, found, error,
                  progress)) {
        bar.Clear();
        std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    bar.Clear();
    ReportEnd(printer, found.size());
    if (options.addTo && !AddFoundStations(*options.addTo, options.portNumber, found)) {
        return kExitFailed;
    }
    return found.empty() ? kExitNotDone : kExitOk;
}

} // namespace vfdahost

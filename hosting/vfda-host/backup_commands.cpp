// vfda-host backup: a drive's parameters saved to a file.
#include "commands.h"
#include "parameter_commands.h"

#include "platform/file.h"

#include <cstdio>
#include <filesystem>

namespace vfdahost {
namespace {

const char* const kBackupUsage = "usage: vfda-host backup CONFIG STATION... [--out PATH] "
                                 "[--port COMn=PATH]... [--json]\n";

// Where a station's backup goes: --out itself for one station that names no folder, else
// NAME.parameters.json in --out or in the working folder. Separators in a name become '_'.
std::string BackupPath(const ParameterCommandLine& line, const std::string& name,
                       size_t stationCount) {
    std::string file = name + ".parameters.json";
    for (char& c : file) {
        c = (c == '/' || c == '\\' || c == ':') ? '_' : c;
    }
    const auto out = line.values.find("--out");
    if (out == line.values.end()) {
        return file;
    }
    const bool folder = stationCount > 1 || std::filesystem::is_directory(out->second);
    return folder ? (std::filesystem::path(out->second) / file).string() : out->second;
}

// Prints each parameter the drive did not return; true when there was none.
bool ReportMissed(EventPrinter& printer, const ParameterBackup& backup) {
    bool complete = true;
    for (int p = 0; p < kBackupParameters; ++p) {
        if (!backup.values[static_cast<size_t>(p)]) {
            JsonFields fields;
            fields.Text("station", backup.station).Integer("parameter", p);
            printer.Print("missed", fields,
                          backup.station + " P" + std::to_string(p) + ": not read");
            complete = false;
        }
    }
    return complete;
}

} // namespace

int BackupCommand(const std::vector<std::string>& words) {
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, kBackupUsage, 2, line, {"--out"})) {
        return kExitRefused;
    }
    const std::vector<std::string> names(line.positional.begin() + 1, line.positional.end());
    PortFolder ports;
    ParameterSession session;
    std::vector<const CStationInfo*> stations;
    int exitCode = StartOnStations(line, line.positional[0], names, ports, session, stations);
    if (exitCode != kExitOk) {
        return exitCode;
    }
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text);
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    for (size_t i = 0; i < stations.size(); ++i) {
        const ParameterBackup backup = ReadBackup(session, *stations[i], names[i]);
        const std::string path = BackupPath(line, names[i], names.size());
        std::string error;
        if (!SaveAtomically(path, BackupJson(backup), error)) {
            std::fprintf(stderr, "vfda-host: %s\n", error.c_str());
            return kExitFailed;
        }
        const bool complete = ReportMissed(printer, backup);
        JsonFields fields;
        fields.Text("station", names[i]).Text("file", path).Boolean("complete", complete);
        printer.Print("saved", fields,
                      names[i] + " saved to " + path +
                          (complete ? "" : " (some parameters not read)"));
        exitCode = complete ? exitCode : kExitDrivesFailed;
    }
    return exitCode;
}

} // namespace vfdahost

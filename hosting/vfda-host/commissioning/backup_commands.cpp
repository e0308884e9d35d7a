// vfda-host backup: a drive's parameters saved to a file.
#include "backup_reader.h"
#include "commands.h"
#include "console_output.h"
#include "interrupt.h"
#include "parameter_commands.h"
#include "text_output.h"

#include "platform/file.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>

namespace vfdahost {
namespace {

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

// Where a backup that missed parameters goes instead of `path`: NAME.partial.json beside it.
std::string PartialPath(const std::string& path) {
    const std::string suffix = ".json";
    const bool json = path.size() > suffix.size() &&
                      path.compare(path.size() - suffix.size(), suffix.size(), suffix) == 0;
    return (json ? path.substr(0, path.size() - suffix.size()) : path) + ".partial.json";
}

std::string Lowered(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

// Why `path` cannot take the backup of station `name`, or "" when it can. Only a missing file
// or an earlier backup of the same station is replaced; a folder that is not there or cannot
// be written is found here, before any drive is read.
std::string TargetRefusal(const std::string& path, const std::string& name) {
    std::string target;
    if (!platform::FinalTarget(path, target)) {
        return "a link that is not followed (a loop, or planted by another user in a shared "
               "folder)";
    }
    const std::filesystem::path folder = std::filesystem::path(target).parent_path();
    const platform::FileStatus place = platform::StatusOf(folder.empty() ? "." : folder.string());
    if (!place.exists || place.regular) {
        return "the folder " + folder.string() + " does not exist";
    }
    if (place.readOnly) {
        return "the folder " + folder.string() + " cannot be written";
    }
    const platform::FileStatus status = platform::StatusOf(target);
    if (!status.exists) {
        return "";
    }
    if (!status.regular) {
        return "not a regular file";
    }
    if (status.readOnly) {
        return "the file is read-only";
    }
    ParameterBackup earlier;
    std::string error;
    if (LoadBackup(target, earlier, error) != 0) {
        return "the file there is not a parameter backup (" + error + ")";
    }
    if (Lowered(earlier.station) != Lowered(name)) {
        return "the file there is the backup of station " + earlier.station;
    }
    return "";
}

// Every station's file, checked before the line is touched: false (reported) when --out
// cannot hold them, two stations would share a file, or a file may not be replaced.
bool CheckTargets(const ParameterCommandLine& line, const std::vector<std::string>& names,
                  std::vector<std::string>& paths) {
    const auto out = line.values.find("--out");
    if (names.size() > 1 && out != line.values.end() &&
        !std::filesystem::is_directory(out->second)) {
        OutputFormatted(stderr, "vfda-host: --out %s: several stations need an existing folder\n",
                        TextForPeople(out->second).c_str());
        return false;
    }
    std::map<std::string, std::string> owners; // file (ignoring case) -> station
    for (const std::string& name : names) {
        const std::string path = BackupPath(line, name, names.size());
        const auto [place, added] = owners.emplace(Lowered(path), name);
        std::string refusal =
            added ? TargetRefusal(path, name) : "also the file of station " + place->second;
        if (!refusal.empty()) {
            OutputFormatted(stderr, "vfda-host: %s: %s: %s; nothing read\n",
                            TextForPeople(name).c_str(), TextForPeople(path).c_str(),
                            TextForPeople(refusal).c_str());
            return false;
        }
        paths.push_back(path);
    }
    return true;
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

// Saves what was read of one station: under its own name when complete (or asked for with
// --partial), else beside it. False (reported) when the file cannot be written.
bool SaveBackup(EventPrinter& printer, const ParameterBackup& backup, const std::string& path,
                bool complete, bool keepPartial) {
    const bool partial = !complete && !keepPartial;
    const std::string saved = partial ? PartialPath(path) : path;
    std::string error;
    if (!SaveAtomically(saved, BackupJson(backup), error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", TextForPeople(error).c_str());
        return false;
    }
    JsonFields fields;
    fields.Text("station", backup.station).Text("file", saved).Boolean("complete", complete);
    if (partial) {
        fields.Text("kept", path);
    }
    printer.Print("saved", fields,
                  backup.station + " saved to " + saved +
                      (complete  ? ""
                       : partial ? " (some parameters not read; " + path + " left as it was)"
                                 : " (some parameters not read)"));
    return true;
}

} // namespace

int BackupCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "backup", 2, line)) {
        return kExitRefused;
    }
    const std::vector<std::string> names(line.positional.begin() + 1, line.positional.end());
    std::vector<std::string> paths;
    if (!CheckTargets(line, names, paths)) {
        return kExitRefused;
    }
    StationWork work;
    int exitCode = StartStationWork(line, names, Polling::ParametersOnly, work);
    if (exitCode != kExitOk) {
        return exitCode;
    }
    ParameterSession& session = work.session;
    const std::vector<const CStationInfo*>& stations = work.stations;
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    const bool keepPartial = line.flags.count("--partial") != 0;
    // A signal lets the chunk on the line finish; what was read of that station is kept as
    // any incomplete backup is (never over the earlier file), and the stations not reached
    // are named.
    size_t notDone = 0;
    for (size_t i = 0; i < stations.size(); ++i) {
        if (Interrupted()) {
            ReportNotDone(printer, names[i], "not-read", {"P0-P80"});
            ++notDone;
            continue;
        }
        const ParameterBackup backup = ReadBackup(session, *stations[i], names[i]);
        const bool complete = ReportMissed(printer, backup);
        notDone += complete ? 0 : Interrupted() ? 1 : 0;
        if (!SaveBackup(printer, backup, paths[i], complete, keepPartial)) {
            return kExitFailed;
        }
        exitCode = complete ? exitCode : kExitNotDone;
    }
    bar.Clear();
    return Interrupted() ? PrintInterruptEnd(printer, notDone, "stations not backed up whole")
                         : exitCode;
}

} // namespace vfdahost

#include "parameter_commands.h"

#include "backup_reader.h"
#include "cli/arguments.h"
#include "comm/line_rates.h"
#include "commands.h"
#include "console_output.h"
#include "interrupt.h"
#include "text_output.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace vfdahost {

bool ParseParameterCommandLine(const std::vector<std::string>& words, std::string_view command,
                               size_t minimumPositional, ParameterCommandLine& line) {
    const cli::Arguments arguments(words, HostCommand(command));
    std::string error = arguments.Error();
    if (error.empty() && arguments.Positional().size() < minimumPositional) {
        error = "missing arguments";
    }
    if (error.empty()) {
        ParseTimeStamps(arguments, line.stamps, error);
    }
    for (const std::string& text : arguments.Values("--port")) {
        PortMapping mapping;
        if (error.empty() && !ParsePortMapping(text, mapping, error)) {
            break;
        }
        line.ports.push_back(mapping);
    }
    if (!error.empty()) {
        OutputFormatted(stderr, "vfda-host: %s\n%s", error.c_str(), HostUsage(command).c_str());
        return false;
    }
    line.positional = arguments.Positional();
    line.json = arguments.Has("--json");
    for (const cli::Option& option : HostCommand(command).options) {
        const std::string name(option.name);
        if (!option.value.empty()) {
            if (const std::optional<std::string> value = arguments.Value(name)) {
                line.values[name] = *value;
            }
        } else if (arguments.Has(name)) {
            line.flags.insert(name);
        }
    }
    return true;
}

namespace {

// The configured stations of those names, in the same order; kExitOk, else kExitRefused for
// a name the configuration lacks (reported).
int FindStations(const ParameterSession& session, const std::vector<std::string>& names,
                 std::vector<const CStationInfo*>& stations) {
    for (const std::string& name : names) {
        const CStationInfo* station = session.FindStation(name);
        if (station == nullptr) {
            OutputFormatted(stderr, "vfda-host: no station named %s\n",
                            TextForPeople(name).c_str());
            return kExitRefused;
        }
        stations.push_back(station);
    }
    return kExitOk;
}

// A name with commas that no station has is a list of names.
std::vector<std::string> ExpandedNames(const ParameterSession& session,
                                       const std::vector<std::string>& names) {
    std::vector<std::string> expanded;
    for (const std::string& name : names) {
        if (name.find(',') == std::string::npos || session.FindStation(name) != nullptr) {
            expanded.push_back(name);
            continue;
        }
        size_t at = 0;
        for (size_t comma = name.find(','); at <= name.size(); comma = name.find(',', at)) {
            const size_t end = comma == std::string::npos ? name.size() : comma;
            expanded.push_back(name.substr(at, end - at));
            at = end + 1;
        }
    }
    return expanded;
}

} // namespace

int StartStationWork(const ParameterCommandLine& line, const std::vector<std::string>& names,
                     Polling polling, StationWork& work, const StationCheck& check) {
    std::string error;
    if (!work.ports.Create(line.ports, error) || !work.session.Open(line.positional[0], error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    work.names = work.namesMayList ? ExpandedNames(work.session, names) : names;
    if (const int failed = FindStations(work.session, work.names, work.stations)) {
        return failed;
    }
    if (check) {
        if (const int failed = check(work.stations)) {
            return failed;
        }
    }
    if (polling == Polling::ParametersOnly) {
        work.session.LeaveStatusUnpolled();
    }
    if (!work.session.Start(work.stations, line.ports, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", error.c_str());
        return kExitFailed;
    }
    return kExitOk;
}

void ShowReadProgress(ParameterSession& session, ProgressBar& bar) {
    session.SetBeforeLogLine([&bar] { bar.Clear(); });
    session.SetReadProgress([&bar](const CStationInfo& station, int done, int total) {
        bar.Show(ToUtf8(station.m_name) + " reading", static_cast<size_t>(done),
                 static_cast<size_t>(total));
        if (done >= total) {
            bar.Clear();
        }
    });
}

ParameterBackup ReadBackup(ParameterSession& session, const CStationInfo& station,
                           const std::string& name) {
    ParameterBackup backup;
    backup.station = name;
    backup.number = station.m_stationNumber;
    backup.model = station.m_modelIndex;
    backup.baud = comm::LineBaudRate(session.Document().SerialPort().m_baudIndex);
    backup.readAt = UtcNowText();
    const std::vector<std::optional<double>> values =
        session.ReadParameters(station, 0, kBackupParameters);
    std::copy(values.begin(), values.end(), backup.values.begin());
    return backup;
}

int LoadBackupTarget(const ParameterCommandLine& line, BackupTarget& target) {
    std::string error;
    if (const int failed = LoadBackup(line.positional[1], target.file, error)) {
        OutputFormatted(stderr, "vfda-host: %s\n", TextForPeople(error).c_str());
        return failed;
    }
    const auto named = line.values.find("--station");
    target.name = named != line.values.end() ? named->second : target.file.station;
    return kExitOk;
}

int StartOnBackupTarget(const ParameterCommandLine& line, Polling polling, StationWork& work,
                        BackupTarget& target) {
    const int exitCode = StartStationWork(line, {target.name}, polling, work);
    target.station = exitCode == kExitOk ? work.stations[0] : nullptr;
    return exitCode;
}

void ReportNotDone(EventPrinter& printer, const std::string& station, const char* event,
                   const std::vector<std::string>& steps) {
    const std::string undone = std::string(event).replace(3, 1, " "); // "not-read": "not read"
    for (const std::string& step : steps) {
        JsonFields fields;
        fields.Text("station", station).Text("address", step);
        printer.Print(event, fields, station + " " + step + ": " + undone + " (interrupted)");
    }
}

int PrintInterruptEnd(EventPrinter& printer, size_t notDone, const std::string& what) {
    JsonFields fields;
    fields.Text("reason", InterruptReason()).Integer("not_done", static_cast<long long>(notDone));
    printer.Print("end", fields,
                  std::string("end    ") + InterruptReason() + ": " + std::to_string(notDone) +
                      " " + what);
    return InterruptExitCode();
}

int EndInterrupted(EventPrinter& printer, const std::string& station, const char* event,
                   const std::vector<std::string>& notDone) {
    ReportNotDone(printer, station, event, notDone);
    return PrintInterruptEnd(printer, notDone.size(), std::string(event).replace(3, 1, " "));
}

std::string ValueText(const std::optional<double>& value) {
    return value ? NumberText(*value) : "not read";
}

} // namespace vfdahost

// What the one-shot and commissioning commands share: their command line, the session on
// the named stations, and the addresses they take.
#pragma once

#include "backup_file.h"
#include "event_printer.h"
#include "host_tool.h"
#include "parameter_session.h"
#include "port_folder.h"
#include "progress_bar.h"
#include "word_value.h"

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

struct ParameterCommandLine {
    std::vector<std::string> positional;
    std::vector<PortMapping> ports;
    bool json = false;
    std::map<std::string, std::string> values; // the command's own options with a value
    std::set<std::string> flags;               // and those without
    TimeStamps stamps = TimeStamps::Run;
};

// The line of the command of that name, read against its description; false (reported with
// the usage) for a wrong command line.
bool ParseParameterCommandLine(const std::vector<std::string>& words, std::string_view command,
                               size_t minimumPositional, ParameterCommandLine& line);

// What a parameter command works on: the ports it mapped, the module's session, and the
// configured stations it names, in the order named.
struct StationWork {
    // Set before the start: one name may list several stations, "PUMP1,PUMP2" (unless a
    // station is named so).
    bool namesMayList = false;
    PortFolder ports;
    ParameterSession session;
    std::vector<const CStationInfo*> stations;
    std::vector<std::string> names; // as typed, one a station, in the same order
};

// Which words the session polls besides the parameters it reads.
enum class Polling {
    StatusWords,    // D0..D6, so a write is confirmed and a monitor word can be read
    ParametersOnly, // nothing else on the line (backup, compare)
};

// A check of the stations found, before the line is touched: kExitOk, or the exit code
// (reported).
using StationCheck = std::function<int(const std::vector<const CStationInfo*>& stations)>;

// The one way a parameter command reaches its stations: the --port mappings made, the module
// loaded on the configuration (the first operand), the named stations found (2 for a name it
// lacks), `check` passed, communication started (1 when the port does not open). kExitOk, or
// the exit code (reported).
int StartStationWork(const ParameterCommandLine& line, const std::vector<std::string>& names,
                     Polling polling, StationWork& work, const StationCheck& check = {});

// Shows the session's parameter reads on the bar ("NAME reading"), erased once each is done.
void ShowReadProgress(ParameterSession& session, ProgressBar& bar);

// P0..P80 of a started station, with what the backup file records about it.
ParameterBackup ReadBackup(ParameterSession& session, const CStationInfo& station,
                           const std::string& name);

// A restore's or compare's file (CONFIG BACKUP) and the station it is for: --station, else
// the file's own.
struct BackupTarget {
    ParameterBackup file;
    std::string name;
    const CStationInfo* station = nullptr;
};
// Loads line.positional[1] as the target's file and names its station: --station, else the
// file's own; kExitOk, else 1 for a file that cannot be read, 2 for a damaged one (reported).
int LoadBackupTarget(const ParameterCommandLine& line, BackupTarget& target);
// StartStationWork on the loaded target's station, which it sets; kExitOk or the exit code.
int StartOnBackupTarget(const ParameterCommandLine& line, Polling polling, StationWork& work,
                        BackupTarget& target);

// What a command a signal stopped leaves undone, once its transaction under way is done: an
// event `event` ("not-written", "not-read") for each step, by name.
void ReportNotDone(EventPrinter& printer, const std::string& station, const char* event,
                   const std::vector<std::string>& steps);
// The last line of a command a signal stopped: an "end" event with the reason and how many
// steps were left undone; returns the exit code that names the signal.
int PrintInterruptEnd(EventPrinter& printer, size_t notDone, const std::string& what);
// Both, for one station.
int EndInterrupted(EventPrinter& printer, const std::string& station, const char* event,
                   const std::vector<std::string>& notDone);

// A parameter's value for people ("not read" when missing).
std::string ValueText(const std::optional<double>& value);

} // namespace vfdahost

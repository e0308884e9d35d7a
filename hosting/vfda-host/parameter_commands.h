// What the one-shot and commissioning commands share: their command line, the session on
// the named stations, and the addresses they take.
#pragma once

#include "backup_file.h"
#include "event_printer.h"
#include "parameter_session.h"
#include "port_folder.h"
#include "progress_bar.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace vfdahost {

// The line has been used, but the drives did not all do what was asked.
constexpr int kExitDrivesFailed = 3;

struct ParameterCommandLine {
    std::vector<std::string> positional;
    std::vector<PortMapping> ports;
    bool json = false;
    std::map<std::string, std::string> values; // the command's own options with a value
    std::set<std::string> flags;               // and those without
};

// False (reported with the usage) for a wrong command line; `extraValues`/`extraFlags` are
// the command's own options besides --port and --json.
bool ParseParameterCommandLine(const std::vector<std::string>& words, const char* usage,
                               size_t minimumPositional, ParameterCommandLine& line,
                               const std::set<std::string>& extraValues = {},
                               const std::set<std::string>& extraFlags = {});

// The ports mapped, the module loaded and the configuration opened; kExitOk or the code to
// exit with (reported).
int OpenSession(const ParameterCommandLine& line, const std::string& configPath, PortFolder& ports,
                ParameterSession& session);

// OpenSession, then communication started on the named stations (`stations` in the same
// order); kExitOk, else 2 for a name the configuration lacks or 1 (reported).
int StartOnStations(const ParameterCommandLine& line, const std::string& configPath,
                    const std::vector<std::string>& names, PortFolder& ports,
                    ParameterSession& session, std::vector<const CStationInfo*>& stations);

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
// Loads line.positional[1] and starts communication on the target station; kExitOk or the
// exit code (reported): 1 for a file that cannot be read, 2 for a damaged one.
int StartOnBackupStation(const ParameterCommandLine& line, PortFolder& ports,
                         ParameterSession& session, BackupTarget& target);

// A parameter's value for people ("not read" when missing) and for JSON (null then).
std::string ValueText(const std::optional<double>& value);
void NumberOrNull(JsonFields& fields, const char* key, const std::optional<double>& value);

// An address of one station's word: P0..P80 or D0..D6.
struct WordAddress {
    char area = 'P';
    int number = 0;
    std::string Text() const { return area + std::to_string(number); }
};
std::optional<WordAddress> ParseWordAddress(const std::string& text);

} // namespace vfdahost

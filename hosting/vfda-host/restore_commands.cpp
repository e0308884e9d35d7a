// vfda-host restore and clone: a backup put onto a drive, writing only what differs and
// saying what still differs afterwards, and why.
#include "commands.h"
#include "parameter_commands.h"

#include <cstdio>
#include <set>

namespace vfdahost {
namespace {

const char* const kRestoreUsage =
    "usage: vfda-host restore CONFIG BACKUP [--station NAME] [--port COMn=PATH]... [--force] "
    "[--dry-run] [--json]\n";
const char* const kCloneUsage =
    "usage: vfda-host clone CONFIG FROM TO... [--port COMn=PATH]... [--force] [--json]\n";

// The drive's own records, which it never takes from the line: its station number and line
// speed, the fault records, software version, capacity, run time and the reserved words.
const std::set<int> kDriveOwned = {58, 59, 63, 64, 73, 74, 75, 77, 78, 79, 80};
constexpr int kParameterLock = 54;
constexpr int kStatusWord = 4;
constexpr int kRunningBit = 0x01;

struct RestoreOptions {
    bool force = false;
    bool dryRun = false;
};

using Values = std::array<std::optional<double>, kBackupParameters>;

bool Differs(const Values& file, const Values& drive, int p) {
    const size_t i = static_cast<size_t>(p);
    return file[i] && file[i] != drive[i];
}

// The parameters to write, in number order, except that a lock the file lifts goes first and
// a lock it sets goes last, so the lock never refuses the file's own words.
std::vector<int> WriteOrder(const Values& file, const Values& drive) {
    std::vector<int> order;
    const bool lockDiffers = Differs(file, drive, kParameterLock);
    const bool fileLocks = lockDiffers && *file[kParameterLock] != 0;
    if (lockDiffers && !fileLocks) {
        order.push_back(kParameterLock);
    }
    for (int p = 0; p < kBackupParameters; ++p) {
        if (p != kParameterLock && kDriveOwned.count(p) == 0 && Differs(file, drive, p)) {
            order.push_back(p);
        }
    }
    if (fileLocks) {
        order.push_back(kParameterLock);
    }
    return order;
}

class Restorer {
public:
    Restorer(ParameterSession& session, EventPrinter& printer, ProgressBar& bar,
             const RestoreOptions& options)
        : session_(session), printer_(printer), bar_(bar), options_(options) {}

    // Puts `file` onto the station; true when the drive matches it afterwards (or, for a dry
    // run, when it could be read).
    bool Restore(const CStationInfo& station, const std::string& name, const ParameterBackup& file);

private:
    bool Refuse(const std::string& name, const char* reason, const std::string& text) {
        JsonFields fields;
        fields.Text("station", name).Text("reason", reason);
        printer_.Print("refused", fields, name + ": not restored: " + text);
        return false;
    }
    bool MayWrite(const CStationInfo& station, const std::string& name, int fileModel);
    std::set<int> WriteDifferences(const CStationInfo& station, const std::string& name,
                                   const Values& file, const Values& drive);
    bool ReportRemaining(const std::string& name, const Values& file, const Values& after,
                         const std::set<int>& refused);

    ParameterSession& session_;
    EventPrinter& printer_;
    ProgressBar& bar_;
    const RestoreOptions options_;
};

bool Restorer::MayWrite(const CStationInfo& station, const std::string& name, int fileModel) {
    if (station.m_modelIndex != fileModel) {
        return Refuse(name, "model",
                      "the configured model " + std::to_string(station.m_modelIndex) +
                          " differs from the file's " + std::to_string(fileModel));
    }
    const std::optional<double> status = session_.ReadMonitor(station, kStatusWord);
    if (!status) {
        return Refuse(name, "not answering", "the drive does not answer");
    }
    const bool running = (static_cast<int>(*status) & kRunningBit) != 0;
    if (running && !options_.force) {
        return Refuse(name, "running", "the drive is running (--force writes all the same)");
    }
    return true;
}

// Writes each differing parameter and returns those the drive refused.
std::set<int> Restorer::WriteDifferences(const CStationInfo& station, const std::string& name,
                                         const Values& file, const Values& drive) {
    std::set<int> refused;
    const std::vector<int> order = WriteOrder(file, drive);
    size_t done = 0;
    for (const int p : order) {
        const double value = *file[static_cast<size_t>(p)];
        const std::string address = "P" + std::to_string(p);
        JsonFields fields;
        fields.Text("station", name).Text("address", address).Number("value", value);
        if (options_.dryRun) {
            NumberOrNull(fields, "drive", drive[static_cast<size_t>(p)]);
            printer_.Print("would-write", fields,
                           name + " " + address + " would be " + NumberText(value) + " (drive " +
                               ValueText(drive[static_cast<size_t>(p)]) + ")");
            continue;
        }
        bar_.Show(name + " writing", done++, order.size());
        const bool ok = session_.Write(station, 'P', p, value);
        fields.Boolean("ok", ok);
        bar_.Clear();
        printer_.Print("written", fields,
                       name + " " + address + " = " + NumberText(value) +
                           (ok ? " written" : " not accepted"));
        if (!ok) {
            refused.insert(p);
        }
    }
    return refused;
}

// Prints what still differs and why; true when only the drive's own records do.
bool Restorer::ReportRemaining(const std::string& name, const Values& file, const Values& after,
                               const std::set<int>& refused) {
    const bool locked = after[kParameterLock].value_or(0) != 0;
    int remaining = 0;
    for (int p = 0; p < kBackupParameters; ++p) {
        if (!Differs(file, after, p)) {
            continue;
        }
        const bool own = kDriveOwned.count(p) != 0;
        const char* reason = own                              ? "read-only"
                             : !after[static_cast<size_t>(p)] ? "not read"
                             : refused.count(p) == 0          ? "not kept"
                             : locked && p != kParameterLock  ? "locked"
                                                              : "refused";
        remaining += own ? 0 : 1;
        JsonFields fields;
        fields.Text("station", name).Integer("parameter", p);
        NumberOrNull(fields, "file", file[static_cast<size_t>(p)]);
        NumberOrNull(fields, "drive", after[static_cast<size_t>(p)]);
        fields.Text("reason", reason);
        printer_.Print("difference", fields,
                       name + " P" + std::to_string(p) + ": file " +
                           ValueText(file[static_cast<size_t>(p)]) + ", drive " +
                           ValueText(after[static_cast<size_t>(p)]) + " (" + reason + ")");
    }
    return remaining == 0;
}

bool Restorer::Restore(const CStationInfo& station, const std::string& name,
                       const ParameterBackup& file) {
    if (!MayWrite(station, name, file.model)) {
        return false;
    }
    const Values before = ReadBackup(session_, station, name).values;
    const std::set<int> refused = WriteDifferences(station, name, file.values, before);
    if (options_.dryRun) {
        return true;
    }
    const Values after = ReadBackup(session_, station, name).values;
    const bool matches = ReportRemaining(name, file.values, after, refused);
    JsonFields fields;
    fields.Text("station", name).Boolean("matches", matches);
    printer_.Print("restored", fields,
                   name + (matches ? " matches the file" : " does not match the file"));
    return matches;
}

} // namespace

int RestoreCommand(const std::vector<std::string>& words) {
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, kRestoreUsage, 2, line, {"--station"},
                                   {"--force", "--dry-run"})) {
        return kExitRefused;
    }
    BackupTarget target;
    PortFolder ports;
    ParameterSession session;
    if (const int failed = StartOnBackupStation(line, ports, session, target)) {
        return failed;
    }
    const std::string& name = target.name;
    const ParameterBackup& file = target.file;
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text);
    const RestoreOptions options{line.flags.count("--force") != 0,
                                 line.flags.count("--dry-run") != 0};
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    Restorer restorer(session, printer, bar, options);
    return restorer.Restore(*target.station, name, file) ? kExitOk : kExitDrivesFailed;
}

int CloneCommand(const std::vector<std::string>& words) {
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, kCloneUsage, 3, line, {}, {"--force"})) {
        return kExitRefused;
    }
    const std::vector<std::string> names(line.positional.begin() + 1, line.positional.end());
    PortFolder ports;
    ParameterSession session;
    std::vector<const CStationInfo*> stations;
    if (const int failed =
            StartOnStations(line, line.positional[0], names, ports, session, stations)) {
        return failed;
    }
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text);
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    const ParameterBackup source = ReadBackup(session, *stations[0], names[0]);
    int missed = 0;
    for (const std::optional<double>& value : source.values) {
        missed += value ? 0 : 1;
    }
    Restorer restorer(session, printer, bar, {line.flags.count("--force") != 0, false});
    int matched = 0;
    for (size_t i = 1; i < stations.size() && missed == 0; ++i) {
        matched += restorer.Restore(*stations[i], names[i], source) ? 1 : 0;
    }
    const int targets = static_cast<int>(stations.size()) - 1;
    JsonFields fields;
    fields.Text("from", names[0])
        .Integer("missed", missed)
        .Integer("stations", targets)
        .Integer("matched", matched);
    printer.Print("clone", fields,
                  missed > 0 ? names[0] + ": " + std::to_string(missed) +
                                   " parameters not read, nothing cloned"
                             : names[0] + " cloned: " + std::to_string(matched) + " of " +
                                   std::to_string(targets) + " stations match");
    return matched == targets && missed == 0 ? kExitOk : kExitDrivesFailed;
}

} // namespace vfdahost

// vfda-host restore and clone: a backup put onto a drive, writing only the settings that
// differ and saying what still differs afterwards, and why. The drive's own records and
// command-like parameters (a factory reset) are never written, whatever the file holds.
#include "commands.h"
#include "console_output.h"
#include "interrupt.h"
#include "line_watch.h"
#include "parameter_commands.h"
#include "parameter_roles.h"
#include "text_output.h"

#include <cstdio>
#include <set>

namespace vfdahost {
namespace {

constexpr int kParameterLock = 54;
constexpr int kStatusWord = 4;
constexpr int kRunningBit = 0x01;

struct RestoreOptions {
    bool force = false;
    bool dryRun = false;
    bool skipMissing = false; // settings the file lacks are left as the drive has them
};

using Values = std::array<std::optional<double>, kBackupParameters>;

bool Differs(const Values& file, const Values& drive, int p) {
    const size_t i = static_cast<size_t>(p);
    return file[i] && file[i] != drive[i];
}

bool IsSetting(int p) {
    return RoleOf(p) == ParameterRole::Setting;
}

std::string ParameterName(int p) {
    return "P" + std::to_string(p);
}

// The settings a file lacks (read without an answer when it was saved).
std::vector<int> MissingSettings(const Values& file) {
    std::vector<int> missing;
    for (int p = 0; p < kBackupParameters; ++p) {
        if (IsSetting(p) && !file[static_cast<size_t>(p)]) {
            missing.push_back(p);
        }
    }
    return missing;
}

std::string NameList(const std::vector<int>& parameters) {
    std::string text;
    for (const int p : parameters) {
        text += (text.empty() ? "" : ", ") + ParameterName(p);
    }
    return text;
}

// The settings to write, in number order, except that a lock the file lifts goes first and
// a lock it sets goes last, so the lock never refuses the file's own words.
std::vector<int> WriteOrder(const Values& file, const Values& drive) {
    std::vector<int> order;
    const bool lockDiffers = Differs(file, drive, kParameterLock);
    const bool fileLocks = lockDiffers && *file[kParameterLock] != 0;
    if (lockDiffers && !fileLocks) {
        order.push_back(kParameterLock);
    }
    for (int p = 0; p < kBackupParameters; ++p) {
        if (p != kParameterLock && IsSetting(p) && Differs(file, drive, p)) {
            order.push_back(p);
        }
    }
    if (fileLocks) {
        order.push_back(kParameterLock);
    }
    return order;
}

enum class RestoreEnd { Matches, Differs, Interrupted };

class Restorer {
public:
    Restorer(ParameterSession& session, const LineWatch& watch, EventPrinter& printer,
             ProgressBar& bar, const RestoreOptions& options)
        : session_(session), watch_(watch), printer_(printer), bar_(bar), options_(options) {}

    // Puts `file` onto the station: Matches when the drive holds every setting of the file
    // afterwards (or, for a dry run, when it could be read).
    RestoreEnd Restore(const CStationInfo& station, const std::string& name, const Values& file);
    // The settings a signal kept from being written.
    size_t NotWritten() const { return notWritten_; }

private:
    bool Refuse(const std::string& name, const char* reason, const std::string& text) {
        JsonFields fields;
        fields.Text("station", name).Text("reason", reason);
        printer_.Print("refused", fields, name + ": not restored: " + text);
        return false;
    }
    bool MayWrite(const CStationInfo& station, const std::string& name);
    void ReportSkipped(const std::string& name, const Values& file, const Values& drive);
    // Writes each differing setting; false when a signal stopped it (the rest named).
    bool WriteDifferences(const CStationInfo& station, const std::string& name, const Values& file,
                          const Values& drive, std::set<int>& refused);
    bool ReportRemaining(const std::string& name, const Values& file, const Values& after,
                         const std::set<int>& refused);

    ParameterSession& session_;
    const LineWatch& watch_;
    EventPrinter& printer_;
    ProgressBar& bar_;
    const RestoreOptions options_;
    size_t notWritten_ = 0;
};

bool Restorer::MayWrite(const CStationInfo& station, const std::string& name) {
    const std::optional<double> status = session_.ReadMonitor(station, kStatusWord);
    if (!status) {
        return Refuse(name, "not answering",
                      "the drive does not answer" +
                          watch_.Diagnosis(name, station.m_stationNumber));
    }
    const bool running = (static_cast<int>(*status) & kRunningBit) != 0;
    if (running && !options_.force) {
        return Refuse(name, "running", "the drive is running (--force writes all the same)");
    }
    return true;
}

// Names what the file holds and this restore leaves alone: command-like parameters, and with
// --skip-missing the settings the file lacks.
void Restorer::ReportSkipped(const std::string& name, const Values& file, const Values& drive) {
    for (int p = 0; p < kBackupParameters; ++p) {
        const bool command = RoleOf(p) == ParameterRole::Command && Differs(file, drive, p);
        const bool missing = IsSetting(p) && !file[static_cast<size_t>(p)];
        if (!command && !missing) {
            continue;
        }
        JsonFields fields;
        fields.Text("station", name).Text("address", ParameterName(p));
        fields.NumberOrNull("value", file[static_cast<size_t>(p)]);
        fields.Text("reason", command ? "command" : "missing");
        printer_.Print("skipped", fields,
                       name + " " + ParameterName(p) + ": not written (" +
                           (command ? "it acts when written, it is no setting"
                                    : "the file has no value for it") +
                           ")");
    }
}

bool Restorer::WriteDifferences(const CStationInfo& station, const std::string& name,
                                const Values& file, const Values& drive, std::set<int>& refused) {
    const std::vector<int> order = WriteOrder(file, drive);
    for (size_t done = 0; done < order.size(); ++done) {
        const int p = order[done];
        if (Interrupted() && !options_.dryRun) {
            std::vector<std::string> rest;
            for (size_t left = done; left < order.size(); ++left) {
                rest.push_back(ParameterName(order[left]));
            }
            ReportNotDone(printer_, name, "not-written", rest);
            notWritten_ = rest.size();
            return false;
        }
        const double value = *file[static_cast<size_t>(p)];
        const WordAddress address{'P', p};
        std::string why;
        const std::optional<WordValue> checked = CheckWordValue(address, value, why);
        JsonFields fields;
        fields.Text("station", name).Text("address", address.Text()).Number("value", value);
        if (checked) {
            fields.Integer("raw", checked->raw);
        }
        if (options_.dryRun) {
            fields.NumberOrNull("drive", drive[static_cast<size_t>(p)]);
            printer_.Print("would-write", fields,
                           name + " " + address.Text() + " would be " + NumberText(value) +
                               " (drive " + ValueText(drive[static_cast<size_t>(p)]) + ")");
            continue;
        }
        bar_.Show(name + " writing", done, order.size());
        // The file's raw word, and nothing else: a value that would reach the drive changed
        // is not sent.
        const bool ok = checked && session_.Write(station, 'P', p, checked->value);
        fields.Boolean("ok", ok);
        bar_.Clear();
        printer_.Print("written", fields,
                       name + " " + address.Text() + " = " + NumberText(value) +
                           (ok ? " written" : " not accepted"));
        if (!ok) {
            refused.insert(p);
        }
    }
    return true;
}

// Prints what still differs and why; true when no setting does.
bool Restorer::ReportRemaining(const std::string& name, const Values& file, const Values& after,
                               const std::set<int>& refused) {
    const bool locked = after[kParameterLock].value_or(0) != 0;
    int remaining = 0;
    for (int p = 0; p < kBackupParameters; ++p) {
        if (!Differs(file, after, p)) {
            continue;
        }
        const ParameterRole role = RoleOf(p);
        const bool setting = role == ParameterRole::Setting;
        const char* reason = role == ParameterRole::Command   ? "command"
                             : !setting                       ? "read-only"
                             : !after[static_cast<size_t>(p)] ? "not read"
                             : refused.count(p) == 0          ? "not kept"
                             : locked && p != kParameterLock  ? "locked"
                                                              : "refused";
        remaining += setting ? 1 : 0;
        JsonFields fields;
        fields.Text("station", name).Integer("parameter", p);
        fields.NumberOrNull("file", file[static_cast<size_t>(p)]);
        fields.NumberOrNull("drive", after[static_cast<size_t>(p)]);
        fields.Text("reason", reason);
        printer_.Print("difference", fields,
                       name + " P" + std::to_string(p) + ": file " +
                           ValueText(file[static_cast<size_t>(p)]) + ", drive " +
                           ValueText(after[static_cast<size_t>(p)]) + " (" + reason + ")");
    }
    return remaining == 0;
}

RestoreEnd Restorer::Restore(const CStationInfo& station, const std::string& name,
                             const Values& file) {
    if (!MayWrite(station, name)) {
        return RestoreEnd::Differs;
    }
    // A read cut short by a signal leaves parameters unread, which count as differing: the
    // writes then name every setting that may still need writing.
    const Values before = ReadBackup(session_, station, name).values;
    ReportSkipped(name, file, before);
    std::set<int> refused;
    if (!WriteDifferences(station, name, file, before, refused)) {
        return RestoreEnd::Interrupted;
    }
    if (options_.dryRun) {
        return Interrupted() ? RestoreEnd::Interrupted : RestoreEnd::Matches;
    }
    const Values after = ReadBackup(session_, station, name).values;
    if (Interrupted()) {
        return RestoreEnd::Interrupted; // every write is reported; the check is what is left
    }
    const size_t missing = MissingSettings(file).size();
    const bool matches = ReportRemaining(name, file, after, refused) && missing == 0;
    JsonFields fields;
    fields.Text("station", name)
        .Boolean("matches", matches)
        .Integer("missing", static_cast<long long>(missing));
    printer_.Print("restored", fields,
                   name + (matches       ? " matches the file"
                           : missing > 0 ? " holds the file's settings except the " +
                                               std::to_string(missing) + " it lacks"
                                         : " does not match the file"));
    return matches ? RestoreEnd::Matches : RestoreEnd::Differs;
}

// A file that lacks settings is restored only when told to leave them; false (reported)
// otherwise.
bool MissingAllowed(const std::string& what, const std::vector<int>& missing,
                    const RestoreOptions& options) {
    if (missing.empty() || options.skipMissing) {
        return true;
    }
    OutputFormatted(stderr,
                    "vfda-host: %s lacks %zu settings (%s); nothing written "
                    "(--skip-missing writes the others)\n",
                    what.c_str(), missing.size(), NameList(missing).c_str());
    return false;
}

// The file is of another station number than the drive it goes onto: allowed (a drive
// replaced, a file moved), but said.
void WarnOfOtherNumber(EventPrinter& printer, const std::string& name, const CStationInfo& station,
                       const ParameterBackup& file) {
    if (file.number == station.m_stationNumber) {
        return;
    }
    JsonFields fields;
    fields.Text("station", name)
        .Integer("number", station.m_stationNumber)
        .Integer("file_number", file.number);
    printer.Print("warning", fields,
                  name + ": the file was read from station number " + std::to_string(file.number) +
                      ", this drive is number " + std::to_string(station.m_stationNumber));
}

bool RefuseOtherModel(const std::string& name, const CStationInfo& station, int fileModel,
                      EventPrinter& printer) {
    if (station.m_modelIndex == fileModel) {
        return false;
    }
    JsonFields fields;
    fields.Text("station", name).Text("reason", "model");
    printer.Print("refused", fields,
                  name + ": not restored: the configured model " +
                      std::to_string(station.m_modelIndex) + " differs from the file's " +
                      std::to_string(fileModel));
    return true;
}

int EndOf(RestoreEnd end, const Restorer& restorer, EventPrinter& printer) {
    switch (end) {
    case RestoreEnd::Matches:
        return kExitOk;
    case RestoreEnd::Interrupted:
        return PrintInterruptEnd(printer, restorer.NotWritten(), "not written");
    case RestoreEnd::Differs:
        break;
    }
    return kExitNotDone;
}

// A clone a signal stopped: the target stations from `first` on are named as not cloned.
int EndCloneInterrupted(EventPrinter& printer, const std::vector<std::string>& names,
                        size_t first) {
    for (size_t left = first; left < names.size(); ++left) {
        JsonFields fields;
        fields.Text("station", names[left]);
        printer.Print("not-written", fields, names[left] + ": not cloned (interrupted)");
    }
    return PrintInterruptEnd(printer, names.size() - first, "stations not cloned");
}

} // namespace

int RestoreCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "restore", 2, line)) {
        return kExitRefused;
    }
    const RestoreOptions options{line.flags.count("--force") != 0,
                                 line.flags.count("--dry-run") != 0,
                                 line.flags.count("--skip-missing") != 0};
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    LineWatch watch;
    BackupTarget target;
    if (const int failed = LoadBackupTarget(line, target)) {
        return failed;
    }
    if (!MissingAllowed(line.positional[1], MissingSettings(target.file.values), options)) {
        return kExitRefused;
    }
    StationWork work;
    if (const int failed = StartOnBackupTarget(line, Polling::StatusWords, work, target)) {
        return failed;
    }
    ParameterSession& session = work.session;
    const std::string& name = target.name;
    if (RefuseOtherModel(name, *target.station, target.file.model, printer)) {
        return kExitNotDone;
    }
    WarnOfOtherNumber(printer, name, *target.station, target.file);
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    Restorer restorer(session, watch, printer, bar, options);
    return EndOf(restorer.Restore(*target.station, name, target.file.values), restorer, printer);
}

int CloneCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "clone", 3, line)) {
        return kExitRefused;
    }
    const RestoreOptions options{line.flags.count("--force") != 0, false,
                                 line.flags.count("--skip-missing") != 0};
    const std::vector<std::string> names(line.positional.begin() + 1, line.positional.end());
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    LineWatch watch;
    StationWork work;
    const auto eachOnce = [&names](const std::vector<const CStationInfo*>& stations) {
        for (size_t i = 1; i < stations.size(); ++i) {
            for (size_t j = 0; j < i; ++j) {
                if (stations[i] == stations[j]) {
                    OutputFormatted(stderr, "vfda-host: %s is named twice: %s\n",
                                    TextForPeople(names[i]).c_str(),
                                    j == 0 ? "a drive is not cloned onto itself"
                                           : "one clone a drive");
                    return kExitRefused;
                }
            }
        }
        return kExitOk;
    };
    if (const int failed = StartStationWork(line, names, Polling::StatusWords, work, eachOnce)) {
        return failed;
    }
    ParameterSession& session = work.session;
    const std::vector<const CStationInfo*>& stations = work.stations;
    ProgressBar bar(ProgressBar::Wanted(printer.Form()));
    ShowReadProgress(session, bar);
    const ParameterBackup source = ReadBackup(session, *stations[0], names[0]);
    if (Interrupted()) {
        return EndCloneInterrupted(printer, names, 1);
    }
    const std::vector<int> missing = MissingSettings(source.values);
    const bool go = missing.empty() || options.skipMissing;
    Restorer restorer(session, watch, printer, bar, options);
    int matched = 0;
    for (size_t i = 1; i < stations.size() && go; ++i) {
        if (RefuseOtherModel(names[i], *stations[i], source.model, printer)) {
            continue;
        }
        const RestoreEnd end = restorer.Restore(*stations[i], names[i], source.values);
        if (end == RestoreEnd::Interrupted) {
            return EndCloneInterrupted(printer, names, i + 1);
        }
        matched += end == RestoreEnd::Matches ? 1 : 0;
    }
    const int targets = static_cast<int>(stations.size()) - 1;
    JsonFields fields;
    fields.Text("from", names[0])
        .Integer("missed", static_cast<long long>(missing.size()))
        .Integer("stations", targets)
        .Integer("matched", matched);
    printer.Print("clone", fields,
                  !go ? names[0] + ": " + std::to_string(missing.size()) + " settings not read (" +
                            NameList(missing) +
                            "), nothing cloned (--skip-missing clones the others)"
                      : names[0] + " cloned: " + std::to_string(matched) + " of " +
                            std::to_string(targets) + " stations match");
    return matched == targets ? kExitOk : kExitNotDone;
}

} // namespace vfdahost

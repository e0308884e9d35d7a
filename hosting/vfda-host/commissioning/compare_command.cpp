// vfda-host compare: a drive checked against a backup. Only settings count as differences;
// the drive's own records (fault history, versions, its station number) and command-like
// parameters are reported apart, since no restore would ever write them.
#include "commands.h"
#include "interrupt.h"
#include "parameter_commands.h"
#include "parameter_roles.h"

namespace vfdahost {
namespace {

struct Tally {
    int differences = 0;
    int records = 0;
};

// Prints parameter p when the file and the drive differ, as a difference for a setting and
// as a record otherwise.
void ReportParameter(EventPrinter& printer, const std::string& name, int p,
                     const std::optional<double>& inFile, const std::optional<double>& onDrive,
                     Tally& tally) {
    if (inFile == onDrive) {
        return;
    }
    const ParameterRole role = RoleOf(p);
    const bool setting = role == ParameterRole::Setting;
    JsonFields fields;
    fields.Integer("parameter", p);
    fields.NumberOrNull("file", inFile);
    fields.NumberOrNull("drive", onDrive);
    fields.Text("station", name);
    std::string text =
        "P" + std::to_string(p) + ": file " + ValueText(inFile) + ", drive " + ValueText(onDrive);
    if (!setting) {
        fields.Text("role", RoleName(role));
        text += " (" + std::string(RoleName(role)) + ", not a setting)";
    }
    printer.Print(setting ? "difference" : "record", fields, text);
    (setting ? tally.differences : tally.records) += 1;
}

void ReportSummary(EventPrinter& printer, const std::string& name, const Tally& tally) {
    JsonFields fields;
    fields.Text("station", name)
        .Integer("differences", tally.differences)
        .Integer("records", tally.records)
        .Boolean("matches", tally.differences == 0);
    std::string text = tally.differences == 0
                           ? name + " matches the file: no setting differs"
                           : name + ": " + std::to_string(tally.differences) +
                                 (tally.differences == 1 ? " setting differs" : " settings differ");
    if (tally.records > 0) {
        text += " (" + std::to_string(tally.records) + " of the drive's own records differ)";
    }
    printer.Print("compared", fields, text);
}

} // namespace

int CompareCommand(const std::vector<std::string>& words) {
    CatchInterrupt();
    ParameterCommandLine line;
    if (!ParseParameterCommandLine(words, "compare", 2, line)) {
        return kExitRefused;
    }
    // Made first, so the times printed run from the command's start.
    EventPrinter printer(line.json ? OutputForm::Json : OutputForm::Text, line.stamps);
    BackupTarget target;
    StationWork work;
    if (const int failed = LoadBackupTarget(line, target)) {
        return failed;
    }
    if (const int failed = StartOnBackupTarget(line, Polling::ParametersOnly, work, target)) {
        return failed;
    }
    ParameterSession& session = work.session;
    const std::string& name = target.name;
    const ParameterBackup drive = ReadBackup(session, *target.station, name);
    // A signal during the read: what was read is compared all the same, and what was not is
    // named.
    const bool interrupted = Interrupted();
    Tally tally;
    std::vector<std::string> notRead;
    for (int p = 0; p < kBackupParameters; ++p) {
        const std::optional<double>& onDrive = drive.values[static_cast<size_t>(p)];
        if (interrupted && !onDrive) {
            notRead.push_back("P" + std::to_string(p));
            continue;
        }
        ReportParameter(printer, name, p, target.file.values[static_cast<size_t>(p)], onDrive,
                        tally);
    }
    if (interrupted) {
        return EndInterrupted(printer, name, "not-compared", notRead);
    }
    ReportSummary(printer, name, tally);
    return tally.differences == 0 ? kExitOk : kExitNotDone;
}

} // namespace vfdahost

#include "host_tool.h"

#include "cli/help_text.h"

#include <cstdlib>

namespace vfdahost {
namespace {

using cli::Option;

const Option kPort =
    Option{"--port", "COMn=PATH",
           "Use the device PATH for COM port n (1 to 36) while the command runs: a "
           "private folder gets a link comn to PATH, and the module opens it in place "
           "of /dev/ttyS{n-1}. Without --port the system's ports are used. Refused on "
           "Windows, which opens COM ports by name."}
        .Repeatable();
const Option kJson{"--json", "",
                   "Print one JSON object a line instead of text: each has \"event\", \"t\" "
                   "(milliseconds since the start) and \"time\" (the UTC wall-clock time, ISO "
                   "8601 with milliseconds)."};
const Option kTime{"--time", "run|wall",
                   "What each text line starts with: run, the seconds since the start (the "
                   "default); wall, the UTC wall-clock time (ISO 8601), to lay the output "
                   "beside a plant's logs."};
const Option kLockWait{"--lock-wait", "SECONDS",
                       "How long to wait for another writer of the file (default 10, at most "
                       "86400); a writer held up longer is reported and exits 1."};
const Option kForce{"--force", "",
                    "Write also when the drive is running (D4 says so); the model check still "
                    "applies."};
const Option kSkipMissing{"--skip-missing", "",
                          "Restore a file with parameters the drive did not return (\"raw\":null): "
                          "those settings are left as the drive has them and named skipped; the "
                          "result is never a match (exit 3)."};

const cli::Command kShow{
    "show",
    "CONFIG",
    "Open CONFIG through the module (DrvOpen) and print its serial settings and stations.",
    {{"--json", "",
      "Print one JSON object: port, baud, parity, data_bits, stop_bits, options and the "
      "stations with name, description, model and number."},
     {"--names", "", "Print the station names only, one a line (for scripts and completion)."}},
    "A file that cannot be opened prints the event-log line of message 5 on stderr and exits "
    "1.",
    {}};

const cli::Command kConfig{
    "config",
    "CONFIG ACTION [NAME]",
    "Change a configuration file through the module's document, under the file's writer lock: "
    "create it, set the serial line, add, edit or delete a station. Station changes go through "
    "the station dialog's checks in its order (name 2700, 2701; number 2702, 2707); a refused "
    "change prints the message and exits 2, leaving the file untouched.",
    {{"--port", "COMn", "set: the serial port, COM1 to COM36."},
     {"--baud", "1200|2400|4800", "set: the line's rate."},
     {"--rtscts", "on|off", "set: RTS/CTS flow control."},
     {"--number", "N", "add-station (required there), edit-station: the station number, 0-31."},
     {"--model", "M", "add-station, edit-station: the drive model, 0-22."},
     {"--description", "TEXT",
      "add-station, edit-station: the description (any text CP949 can hold)."},
     {"--name", "NEW", "edit-station: the station's new name."},
     kLockWait},
    "Actions:\n"
    "  init            create CONFIG, or replace it, with the default document\n"
    "                  (COM1, 4800 baud, no stations)\n"
    "  set             change the serial settings given\n"
    "  add-station     add the station NAME (--number is required)\n"
    "  edit-station    change the station NAME\n"
    "  delete-station  remove the station NAME\n"
    "\n"
    "Stations are named ignoring letter case; texts are UTF-8 and stored as CP949.",
    {"CONFIG init", "CONFIG set [--port COMn] [--baud 1200|2400|4800] [--rtscts on|off]",
     "CONFIG add-station NAME --number N [--model M] [--description TEXT]",
     "CONFIG edit-station NAME [--name NEW] [--number N] [--model M] [--description TEXT]",
     "CONFIG delete-station NAME"}};

const cli::Command kEdit{
    "edit",
    "CONFIG",
    "Open CONFIG in the module's configuration editor (in the terminal on Linux, the module's "
    "own dialogs on Windows) and save it under the file's writer lock when confirmed.",
    {},
    "The terminal editor needs a terminal that can show its characters: under TERM=dumb or a "
    "locale without UTF-8 it refuses and exits 1.",
    {}};

const cli::Command kRun{
    "run",
    "CONFIG",
    "Drive one instance as a SCADA host does: open CONFIG, open the port, register every tag "
    "of TAGS and start polling; print every value change and event-log line, and read "
    "commands on standard input. It ends at quit, at the end of --seconds, on Ctrl-C or "
    "SIGTERM, or without --seconds at the end of standard input; it then sends the writes "
    "still queued, stops and prints the statistics.",
    {Option{"--tags", "TAGS",
            "The tag file: one tag a line, NAME,STATION,ADDRESS (see the README's tag file "
            "section)."}
         .Required(),
     kPort,
     {"--seconds", "N", "End the run after N seconds (0 to 604800)."},
     kJson,
     kTime,
     {"--trace", "",
      "Also print every frame sent and received, in hex, and the bytes skipped before an "
      "answer."},
     {"--strict", "",
      "Exit 3 when the port did not open or a station that was asked something never "
      "answered."},
     Option{"--quiet", "",
            "Leave out the set-up lines (each tag registered, the module's state changes); "
            "values, failures and the statistics are still printed."}
         .Short("-q"),
     {"--csv", "FILE",
      "Also append every value change to FILE as a CSV row: time (ISO 8601, UTC, "
      "milliseconds),station,tag,address,value; the header row is written when FILE is new."},
     {"--back-off", "",
      "Take a station the module declares lost (message 14) off the line with DrvEnable, so "
      "its time-outs no longer slow the others, and visit it again after 2 s, then after "
      "twice the wait each time it stays silent; it is polled as before once it answers. "
      "Events backed-off and restored; stats shows the figures. A station the user enables or "
      "disables is left to the user."},
     {"--view", "",
      "Draw the line as a table in place of the lines: a row a station with its link state, "
      "last and median response time in ms, failures by cause (t time-out, r refused, s "
      "another station, p another parameter, g garbled, e echo) and its tags' values, redrawn "
      "four times a second. Keys: Up/Down (j/k) select, e enable or disable the station, r "
      "read its parameters, : type any command below, q quit. Without a terminal the lines "
      "are printed as before; the statistics follow the view at the end."},
     {"--back-off-limit", "SECONDS",
      "With --back-off: the longest wait between two visits (1 to 3600, default 60)."}},
    "Commands on standard input, one a line:\n"
    "  write TAG VALUE | read TAG|STATION | enable STATION 0|1 | stats [STATION] |\n"
    "  reset [STATION] | info STATION | stop | start | quit",
    {}};

const cli::Command kRead{
    "read",
    "CONFIG STATION ADDRESS...",
    "Read words of a station, or of several listed as PUMP1,PUMP2 (unless a station has that "
    "whole name), without a tag file: parameters P0-P80 through the module's range read, "
    "status words D0-D6, one or a range of one area (P10-P15); each printed as STATION "
    "ADDRESS = VALUE (null for a word the drive did not return).",
    {kPort,
     kJson,
     kTime,
     {"--every", "INTERVAL",
      "Read the addresses again every INTERVAL (100ms to 3600s, such as 500ms or 2s), on a "
      "steady beat, until --count rounds or Ctrl-C; a summary (reads, failures, read times) "
      "ends the output."},
     {"--count", "N",
      "Rounds to read (1 to 1000000; default 1, or until Ctrl-C with --every); with --count "
      "the summary is printed too."}},
    "",
    {}};

const cli::Command kWrite{
    "write",
    "CONFIG STATION ADDRESS=VALUE...",
    "Write P0-P80, D0 (frequency) and D3 (run command) of one station, then read each "
    "parameter back. Only values that reach the drive exactly as typed are taken: a plain "
    "decimal with no more decimals than the word carries, whose raw word fits the frame; "
    "anything else is refused before the port is opened (exit 2) and nothing is written.",
    {kPort, kJson, kTime},
    "Each outcome: written (the drive answered and the read-back holds the word sent), "
    "refused, not answered, kept another value, not read back; D0 and D3 count as sent once "
    "answered.",
    {}};

const cli::Command kBackup{
    "backup",
    "CONFIG STATION...",
    "Read P0-P80 of each station and save them as NAME.parameters.json (a vfda-parameters/1 "
    "file). A file is replaced in one step and only by a complete backup: what an incomplete "
    "read got goes to NAME.parameters.partial.json beside it, and the command exits 3.",
    {{"--out", "PATH",
      "Where to save: a folder (required to exist; the only choice with several stations), or "
      "with one station the file itself. Default: the working folder."},
     {"--partial", "", "Save an incomplete backup under the file's own name on purpose."},
     kPort,
     kJson,
     kTime},
    "Every target is checked before any drive is read; a refusal exits 2 with nothing read.",
    {}};

const cli::Command kCompare{
    "compare",
    "CONFIG BACKUP",
    "Read a station's parameters and print every setting that differs from the backup file; "
    "the drive's own records (P58, P59, P63, P64, P73-P75, P77-P80) and P76 are shown apart "
    "and are no difference. Exit 0 when no setting differs, 3 otherwise.",
    {{"--station", "NAME", "Compare this station instead of the one the file names."},
     kPort,
     kJson,
     kTime},
    "",
    {}};

const cli::Command kRestore{
    "restore",
    "CONFIG BACKUP",
    "Write the settings of a backup file that differ from the drive, in number order, then "
    "read the drive back and name whatever still differs with the reason (locked, refused, not "
    "kept, not read, read-only). P76 (factory reset) is never written. Nothing is written when "
    "the station's model differs from the file's, or, without --force, while the drive runs.",
    {{"--station", "NAME", "Restore onto this station instead of the one the file names."},
     kPort,
     kForce,
     {"--dry-run", "", "List what would be written (would-write) and send nothing."},
     kSkipMissing,
     kJson,
     kTime},
    "Exit 0 when the drive matches the file, 3 otherwise.",
    {}};

const cli::Command kClone{
    "clone",
    "CONFIG FROM TO...",
    "Read the station FROM and restore its settings onto each station TO, ending with one "
    "summary; exit 0 when every one matches.",
    {kPort, kForce, kSkipMissing, kJson, kTime},
    "A station named twice is refused before the line is used (exit 2); a source that did not "
    "return every setting clones nothing (exit 3) unless --skip-missing.",
    {}};

const cli::Command kScan{
    "scan",
    "",
    "Ask each station number whether a drive answers, at one rate or at 4800, 2400 and 1200 "
    "baud, and print each that answers. Exit 0 when a station answered, 3 when none did.",
    {Option{"--port", "COMn[=PATH]", "The line to scan: a COM port, or a device PATH behind it."}
         .Required(),
     {"--baud", "1200|2400|4800|auto",
      "The rate to ask at; auto (the default) tries 4800, then 2400, then 1200."},
     {"--stations", "LIST", "Station numbers 0-31 such as 0-31 (the default) or 1,3,5-7."},
     {"--add-to", "CONFIG",
      "Add every station found that CONFIG lacks as VFDnn, and set its port and rate; created "
      "when missing, saved under its writer lock, refused before the scan when it cannot be "
      "written (exit 2)."},
     kLockWait,
     kJson,
     kTime},
    "",
    {}};

const cli::Command kMonitor{
    "monitor",
    "",
    "Listen to a line that another master polls, through a second adapter or a tap, and never "
    "write to it: decode each request and its answer (station, command, parameter or group, "
    "the values as the module delivers them) or why it failed (time-out, refused with the "
    "drive's error code, answer from another station or for another parameter, garbled, "
    "echo, noise before the answer), and end with each station's figures.",
    {Option{"--port", "COMn[=PATH]",
            "The line to listen to: a COM port, or a device PATH behind it."}
         .Required(),
     {"--baud", "1200|2400|4800", "The line's rate (default 4800)."},
     {"--seconds", "N", "Stop after N seconds (0 to 604800); otherwise at Ctrl-C."},
     {"--changes", "",
      "Print only the transactions that failed or changed a value, not every one heard."},
     {"--trace", "",
      "Also print every frame heard, in hex, as run --trace does: sent for a request, recv for "
      "an answer, skip for noise."},
     {"--csv", "FILE",
      "Also append every value change heard to FILE as a CSV row: time (ISO 8601, UTC, "
      "milliseconds),station (its number),tag (empty),address,value."},
     kJson,
     kTime},
    "Nothing is ever sent: the port is opened, set to the rate and 8-O-1, and read. Exit 0 at "
    "the end of --seconds, 130 at Ctrl-C, 1 when the port cannot be opened or is lost.",
    {}};

const cli::Command kDemo{
    "demo",
    "",
    "Three simulated drives on a pseudo-terminal mapped as COM1, run through the module: live "
    "values, a parameter write, frequency and run commands, a drive falling silent and coming "
    "back, and the statistics.",
    {{"--seconds", "N", "How long the demo runs (default 30)."},
     kJson,
     kTime,
     {"--keep-files", "", "Keep the configuration and tag file it wrote, for vfda-host run."}},
    "Built where the drive simulator is (not on Windows).",
    {}};

cli::Tool MakeHostTool() {
    cli::Tool tool;
    tool.name = "vfda-host";
    tool.summary = "command-line host for the DELTA VFD-A driver module";
    tool.description =
        "vfda-host loads the DELTA VFD-A driver module as a SCADA/HMI host does, through its "
        "entry table, and uses it to show and edit configuration files, poll drives on a "
        "serial line, read and write their words, back up, compare, restore and clone their "
        "parameters, find the drives on a line, and listen to a line another master polls.\n"
        "\n"
        "Texts it prints are UTF-8; texts given to it are UTF-8 and stored as CP949. The "
        "module's messages are Korean, each shown with its number and, where the locale is not "
        "Korean, its meaning in English. Errors go to standard error, each starting with "
        "\"vfda-host:\".";
    tool.commands = {kShow,    kConfig,  kEdit,  kRun,  kRead,    kWrite, kBackup,
                     kCompare, kRestore, kClone, kScan, kMonitor, kDemo};
    tool.exitCodes = {
        {kExitOk, "Done."},
        {kExitFailed, "A file, the module or the port could not be used, or the output could "
                      "not be written."},
        {kExitRefused, "Refused input or a wrong command line; nothing was sent."},
        {kExitNotDone, "The line was used, but the drives did not all do what was asked."},
        {130, "Stopped by Ctrl-C (129 a hang-up, 143 SIGTERM): what was and was not done is "
              "printed."}};
    tool.seeAlso = "vfda-sim(1)";
    return tool;
}

} // namespace

const cli::Tool& HostTool() {
    static const cli::Tool tool = MakeHostTool();
    return tool;
}

const cli::Command& HostCommand(std::string_view name) {
    const cli::Command* command = HostTool().Find(name);
    if (command == nullptr) {
        std::abort(); // a command the tool does not describe: a fault of this program
    }
    return *command;
}

std::string HostUsage(std::string_view name) {
    return cli::CommandUsage(HostTool(), HostCommand(name));
}

} // namespace vfdahost

// vfda-host: a command-line host for the DELTA VFD-A driver module.
#include "cli/arguments.h"
#include "cli/help_text.h"
#include "commands.h"
#include "console_output.h"
#include "platform/console_stream.h"
#include "text_output.h"

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vfdahost::OutputFormatted;
using vfdahost::OutputText;

// Every command's output, checked once it is all written: a full disk or a closed pipe is a
// failure, never a silent success.
int Finished(int exitCode) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        OutputText(stderr, "vfda-host: cannot write to standard output\n");
        return vfdahost::kExitFailed;
    }
    return exitCode;
}

struct Command {
    std::string_view name;
    int (*run)(const std::vector<std::string>&);
};

const Command kCommands[] = {
    {"show", vfdahost::ShowCommand},       {"config", vfdahost::ConfigCommand},
    {"edit", vfdahost::EditCommand},       {"run", vfdahost::RunCommand},
    {"scan", vfdahost::ScanCommand},       {"read", vfdahost::ReadCommand},
    {"write", vfdahost::WriteCommand},     {"backup", vfdahost::BackupCommand},
    {"compare", vfdahost::CompareCommand}, {"restore", vfdahost::RestoreCommand},
    {"clone", vfdahost::CloneCommand},     {"monitor", vfdahost::MonitorCommand},
    {"demo", vfdahost::DemoCommand},
};

int Dispatch(int argc, char** argv) {
    const cli::Tool& tool = vfdahost::HostTool();
    if (argc < 2) {
        OutputText(stderr, cli::ToolUsage(tool));
        return vfdahost::kExitRefused;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        OutputText(stdout, cli::ToolHelp(tool));
        return vfdahost::kExitOk;
    }
    if (command == "--version" || command == "-V") {
        OutputFormatted(stdout, "vfda-host %s\n", VFDA_VERSION);
        return vfdahost::kExitOk;
    }
    for (const Command& known : kCommands) {
        if (command != known.name) {
            continue;
        }
        const cli::Command& described = vfdahost::HostCommand(known.name);
        if (cli::Arguments(words, described).HelpAsked()) {
            OutputText(stdout, cli::CommandHelp(tool, described));
            return vfdahost::kExitOk;
        }
        return known.run(words);
    }
    const bool option = command.size() > 1 && command[0] == '-';
    OutputFormatted(stderr, "vfda-host: unknown %s \"%s\"\n", option ? "option" : "command",
                    vfdahost::TextForPeople(command.substr(0, 64)).c_str());
    OutputText(stderr, cli::ToolUsage(tool));
    return vfdahost::kExitRefused;
}

} // namespace

int main(int argc, char** argv) {
    platform::ShowUtf8OnConsole(); // the module's Korean messages, on a Windows console too
    return Finished(Dispatch(argc, argv));
}

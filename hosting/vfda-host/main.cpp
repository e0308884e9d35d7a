// vfda-host: a command-line host for the DELTA VFD-A driver module.
#include "commands.h"

#include "run_options.h"
#include "scan_options.h"
#include "text_output.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const char* kUsage =
    "usage: vfda-host show CONFIG [--json]\n"
    "       vfda-host config CONFIG ACTION [options]   (vfda-host config --help for the "
    "actions)\n"
    "       vfda-host edit CONFIG\n"
    "       vfda-host run CONFIG --tags TAGS [--port COMn=PATH]... [--seconds N] [--json] "
    "[--trace]\n"
    "       vfda-host read CONFIG STATION ADDRESS... [--port COMn=PATH]... [--json]\n"
    "       vfda-host write CONFIG STATION ADDRESS=VALUE... [--port COMn=PATH]... [--json]\n"
    "       vfda-host backup CONFIG STATION... [--out PATH] [--partial] [--port COMn=PATH]... "
    "[--json]\n"
    "       vfda-host compare CONFIG BACKUP [--station NAME] [--port COMn=PATH]... [--json]\n"
    "       vfda-host restore CONFIG BACKUP [--station NAME] [--port COMn=PATH]... [--force] "
    "[--dry-run] [--skip-missing] [--json]\n"
    "       vfda-host clone CONFIG FROM TO... [--port COMn=PATH]... [--force] [--skip-missing] "
    "[--json]\n"
    "       vfda-host scan --port COMn[=PATH] [--baud 1200|2400|4800|auto] [--stations LIST]\n"
    "                      [--add-to CONFIG] [--json]\n";
const char* kTail = "       vfda-host --help | --version | -V\n"
                    "       (every command takes --help; options take a value as --opt VALUE "
                    "or --opt=VALUE)\n";

void PrintUsage(std::FILE* out) {
    std::fputs(kUsage, out);
    std::fputs(vfdahost::DemoUsage(), out);
    std::fputs(kTail, out);
}

// Every command's output, checked once it is all written: a full disk or a closed pipe is a
// failure, never a silent success.
int Finished(int exitCode) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout) != 0) {
        std::fputs("vfda-host: cannot write to standard output\n", stderr);
        return vfdahost::kExitFailed;
    }
    return exitCode;
}

// The demo's usage line stands under the others; alone it gets their "usage:".
const char* DemoHelp() {
    static const std::string text = "usage:" + std::string(vfdahost::DemoUsage()).substr(6);
    return text.c_str();
}

struct Command {
    const char* name;
    int (*run)(const std::vector<std::string>&);
    const char* (*usage)();
};

const Command kCommands[] = {
    {"show", vfdahost::ShowCommand, [] { return "usage: vfda-host show CONFIG [--json]\n"; }},
    {"config", vfdahost::ConfigCommand, [] { return vfdahost::kConfigUsage; }},
    {"edit", vfdahost::EditCommand, [] { return "usage: vfda-host edit CONFIG\n"; }},
    {"run", vfdahost::RunCommand, [] { return vfdahost::kRunUsage; }},
    {"scan", vfdahost::ScanCommand, [] { return vfdahost::kScanUsage; }},
    {"read", vfdahost::ReadCommand,
     [] {
         return "usage: vfda-host read CONFIG STATION ADDRESS... [--port COMn=PATH]... [--json]\n";
     }},
    {"write", vfdahost::WriteCommand,
     [] {
         return "usage: vfda-host write CONFIG STATION ADDRESS=VALUE... [--port COMn=PATH]... "
                "[--json]\n";
     }},
    {"backup", vfdahost::BackupCommand,
     [] {
         return "usage: vfda-host backup CONFIG STATION... [--out PATH] [--partial] "
                "[--port COMn=PATH]... [--json]\n";
     }},
    {"compare", vfdahost::CompareCommand,
     [] {
         return "usage: vfda-host compare CONFIG BACKUP [--station NAME] [--port COMn=PATH]... "
                "[--json]\n";
     }},
    {"restore", vfdahost::RestoreCommand,
     [] {
         return "usage: vfda-host restore CONFIG BACKUP [--station NAME] [--port COMn=PATH]... "
                "[--force] [--dry-run] [--skip-missing] [--json]\n";
     }},
    {"clone", vfdahost::CloneCommand,
     [] {
         return "usage: vfda-host clone CONFIG FROM TO... [--port COMn=PATH]... [--force] "
                "[--skip-missing] [--json]\n";
     }},
    {"demo", vfdahost::DemoCommand, DemoHelp},
};

bool AsksForHelp(const std::vector<std::string>& words) {
    return std::find_if(words.begin(), words.end(), [](const std::string& word) {
               return word == "--help" || word == "-h";
           }) != words.end();
}

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return vfdahost::kExitRefused;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (command == "--help" || command == "-h") {
        PrintUsage(stdout);
        return vfdahost::kExitOk;
    }
    if (command == "--version" || command == "-V") {
        std::printf("vfda-host %s\n", VFDA_VERSION);
        return vfdahost::kExitOk;
    }
    for (const Command& known : kCommands) {
        if (command != known.name) {
            continue;
        }
        if (AsksForHelp(words)) {
            std::fputs(known.usage(), stdout);
            return vfdahost::kExitOk;
        }
        return known.run(words);
    }
    std::fprintf(stderr, "vfda-host: unknown command \"%s\"\n",
                 vfdahost::TextForPeople(command.substr(0, 64)).c_str());
    PrintUsage(stderr);
    return vfdahost::kExitRefused;
}

} // namespace

int main(int argc, char** argv) {
    return Finished(Dispatch(argc, argv));
}

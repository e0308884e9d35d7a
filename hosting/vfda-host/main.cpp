// vfda-host: a command-line host for the DELTA VFD-A driver module.
#include "commands.h"

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
    "       vfda-host backup CONFIG STATION... [--out PATH] [--port COMn=PATH]... [--json]\n"
    "       vfda-host compare CONFIG BACKUP [--station NAME] [--port COMn=PATH]... [--json]\n"
    "       vfda-host restore CONFIG BACKUP [--station NAME] [--port COMn=PATH]... [--force] "
    "[--dry-run] [--json]\n"
    "       vfda-host clone CONFIG FROM TO... [--port COMn=PATH]... [--force] [--json]\n";

void PrintUsage() {
    std::fputs(kUsage, stderr);
    std::fputs(vfdahost::DemoUsage(), stderr);
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

int Dispatch(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage();
        return vfdahost::kExitRefused;
    }
    const std::string command = argv[1];
    const std::vector<std::string> words(argv + 2, argv + argc);
    if (command == "show") {
        return vfdahost::ShowCommand(words);
    }
    if (command == "config") {
        return vfdahost::ConfigCommand(words);
    }
    if (command == "edit") {
        return vfdahost::EditCommand(words);
    }
    if (command == "run") {
        return vfdahost::RunCommand(words);
    }
    if (command == "read") {
        return vfdahost::ReadCommand(words);
    }
    if (command == "write") {
        return vfdahost::WriteCommand(words);
    }
    if (command == "backup") {
        return vfdahost::BackupCommand(words);
    }
    if (command == "compare") {
        return vfdahost::CompareCommand(words);
    }
    if (command == "restore") {
        return vfdahost::RestoreCommand(words);
    }
    if (command == "clone") {
        return vfdahost::CloneCommand(words);
    }
    if (command == "demo") {
        return vfdahost::DemoCommand(words);
    }
    PrintUsage();
    return vfdahost::kExitRefused;
}

} // namespace

int main(int argc, char** argv) {
    return Finished(Dispatch(argc, argv));
}

// vfda-host's command line, written once: every command, its operands and options with what
// they do, and the exit codes. The parser, --help, the manual page and the bash completion
// are all made from it.
#pragma once

#include "cli/tool_description.h"

#include <string>
#include <string_view>

namespace vfdahost {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;  // a file or the module could not be used
constexpr int kExitRefused = 2; // a check refused the input, or the command line is wrong
constexpr int kExitNotDone = 3; // the line was used, but the drives did not all do as asked

const cli::Tool& HostTool();
// The command of that name; it must exist.
const cli::Command& HostCommand(std::string_view name);
// "usage: ..." of one command.
std::string HostUsage(std::string_view name);

} // namespace vfdahost

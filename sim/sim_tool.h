// vfda-sim's command line, written once: its options with what they do and its exit codes.
// The option parser, --help, the manual page and the bash completion are made from it.
#pragma once

#include "cli/tool_description.h"

namespace sim {

constexpr int kExitOk = 0;
constexpr int kExitLineFailed = 1; // the line cannot be opened
constexpr int kExitUsage = 2;      // a bad command line

const cli::Tool& SimTool();

} // namespace sim

// A bash completion script for a tool, made from its description: commands, options, the
// values an option takes where they are a fixed list or a file, and station names read from
// the configuration named on the line (through "TOOL show CONFIG --names").
#pragma once

#include "tool_description.h"

#include <string>

namespace cli {

std::string BashCompletion(const Tool& tool);

} // namespace cli

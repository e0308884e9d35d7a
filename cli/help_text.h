// The texts a tool prints for --help and on a wrong command line, made from its description.
#pragma once

#include "tool_description.h"

#include <string>
#include <vector>

namespace cli {

// Each way to call the command, on one line: "TOOL COMMAND OPERANDS [OPTIONS]".
std::vector<std::string> UsageForms(const Tool& tool, const Command& command);
// "usage: TOOL COMMAND OPERANDS [OPTIONS]" and the command's further usage lines.
std::string CommandUsage(const Tool& tool, const Command& command);
// The usage, what the command does, every option with what it does, and the details.
std::string CommandHelp(const Tool& tool, const Command& command);
// Every command's usage lines, then "TOOL --help | --version | -V".
std::string ToolUsage(const Tool& tool);
// The tool's usage, description, commands with their summaries, and exit codes.
std::string ToolHelp(const Tool& tool);

// One option as the usage shows it: "[--port COMn=PATH]...", "--tags TAGS", "[--json]".
std::string OptionInUsage(const Option& option);
// text filled into lines of at most width columns, each after indent spaces; a blank line
// or a line that starts with a space keeps its break.
std::string Wrapped(std::string_view text, size_t indent, size_t width = 79);

} // namespace cli

// What a tool's command line is, written once: the commands, their operands and options with
// what each does, and the exit codes. The parser, the --help texts, the manual page and the
// shell completion are all made from it.
#pragma once

#include <string_view>
#include <vector>

namespace cli {

struct Option {
    Option(std::string_view optionName, std::string_view valueName, std::string_view helpText)
        : name(optionName), value(valueName), help(helpText) {}
    Option Repeatable() const { return With(&Option::repeatable); }
    Option Required() const { return With(&Option::required); }
    Option InOperands() const { return With(&Option::inOperands); }
    Option Short(std::string_view letter) const {
        Option copy = *this;
        copy.shortName = letter;
        return copy;
    }

    std::string_view name;      // "--port"
    std::string_view value;     // what the value is ("COMn=PATH"); empty for a flag
    std::string_view help;      // what it does, in sentences
    bool repeatable = false;    // may be given several times, each value kept
    bool required = false;      // shown without brackets in the usage
    bool inOperands = false;    // the operands' text shows it already ("(--pty | --device PATH)")
    std::string_view shortName; // "-q", or empty

private:
    Option With(bool Option::*mark) const {
        Option copy = *this;
        copy.*mark = true;
        return copy;
    }
};

struct Command {
    std::string_view name;     // "run"; empty for a tool that has no commands
    std::string_view operands; // "CONFIG STATION ADDRESS..."
    std::string_view summary;  // one line: what the command does
    std::vector<Option> options;
    std::string_view details; // paragraphs after the options, each line at most 76 wide
    // Further usage lines of the same command (config's actions); each is shown after
    // "TOOL COMMAND ".
    std::vector<std::string_view> moreUsages;
};

struct ExitCode {
    int code;
    std::string_view meaning;
};

struct Tool {
    std::string_view name;    // "vfda-host"
    std::string_view summary; // for the manual page's NAME line
    std::string_view description;
    std::vector<Command> commands;
    std::vector<ExitCode> exitCodes;
    std::string_view seeAlso; // "vfda-sim(1)"

    // The command of that name, or nothing. A tool without commands has one, named "".
    const Command* Find(std::string_view commandName) const;
};

} // namespace cli

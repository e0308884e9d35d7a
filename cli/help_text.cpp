#include "help_text.h"

#include <sstream>

namespace cli {
namespace {

// How many columns a UTF-8 text takes, counting each character once.
size_t Columns(std::string_view text) {
    size_t columns = 0;
    for (const char c : text) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return columns;
}

std::string Words(std::string_view text, size_t indent, size_t width) {
    std::string out;
    std::string line(indent, ' ');
    bool lineEmpty = true;
    std::istringstream words{std::string(text)};
    std::string word;
    while (words >> word) {
        if (!lineEmpty && Columns(line) + 1 + Columns(word) > width) {
            out += line + "\n";
            line.assign(indent, ' ');
            lineEmpty = true;
        }
        line += (lineEmpty ? "" : " ") + word;
        lineEmpty = false;
    }
    if (!lineEmpty) {
        out += line + "\n";
    }
    return out;
}

// One way to call a command: "TOOL COMMAND", then the operands and options, each option a
// unit that is never broken across lines.
struct Form {
    std::string head;
    std::vector<std::string> units;
};

// Words split at blanks outside brackets: "[--baud 1200|2400]" stays one unit.
std::vector<std::string> Units(std::string_view text) {
    std::vector<std::string> units;
    std::string unit;
    int depth = 0;
    for (const char c : text) {
        depth += c == '[' || c == '(' ? 1 : c == ']' || c == ')' ? -1 : 0;
        if (c == ' ' && depth <= 0) {
            if (!unit.empty()) {
                units.push_back(unit);
            }
            unit.clear();
        } else {
            unit += c;
        }
    }
    if (!unit.empty()) {
        units.push_back(unit);
    }
    return units;
}

std::vector<Form> Forms(const Tool& tool, const Command& command) {
    std::string head(tool.name);
    if (!command.name.empty()) {
        head += " " + std::string(command.name);
    }
    Form first{head, Units(command.operands)};
    for (const Option& option : command.options) {
        if (!option.inOperands) {
            first.units.push_back(OptionInUsage(option));
        }
    }
    std::vector<Form> forms{first};
    for (const std::string_view more : command.moreUsages) {
        forms.push_back({head, Units(more)});
    }
    return forms;
}

// A form in lines of at most 79 columns after "usage: ", continuation lines under its first
// operand.
std::string WrappedForm(const Form& form) {
    const size_t indent = 7 + form.head.size() + 1;
    std::string out = form.head;
    size_t column = indent - 1;
    for (const std::string& unit : form.units) {
        const size_t width = Columns(unit);
        if (column > indent - 1 && column + 1 + width > 79) {
            out += "\n" + std::string(indent - 1, ' ');
            column = indent - 1;
        }
        out += " " + unit;
        column += 1 + width;
    }
    return out + "\n";
}

} // namespace

std::string OptionInUsage(const Option& option) {
    std::string shown(option.name);
    if (!option.value.empty()) {
        shown += " " + std::string(option.value);
    }
    if (!option.required) {
        shown = "[" + shown + "]";
    }
    return option.repeatable ? shown + "..." : shown;
}

std::string Wrapped(std::string_view text, size_t indent, size_t width) {
    std::string out;
    std::string paragraph;
    auto flush = [&] {
        out += Words(paragraph, indent, width);
        paragraph.clear();
    };
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == ' ') {
            flush();
            out += line.empty() ? "\n" : std::string(indent, ' ') + line + "\n";
        } else {
            paragraph += " " + line;
        }
    }
    flush();
    return out;
}

std::vector<std::string> UsageForms(const Tool& tool, const Command& command) {
    std::vector<std::string> lines;
    for (const Form& form : Forms(tool, command)) {
        std::string line = form.head;
        for (const std::string& unit : form.units) {
            line += " " + unit;
        }
        lines.push_back(line);
    }
    return lines;
}

std::string CommandUsage(const Tool& tool, const Command& command) {
    std::string usage;
    for (const Form& form : Forms(tool, command)) {
        usage += (usage.empty() ? "usage: " : "       ") + WrappedForm(form);
    }
    return usage;
}

namespace {

// What the command does, its options and the details.
std::string CommandBody(const Command& command) {
    std::string help = Wrapped(command.summary, 0) + "\noptions:\n";
    for (const Option& option : command.options) {
        std::string names(option.name);
        if (!option.shortName.empty()) {
            names = std::string(option.shortName) + ", " + names;
        }
        if (!option.value.empty()) {
            names += " " + std::string(option.value);
        }
        help += "  " + names + "\n" + Wrapped(option.help, 6);
    }
    help += "  -h, --help\n      Print this help and exit 0.\n";
    if (!command.details.empty()) {
        help += "\n" + Wrapped(command.details, 0);
    }
    return help;
}

} // namespace

std::string CommandHelp(const Tool& tool, const Command& command) {
    return CommandUsage(tool, command) + "\n" + CommandBody(command);
}

std::string ToolUsage(const Tool& tool) {
    std::string usage;
    for (const Command& command : tool.commands) {
        // The first form only; the command's --help shows the others.
        usage += (usage.empty() ? "usage: " : "       ") + WrappedForm(Forms(tool, command)[0]);
    }
    usage += "       " + std::string(tool.name) + " --help | --version | -V\n";
    if (tool.commands.size() > 1) {
        usage += "       (every command takes --help; an option's value follows it or is "
                 "joined\n        with '=': --baud 2400, --baud=2400)\n";
    }
    return usage;
}

std::string ToolHelp(const Tool& tool) {
    const bool oneCommand = tool.commands.size() == 1 && tool.commands[0].name.empty();
    std::string help = ToolUsage(tool) + "\n";
    help += oneCommand ? CommandBody(tool.commands[0]) + "\n" : "";
    help += Wrapped(tool.description, 0);
    if (!oneCommand) {
        help += "\ncommands:\n";
        for (const Command& command : tool.commands) {
            help += "  " + std::string(command.name) + "\n" + Wrapped(command.summary, 6);
        }
    }
    if (!tool.exitCodes.empty()) {
        help += "\nexit codes:\n";
        for (const ExitCode& exit : tool.exitCodes) {
            std::string code = "  " + std::to_string(exit.code);
            code.resize(7, ' ');
            help += Wrapped(exit.meaning, 7).replace(0, 7, code);
        }
    }
    return help;
}

} // namespace cli

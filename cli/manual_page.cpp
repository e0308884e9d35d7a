#include "manual_page.h"

#include "help_text.h"

#include <sstream>

namespace cli {
namespace {

// Text as roff shows it literally: backslashes and hyphens escaped, no line starting with a
// control character.
std::string Escaped(std::string_view text) {
    std::string out;
    bool lineStart = true;
    for (const char c : text) {
        if (lineStart && (c == '.' || c == '\'')) {
            out += "\\&";
        }
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out += c;
        }
        lineStart = c == '\n';
    }
    return out;
}

// Paragraphs of a description: filled text, and indented lines kept as they are.
std::string Paragraphs(std::string_view text) {
    std::string out;
    bool literal = false;
    std::istringstream lines{std::string(text)};
    std::string line;
    while (std::getline(lines, line)) {
        const bool indented = !line.empty() && line[0] == ' ';
        if (indented != literal) {
            out += indented ? ".PP\n.nf\n" : ".fi\n";
            literal = indented;
        }
        if (line.empty()) {
            out += ".PP\n";
        } else {
            out += Escaped(indented ? line.substr(line.find_first_not_of(' ')) : line) + "\n";
        }
    }
    if (literal) {
        out += ".fi\n";
    }
    return out;
}

std::string OptionItem(const Option& option) {
    std::string names = "\\fB" + Escaped(option.name) + "\\fR";
    if (!option.shortName.empty()) {
        names = "\\fB" + Escaped(option.shortName) + "\\fR, " + names;
    }
    if (!option.value.empty()) {
        names += " \\fI" + Escaped(option.value) + "\\fR";
    }
    return ".TP\n" + names + "\n" + Paragraphs(option.help);
}

std::string Synopsis(const Tool& tool, const Command& command) {
    std::string out;
    for (const std::string& form : UsageForms(tool, command)) {
        out += ".HP 4\n\\fB" + Escaped(tool.name) + "\\fR" +
               Escaped(form.substr(tool.name.size())) + "\n";
    }
    return out;
}

} // namespace

std::string ManualPage(const Tool& tool, std::string_view version, std::string_view date) {
    std::string upper(tool.name);
    for (char& c : upper) {
        c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    std::string page = ".TH " + Escaped(upper) + " 1 \"" + Escaped(date) + "\" \"" +
                       Escaped(tool.name) + " " + Escaped(version) + "\" \"User Commands\"\n";
    page += ".nh\n.ad l\n"; // option names are never hyphenated, nor lines stretched
    page += ".SH NAME\n" + Escaped(tool.name) + " \\- " + Escaped(tool.summary) + "\n";
    page += ".SH SYNOPSIS\n";
    for (const Command& command : tool.commands) {
        page += Synopsis(tool, command);
    }
    page += ".HP 4\n\\fB" + Escaped(tool.name) + "\\fR \\-\\-help | \\-\\-version | \\-V\n";
    const bool oneCommand = tool.commands.size() == 1 && tool.commands[0].name.empty();
    page += ".SH DESCRIPTION\n";
    if (oneCommand) {
        page += Paragraphs(tool.commands[0].summary) + ".PP\n";
    }
    page += Paragraphs(tool.description);
    page += oneCommand ? ".SH OPTIONS\n" : ".SH COMMANDS\n";
    for (const Command& command : tool.commands) {
        if (!oneCommand) {
            page += ".SS " + Escaped(command.name) + "\n" + Paragraphs(command.summary);
        }
        if (!command.options.empty()) {
            page += oneCommand ? "" : ".PP\nOptions:\n";
            page += ".RS\n";
            for (const Option& option : command.options) {
                page += OptionItem(option);
            }
            page += ".RE\n";
        }
        if (!command.details.empty()) {
            page += ".PP\n" + Paragraphs(command.details);
        }
    }
    if (!tool.exitCodes.empty()) {
        page += ".SH EXIT STATUS\n";
        for (const ExitCode& exit : tool.exitCodes) {
            page += ".TP\n" + std::to_string(exit.code) + "\n" + Paragraphs(exit.meaning);
        }
    }
    if (!tool.seeAlso.empty()) {
        page += ".SH SEE ALSO\n" + Escaped(tool.seeAlso) + "\n";
    }
    return page;
}

} // namespace cli

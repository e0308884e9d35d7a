// What is made from a tool's description: its --help, usage, manual page and completion
// agree with the description and with each other, for both tools.
#include "cli/bash_completion.h"
#include "cli/help_text.h"
#include "cli/manual_page.h"
#include "host_tool.h"
#include "sim/sim_tool.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

size_t Columns(const std::string& line) {
    size_t columns = 0;
    for (const char c : line) {
        columns += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
    }
    return columns;
}

// As roff prints it: "\-" is a hyphen.
std::string Unescaped(std::string page) {
    for (size_t at = page.find("\\-"); at != std::string::npos; at = page.find("\\-", at)) {
        page.erase(at, 1);
    }
    return page;
}

class ToolDocuments : public ::testing::TestWithParam<const cli::Tool*> {};

} // namespace

TEST_P(ToolDocuments, EveryOptionIsInTheHelpTheManualPageAndTheCompletion) {
    const cli::Tool& tool = *GetParam();
    const std::string page = Unescaped(cli::ManualPage(tool, "1.0", "2026-12-09"));
    const std::string completion = cli::BashCompletion(tool);
    for (const cli::Command& command : tool.commands) {
        const std::string help = cli::CommandHelp(tool, command);
        EXPECT_NE(page.find(std::string(command.summary.substr(0, 30))), std::string::npos)
            << command.name;
        for (const cli::Option& option : command.options) {
            const std::string name(option.name);
            EXPECT_NE(help.find(name), std::string::npos) << command.name << " " << name;
            EXPECT_NE(page.find(name), std::string::npos) << command.name << " " << name;
            EXPECT_NE(completion.find(name + " "), std::string::npos) << name;
            if (!option.inOperands) {
                EXPECT_NE(cli::CommandUsage(tool, command).find(name), std::string::npos) << name;
            }
        }
        if (!command.name.empty()) {
            EXPECT_NE(
                cli::ToolUsage(tool).find(std::string(tool.name) + " " + std::string(command.name)),
                std::string::npos)
                << command.name;
            EXPECT_NE(completion.find("    " + std::string(command.name) + ")"), std::string::npos)
                << command.name;
        }
    }
    for (const cli::ExitCode& exit : tool.exitCodes) {
        EXPECT_NE(page.find(".TP\n" + std::to_string(exit.code) + "\n"), std::string::npos);
    }
}

TEST_P(ToolDocuments, TextsFitAnEightyColumnTerminal) {
    const cli::Tool& tool = *GetParam();
    std::string texts = cli::ToolHelp(tool);
    for (const cli::Command& command : tool.commands) {
        texts += cli::CommandHelp(tool, command);
    }
    for (const std::string& line : Lines(texts)) {
        EXPECT_LE(Columns(line), 79u) << line;
    }
}

TEST_P(ToolDocuments, TheManualPageIsRoffThatShowsTextLiterally) {
    const std::string page = cli::ManualPage(*GetParam(), "1.0", "2026-12-09");
    for (const std::string& line : Lines(page)) {
        if (!line.empty() && (line[0] == '.' || line[0] == '\'')) {
            // A request: only the macros the page uses, never text that starts with a dot.
            const std::string request = line.substr(0, line.find(' '));
            static const std::vector<std::string> kMacros{".TH", ".SH", ".SS", ".PP", ".TP", ".HP",
                                                          ".RS", ".RE", ".nf", ".fi", ".nh", ".ad"};
            EXPECT_NE(std::find(kMacros.begin(), kMacros.end(), request), kMacros.end()) << line;
        }
        EXPECT_EQ(line.find(" --"), std::string::npos) << "an unescaped hyphen: " << line;
    }
}

INSTANTIATE_TEST_SUITE_P(BothTools, ToolDocuments,
                         ::testing::Values(&vfdahost::HostTool(), &sim::SimTool()),
                         [](const auto& tool) {
                             return tool.param->name == "vfda-host" ? std::string("Host")
                                                                    : std::string("Sim");
                         });

TEST(HelpText, WrappingKeepsIndentedLinesAndBlankLines) {
    EXPECT_EQ(cli::Wrapped("one two three four", 2, 12), "  one two\n  three four\n");
    EXPECT_EQ(cli::Wrapped("a\n\n  keep  as is\nb", 0), "a\n\n  keep  as is\nb\n");
}

TEST(HelpText, AnOptionShowsItsValueBracketsAndRepetition) {
    EXPECT_EQ(cli::OptionInUsage(cli::Option{"--port", "COMn=PATH", ""}.Repeatable()),
              "[--port COMn=PATH]...");
    EXPECT_EQ(cli::OptionInUsage(cli::Option{"--tags", "TAGS", ""}.Required()), "--tags TAGS");
    EXPECT_EQ(cli::OptionInUsage(cli::Option{"--json", "", ""}), "[--json]");
}

// The tools' command lines from outside: what --help prints, what a wrong line is told, values
// that start with '-', the module's messages in the reader's language, and the wall clock in
// the output.
#include "cli/help_text.h"
#include "host_tool.h"
#include "json_lines.h"
#include "run_program.h"
#include "sim/sim_tool.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <regex>

using namespace testing_support;

namespace {

std::string Program(const char* name) {
    return (BinFolder() / ProgramFile(name)).string();
}

ProgramResult Host(const std::vector<std::string>& arguments) {
    return RunProgram(Program("vfda-host"), arguments);
}

// vfda-host in the environment a user's shell gives it (LC_ALL, TERM...).
ProgramResult HostWith(const std::string& setting, const std::vector<std::string>& arguments) {
    std::vector<std::string> words{setting, Program("vfda-host")};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return RunProgram("/usr/bin/env", words);
}

class VfdaHostCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Host({"config", config_, "init"}).exitCode, 0);
        // A port no machine has, so a run reports it and goes on without a line.
        ASSERT_EQ(Host({"config", config_, "set", "--port", "COM36"}).exitCode, 0);
        ASSERT_EQ(Host({"config", config_, "add-station", "PUMP1", "--number", "1"}).exitCode, 0);
        std::ofstream(tags_) << "name,type,device,address\nP1F,analog,PUMP1,D4\n";
    }

    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::string tags_ = folder_.File("tags.csv");
};

const std::regex kIsoUtc(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)");

} // namespace

TEST_F(VfdaHostCliTest, EveryCommandsHelpIsItsDescriptionAndExits0) {
    const cli::Tool& tool = vfdahost::HostTool();
    for (const cli::Command& command : tool.commands) {
        const ProgramResult help = Host({std::string(command.name), "--help"});
        EXPECT_EQ(help.exitCode, 0) << command.name;
        EXPECT_EQ(help.out, cli::CommandHelp(tool, command)) << command.name;
    }
    const ProgramResult all = Host({"-h"});
    EXPECT_EQ(all.exitCode, 0);
    EXPECT_EQ(all.out, cli::ToolHelp(tool));
}

TEST_F(VfdaHostCliTest, AWrongLineIsToldWhatIsWrongAndExits2) {
    const std::pair<std::vector<std::string>, std::string> kCases[] = {
        {{"bogus"}, "vfda-host: unknown command \"bogus\"\n"},
        {{"--bogus"}, "vfda-host: unknown option \"--bogus\"\n"},
        {{"show", config_, "--bogus"}, "vfda-host: unknown option --bogus\n"},
        {{"show", config_, "--json=1"}, "vfda-host: --json takes no value\n"},
        {{"config", config_, "explode"}, "vfda-host: unknown action \"explode\"\n"},
        {{"run", config_, "--tags", tags_, "--time", "local"},
         "vfda-host: --time must be run or wall\n"},
    };
    for (const auto& [words, told] : kCases) {
        const ProgramResult result = Host(words);
        EXPECT_EQ(result.exitCode, 2) << told;
        EXPECT_EQ(result.err.rfind(told, 0), 0u) << result.err;
        EXPECT_NE(result.err.find("usage: vfda-host"), std::string::npos) << told;
    }
}

TEST_F(VfdaHostCliTest, AValueThatStartsWithADashIsAValue) {
    ASSERT_EQ(Host({"config", config_, "add-station", "Z", "--number", "4", "--description", "-h"})
                  .exitCode,
              0);
    // After "--" a name that looks like an option is a name.
    ASSERT_EQ(Host({"config", config_, "add-station", "--number", "5", "--", "-A"}).exitCode, 0);
    const ProgramResult names = Host({"show", config_, "--names"});
    EXPECT_EQ(names.out, "PUMP1\nZ\n-A\n");
    const ProgramResult shown = Host({"show", config_, "--json"});
    EXPECT_NE(shown.out.find("{\"name\":\"Z\",\"description\":\"-h\",\"model\":0,\"number\":4}"),
              std::string::npos)
        << shown.out;
}

TEST_F(VfdaHostCliTest, TheModulesMessagesCarryTheirNumberAndOutsideKoreanTheirMeaning) {
    const std::string missing = folder_.File("missing.cfg");
    const std::string korean = "[DELTA VFD-A] 지정된 파일[" + missing + "]을 열 수 없습니다.";
    EXPECT_EQ(HostWith("LC_ALL=C.UTF-8", {"show", missing}).err,
              korean + " (5: cannot open file [" + missing + "])\n");
    EXPECT_EQ(HostWith("LC_ALL=ko_KR.UTF-8", {"show", missing}).err, korean + " (5)\n");

    const ProgramResult run =
        HostWith("LC_ALL=C", {"run", config_, "--tags", tags_, "--seconds", "0", "--json"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    bool portMessage = false;
    for (const std::string& line : SplitLines(run.out)) {
        const auto object = ParseJson(line);
        const JsonValue* meaning = object ? object->Find("meaning") : nullptr;
        portMessage =
            portMessage || (IsEvent(line, "log", {{"number", "4"}}) && meaning != nullptr &&
                            meaning->text == "cannot open communication port [\\\\.\\COM36]");
    }
    EXPECT_TRUE(portMessage) << run.out;
}

TEST_F(VfdaHostCliTest, OutputCarriesTheWallClockForAPlantsLogs) {
    const auto before = std::chrono::system_clock::now();
    const ProgramResult json = Host({"run", config_, "--tags", tags_, "--seconds", "0", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    const std::vector<std::string> lines = SplitLines(json.out);
    ASSERT_TRUE(AllJsonObjects(lines));
    for (const std::string& line : lines) {
        const auto object = ParseJson(line);
        ASSERT_TRUE(object.has_value());
        const JsonValue* time = object->Find("time");
        ASSERT_NE(time, nullptr) << line;
        ASSERT_EQ(time->kind, JsonValue::Kind::String) << line;
        EXPECT_TRUE(std::regex_match(time->text, kIsoUtc)) << line;
        // The same year as this machine's clock: UTC, not a count since the start.
        EXPECT_EQ(
            time->text.substr(0, 4),
            std::to_string(static_cast<int>(
                std::chrono::year_month_day(std::chrono::floor<std::chrono::days>(before)).year())))
            << line;
    }

    const ProgramResult text =
        Host({"run", config_, "--tags", tags_, "--seconds", "0", "--time", "wall"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    for (const std::string& line : SplitLines(text.out)) {
        EXPECT_TRUE(line.size() > 26 && std::regex_match(line.substr(0, 24), kIsoUtc) &&
                    line.substr(24, 2) == "  ")
            << line;
    }
}

TEST_F(VfdaHostCliTest, QuietLeavesOutTheSetUpLinesOnly) {
    const ProgramResult full = Host({"run", config_, "--tags", tags_, "--seconds", "0", "--json"});
    const ProgramResult quiet =
        Host({"run", config_, "--tags", tags_, "--seconds", "0", "--json", "-q"});
    ASSERT_EQ(quiet.exitCode, 0) << quiet.err;
    auto count = [](const ProgramResult& result, const std::string& event) {
        int found = 0;
        for (const std::string& line : SplitLines(result.out)) {
            found += IsEvent(line, event, {}) ? 1 : 0;
        }
        return found;
    };
    EXPECT_EQ(count(full, "tag"), 1);
    EXPECT_EQ(count(quiet, "tag"), 0);
    // The port that did not open is a failure, not set-up: it stays.
    EXPECT_EQ(count(quiet, "port"), count(full, "port"));
    EXPECT_GE(count(quiet, "port"), 1);
    EXPECT_EQ(count(quiet, "stats"), count(full, "stats"));
}

TEST(VfdaSimCliTest, SharesTheParserAndItsDescription) {
    const ProgramResult joined = RunProgram(Program("vfda-sim"), {"--trace=1"});
    EXPECT_EQ(joined.exitCode, 2);
    EXPECT_EQ(joined.err.rfind("vfda-sim: --trace takes no value\n", 0), 0u) << joined.err;
    const ProgramResult operand = RunProgram(Program("vfda-sim"), {"--pty", "extra"});
    EXPECT_EQ(operand.exitCode, 2);
    EXPECT_EQ(operand.err.rfind("vfda-sim: unexpected operand \"extra\"\n", 0), 0u) << operand.err;
    const ProgramResult help = RunProgram(Program("vfda-sim"), {"--pty", "-h"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, cli::ToolHelp(sim::SimTool()));
    const ProgramResult version = RunProgram(Program("vfda-sim"), {"-V"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out.rfind("vfda-sim ", 0), 0u);
}

// The operator's commands and vfda-sim's command line.
#include "sim/console.h"
#include "sim/options.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

class ConsoleTest : public ::testing::Test {
protected:
    simtest::ManualClock clock;
    sim::Simulator simulator{{1, 3}, 4800, clock.Source()};
    sim::Console console{simulator};

    std::string Run(std::string_view line) { return console.Execute(line).output; }
};

TEST_F(ConsoleTest, SetAndGetRawWords) {
    EXPECT_EQ(Run("set 1 P5 123"), "ok\n");
    EXPECT_EQ(Run("get 1 P5"), "123\n");
    EXPECT_EQ(Run("get 1 p3"), "600\n");
    EXPECT_EQ(Run("set 3 D0 450"), "ok\n");
    EXPECT_EQ(Run("get 3 D0"), "450\n");
    EXPECT_EQ(Run("set 3 D3 1"), "ok\n"); // run
    clock.Advance(1000);
    EXPECT_EQ(Run("get 3 D1"), "60\n");
}

TEST_F(ConsoleTest, FaultAndClearReachTheStation) {
    EXPECT_EQ(Run("fault 1 wrong-station"), "ok\n");
    EXPECT_EQ(simulator.ActiveFault(1), sim::FaultKind::WrongStation);
    EXPECT_EQ(Run("clear 1"), "ok\n");
    EXPECT_EQ(simulator.ActiveFault(1), sim::FaultKind::None);
    EXPECT_EQ(Run("fault 3 late 2"), "ok\n");
    EXPECT_EQ(Run("fault 1 noise-stream"), "ok\n");
    EXPECT_EQ(Run("clear all"), "ok\n");
    EXPECT_EQ(simulator.ActiveFault(3), sim::FaultKind::None);
    EXPECT_FALSE(simulator.NoiseStreamOn());
}

TEST_F(ConsoleTest, BadInputGetsAnErrorLineAndChangesNothing) {
    for (const char* line :
         {"frobnicate", "fault 2 silent", "fault 1 loud", "fault 1 silent 0", "set 1 P81 5",
          "set 1 P3 4001", "set 1 X3 5", "set 1 P3 -1", "set 1 P3 12abc", "get 1", "get 32 P1",
          "get 1 D7", "load 1 300", "set 1 P3 99999999999999999999"}) {
        const std::string output = Run(line);
        EXPECT_EQ(output.rfind("error: ", 0), 0u) << line << " -> " << output;
    }
    EXPECT_EQ(Run("get 1 P3"), "600\n");
    EXPECT_EQ(simulator.ActiveFault(1), sim::FaultKind::None);
}

TEST_F(ConsoleTest, FormatCharactersInInputAreJustText) {
    const std::string output = Run("%s%n%x");
    EXPECT_EQ(output, "error: unknown command '%s%n%x'\n");
}

TEST_F(ConsoleTest, BlankLinesAndCommentsSayNothingAndQuitQuits) {
    EXPECT_EQ(Run(""), "");
    EXPECT_EQ(Run("   # a note"), "");
    EXPECT_TRUE(console.Execute("quit").quit);
    EXPECT_FALSE(console.Execute("help").quit);
}

TEST_F(ConsoleTest, StatsListsEveryStation) {
    simulator.Handle(simtest::MakeRequest('R', "0105"));
    const std::string output = Run("stats");
    EXPECT_NE(output.find("station 1 frames 1 R 1 Q 0 P 0 C 0 answers 1"), std::string::npos);
    EXPECT_NE(output.find("station 3 frames 0"), std::string::npos);
}

TEST(CommandLine, ReadsBoundedLines) {
    std::istringstream in("get 1 P5\n" + std::string(1000, 'x') + "\nlast");
    std::string line;
    bool tooLong = false;
    ASSERT_TRUE(sim::ReadCommandLine(in, line, tooLong));
    EXPECT_EQ(line, "get 1 P5");
    ASSERT_TRUE(sim::ReadCommandLine(in, line, tooLong));
    EXPECT_TRUE(tooLong);
    EXPECT_EQ(line.size(), sim::kMaxCommandLength);
    ASSERT_TRUE(sim::ReadCommandLine(in, line, tooLong));
    EXPECT_EQ(line, "last");
    EXPECT_FALSE(sim::ReadCommandLine(in, line, tooLong));
}

TEST(CommandLine, ParsesOptions) {
    sim::Options options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--pty", "--stations", "3,1,5-7,1", "--baud", "1200",
                                   "--turnaround", "0", "--no-wire-timing", "--trace"},
                                  options, error))
        << error;
    EXPECT_TRUE(options.pseudoTerminal);
    EXPECT_EQ(options.stations, (std::vector<int>{1, 3, 5, 6, 7}));
    EXPECT_EQ(options.baud, 1200u);
    EXPECT_EQ(options.turnaroundMs, 0u);
    EXPECT_FALSE(options.wireTiming);
    EXPECT_TRUE(options.trace);
}

TEST(CommandLine, DefaultsToStationOneAt4800Baud) {
    sim::Options options;
    std::string error;
    ASSERT_TRUE(sim::ParseOptions({"--device", "/dev/ttyUSB0"}, options, error));
    EXPECT_EQ(options.stations, std::vector<int>{1});
    EXPECT_EQ(options.baud, 4800u);
    EXPECT_TRUE(options.wireTiming);
}

TEST(CommandLine, RejectsBadOptions) {
    const std::vector<std::vector<std::string_view>> bad = {
        {},
        {"--pty", "--device", "/dev/x"},
        {"--pty", "--baud", "9600"},
        {"--pty", "--stations", "32"},
        {"--pty", "--stations", "5-2"},
        {"--pty", "--stations", ""},
        {"--pty", "--stations", "1,,2"},
        {"--pty", "--turnaround"},
        {"--pty", "--bogus"},
    };
    for (const auto& args : bad) {
        sim::Options options;
        std::string error;
        EXPECT_FALSE(sim::ParseOptions(args, options, error));
        EXPECT_FALSE(error.empty());
    }
}

} // namespace

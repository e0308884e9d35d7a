// The drives' starting state from vfda-sim's command line: parsed, then seen on the line.
#include "sim/drive_setup.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

using simtest::MakeRequest;
using simtest::ValueField;

sim::Options Parse(const std::vector<std::string_view>& args) {
    sim::Options options;
    std::string error;
    EXPECT_TRUE(sim::ParseOptions(args, options, error)) << error;
    return options;
}

TEST(DriveSetupOptions, ParsesListsAndFlags) {
    const sim::Options options = Parse({"--pty", "--stations", "1-3", "--read-only=20,10-11",
                                        "--hide", "80,5", "--locked", "--running", "3,2"});
    EXPECT_EQ(options.readOnlyParameters, (std::vector<int>{10, 11, 20}));
    EXPECT_EQ(options.hiddenParameters, (std::vector<int>{5, 80}));
    EXPECT_TRUE(options.locked);
    EXPECT_EQ(options.runningStations, (std::vector<int>{2, 3}));
}

TEST(DriveSetupOptions, RefusesWrongLists) {
    const std::vector<std::vector<std::string_view>> bad = {
        {"--pty", "--read-only", "81"}, {"--pty", "--read-only", "P10"},
        {"--pty", "--hide", "3-1"},     {"--pty", "--hide"},
        {"--pty", "--running", "2"}, // station 2 is not simulated
        {"--pty", "--running", "32"},   {"--pty", "--read-only", ""},
        {"--pty", "--locked=1"},
    };
    for (const auto& args : bad) {
        sim::Options options;
        std::string error;
        EXPECT_FALSE(sim::ParseOptions(args, options, error)) << args.back();
        EXPECT_FALSE(error.empty());
    }
}

class DriveSetupTest : public ::testing::Test {
protected:
    sim::Reply Ask(char letter, std::string_view digits) {
        return drives_.Handle(MakeRequest(letter, digits));
    }
    simtest::ManualClock clock_;
    sim::Simulator drives_{{1, 2}, 4800, clock_.Source()};
};

TEST_F(DriveSetupTest, ReadOnlyParametersRefuseWritesAndStillAnswerReads) {
    sim::SetUpDrives(drives_, Parse({"--pty", "--stations", "1,2", "--read-only", "10"}));
    const sim::Reply refused = Ask('P', "01100050");
    ASSERT_EQ(refused.bytes.size(), 11u);
    EXPECT_EQ(refused.bytes[2], 0x07);
    EXPECT_EQ(ValueField(refused.bytes), "0003");
    EXPECT_EQ(ValueField(Ask('R', "0210").bytes), "0100"); // unchanged, readable
    EXPECT_EQ(Ask('P', "01110050").bytes[2], 0x06);        // its neighbour is writable
    EXPECT_EQ(drives_.Counters(1)->refusals, 1u);
}

TEST_F(DriveSetupTest, HiddenParametersGoUnansweredOnEveryDrive) {
    sim::SetUpDrives(drives_, Parse({"--pty", "--stations", "1,2", "--hide", "7"}));
    EXPECT_TRUE(Ask('R', "0107").bytes.empty());
    EXPECT_TRUE(Ask('R', "0207").bytes.empty());
    EXPECT_EQ(Ask('R', "0108").bytes.size(), 11u);
}

TEST_F(DriveSetupTest, TheLockRefusesWritesAndTheNamedStationsRun) {
    sim::SetUpDrives(drives_, Parse({"--pty", "--stations", "1,2", "--locked", "--running", "2"}));
    EXPECT_EQ(ValueField(Ask('P', "01100050").bytes), "0003");
    uint16_t status = 0;
    ASSERT_EQ(drives_.GetWord(2, sim::Area::Monitor, sim::monitor::kStatus, status),
              sim::Outcome::Ok);
    EXPECT_NE(status & sim::status::kRunning, 0);
    ASSERT_EQ(drives_.GetWord(1, sim::Area::Monitor, sim::monitor::kStatus, status),
              sim::Outcome::Ok);
    EXPECT_EQ(status & sim::status::kRunning, 0);
}

} // namespace

// Run commands end to end: a write of the frequency (D0) or of the operation command (D3)
// sends the drive's own other half, read from the drive when the driver has not seen it,
// and never a frame the drive would misread. The frames are checked as the drives got them.
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace testing_support;

namespace {

constexpr int kPump = 1;

std::string Frame(char letter, const std::string& digits) {
    return std::string(1, letter) + "\x03\x01" + digits;
}

class DriveCommandTest : public RuntimeTest {
protected:
    // PUMP1 already runs: forward (command 1) or as `command` says, at `frequency` (0.1 Hz).
    void DriveRuns(uint16_t command, uint16_t frequency) {
        auto& drives = line_->Drives();
        ASSERT_EQ(drives.SetWord(kPump, sim::Area::Monitor, 0, frequency), sim::Outcome::Ok);
        ASSERT_EQ(drives.SetWord(kPump, sim::Area::Monitor, 3, command), sim::Outcome::Ok);
    }

    bool DriveIsRunning() {
        return (DriveWord(kPump, sim::Area::Monitor, sim::monitor::kStatus) &
                sim::status::kRunning) != 0;
    }

    // The requests PUMP1 received, in order.
    std::vector<std::string> PumpRequests() const {
        std::vector<std::string> requests;
        for (const std::string& request : line_->Requests()) {
            if (request.compare(3, 2, "01") == 0) {
                requests.push_back(request);
            }
        }
        return requests;
    }

    // Every byte on the line belonged to a request of 7 or 11 bytes: nothing longer left.
    void ExpectOnlyWholeFrames() const {
        const std::vector<std::string> requests = line_->Requests();
        const size_t bytes = std::accumulate(
            requests.begin(), requests.end(), size_t{0},
            [](size_t sum, const std::string& request) { return sum + request.size(); });
        const sim::LineCounters counters = line_->Counters();
        EXPECT_EQ(counters.bytesReceived, bytes);
        EXPECT_EQ(counters.skippedBytes, 0u);
        for (const std::string& request : requests) {
            EXPECT_TRUE(request.size() == 7 || request.size() == 11) << request.size();
        }
    }

    int32_t PumpStatistics(int32_t (&counters)[4]) {
        return module_->GetStatistics(instance_, "PUMP1", counters);
    }
};

} // namespace

TEST_F(DriveCommandTest, AFrequencyWriteKeepsADriveRunningForwardWithoutAD3Tag) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    DriveRuns(1, 300);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    ASSERT_TRUE(WaitForValue(1, 30.0));
    ASSERT_EQ(Write(frequency, 40.0), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->Drives().Counters(kPump)->commands >= 1; }));
    EXPECT_TRUE(WaitForValue(1, 40.0));
    EXPECT_TRUE(DriveIsRunning()) << "the drive still runs";
    EXPECT_EQ(DriveWord(kPump, sim::Area::Monitor, 3), 1) << "forward, as before";
    const std::vector<std::string> requests = PumpRequests();
    const auto command = std::find(requests.begin(), requests.end(), Frame('C', "01010400"));
    ASSERT_NE(command, requests.end());
    ASSERT_NE(command, requests.begin());
    EXPECT_EQ(*(command - 1), Frame('Q', "0103")) << "the command word was read right before";
    ExpectOnlyWholeFrames();
}

TEST_F(DriveCommandTest, AnUnpolledCommandWordIsReadAgainForEveryFrequencyWrite) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    DriveRuns(1, 300);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    ASSERT_EQ(Write(frequency, 40.0), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->Drives().Counters(kPump)->commands >= 1; }));
    DriveRuns(0, 400); // stopped at the drive's panel
    ASSERT_EQ(Write(frequency, 45.0), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->Drives().Counters(kPump)->commands >= 2; }));
    EXPECT_TRUE(WaitForValue(1, 45.0));
    EXPECT_EQ(DriveWord(kPump, sim::Area::Monitor, 3), 0) << "stays stopped";
    const std::vector<std::string> requests = PumpRequests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), Frame('Q', "0103")), 2);
    const auto command = std::find(requests.begin(), requests.end(), Frame('C', "01000450"));
    ASSERT_NE(command, requests.end()) << "the stop the drive reported goes along";
    EXPECT_EQ(*(command - 1), Frame('Q', "0103"));
}

TEST_F(DriveCommandTest, ARunCommandKeepsTheFrequencyCommandWithoutAD0Tag) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    DriveRuns(0, 350); // stopped, set for 35.0 Hz
    const int32_t command = Tag(1, "CMD1", "X.PUMP1", "D3");
    Start();
    ASSERT_TRUE(WaitForValue(1, 0));
    ASSERT_EQ(Write(command, 1), 0);
    ASSERT_TRUE(WaitFor([&] { return DriveIsRunning(); })) << "the drive starts";
    EXPECT_EQ(DriveWord(kPump, sim::Area::Monitor, 0), 350) << "at the frequency it had";
    const std::vector<std::string> requests = PumpRequests();
    const auto sent = std::find(requests.begin(), requests.end(), Frame('C', "01010350"));
    ASSERT_NE(sent, requests.end());
    EXPECT_EQ(*(sent - 1), Frame('Q', "0100"));
    ExpectOnlyWholeFrames();
}

TEST_F(DriveCommandTest, AFrequencyThenARunCommandQueuedTogetherKeepBoth) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    const int32_t command = Tag(2, "CMD1", "X.PUMP1", "D3");
    Start();
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value() && Latest(2).has_value(); }));
    ASSERT_EQ(Write(frequency, 42.0), 0);
    ASSERT_EQ(Write(command, 1), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->Drives().Counters(kPump)->commands >= 2; }));
    EXPECT_TRUE(WaitFor([&] { return DriveIsRunning(); }));
    EXPECT_EQ(DriveWord(kPump, sim::Area::Monitor, 0), 420) << "the run command kept 42.0 Hz";
    ExpectOnlyWholeFrames();
}

// A running drive reports its command with the status bit 7 set (jogging in reverse, 05,
// reads 0x85 = 133); a speed change sends the command back without that bit, and the drive
// keeps jogging at the new speed.
TEST_F(DriveCommandTest, ARunningDriveTakesAFrequencyWriteWithTheCommandItReported) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    line_->Drives().SetReportsRunning(kPump, true);
    DriveRuns(5, 300);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    Tag(2, "CMD1", "X.PUMP1", "D3");
    Start();
    ASSERT_TRUE(WaitForValue(2, 133));
    ASSERT_EQ(Write(frequency, 50.0), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->Drives().Counters(kPump)->commands == 1; }));
    EXPECT_TRUE(WaitForValue(1, 50.0));
    const std::vector<std::string> requests = PumpRequests();
    EXPECT_NE(std::find(requests.begin(), requests.end(), Frame('C', "01050500")), requests.end())
        << "jog reverse, 50.0 Hz";
    EXPECT_EQ(LogCount(kNotWritable), 0u);
    EXPECT_EQ(host_->TagNameRequests(), 0u) << "a name only builds messages 6, 7 and 17";
    int32_t counters[4] = {};
    EXPECT_EQ(PumpStatistics(counters), 0);
    EXPECT_EQ(counters[2], 1) << "write requests";
    EXPECT_EQ(counters[3], 0) << "write failures";
    EXPECT_TRUE(DriveIsRunning());
    ExpectOnlyWholeFrames();
}

// Only what the frame's fields cannot hold is refused at once (message 17, not counted: it
// never reached the line). A two-digit command the drive does not know is sent, and the
// drive refuses it (message 12): one write on the line, one failure.
TEST_F(DriveCommandTest, OnlyWhatTheFieldsCannotHoldIsRefusedAtOnce) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    const int32_t command = Tag(2, "CMD1", "X.PUMP1", "D3");
    Start();
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value() && Latest(2).has_value(); }));
    EXPECT_EQ(Write(frequency, 1000.0), -17) << "five digits";
    EXPECT_EQ(Write(frequency, -5.0), -17);
    EXPECT_EQ(Write(command, 100), -17) << "three digits";
    EXPECT_EQ(Write(command, 65537), -17) << "would wrap to 1";
    EXPECT_EQ(LogCount("[F1]"), 2u);
    EXPECT_EQ(LogCount("[CMD1]"), 2u);
    EXPECT_EQ(Write(command, 9), 0) << "the drive decides on a command it may not know";
    ASSERT_TRUE(WaitFor([&] { return LogCount(kDriveRefused) == 1; }));
    const std::vector<std::string> requests = PumpRequests();
    EXPECT_EQ(std::count_if(
                  requests.begin(), requests.end(),
                  [](const std::string& r) { return r.compare(0, 7, Frame('C', "0109")) == 0; }),
              1);
    int32_t counters[4] = {};
    PumpStatistics(counters);
    EXPECT_EQ(counters[2], 1) << "write requests: the one on the line";
    EXPECT_EQ(counters[3], 1) << "write failures: the drive's refusal";
    EXPECT_EQ(line_->Drives().Counters(kPump)->commands, 1u) << "the one command frame";
    ExpectOnlyWholeFrames();
}

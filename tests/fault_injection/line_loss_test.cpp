// The line itself failing under a running driver: a line that never stops carrying noise,
// the adapter pulled out (and plugged back in), and a stop while a transaction waits.
#include "driver_fixture.h"

#include <chrono>

using namespace fault_testing;

namespace {

class LineLoss : public DriverFixture {
protected:
    // PUMP1 and PUMP2 polled, one value each.
    void Run() {
        ASSERT_GE(OpenInstance(), 0);
        ASSERT_EQ(InitComm(), 0);
        ASSERT_GE(Tag(1, "F1", "PUMP1", "D0"), 0);
        ASSERT_GE(Tag(2, "F2", "PUMP2", "D0"), 0);
        BuildPollMasks();
        Start();
        ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value() && Latest(2).has_value(); }));
    }

    int32_t Failures(const char* station) const {
        const Statistics s = Stats(station);
        return s.readFailures + s.writeFailures;
    }

    static constexpr int kPortReady = 3;
    static constexpr int kStarted = 1;
    static constexpr int kEnded = 2;
};

TEST_F(LineLoss, AContinuousNoiseStreamSpoilsNothing) {
    Run();
    line_->Drives().SetWord(1, sim::Area::Monitor, 0, 123);
    line_->Drives().SetFault(1, sim::FaultKind::NoiseStream);
    const int32_t readsBefore = Stats("PUMP1").reads;
    ASSERT_TRUE(WaitFor([&] {
        return line_->NoiseBytesSent() >= 200 && Stats("PUMP1").reads >= readsBefore + 10 &&
               Stats("PUMP2").reads >= readsBefore + 10;
    }));
    EXPECT_EQ(Latest(1), 12.3) << "values still arrive, and right";
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(Failures("PUMP1"), 0);
    EXPECT_EQ(Failures("PUMP2"), 0);
    EXPECT_EQ(LogCount(Line(kEnded, nullptr)), 1u);
}

// The adapter goes away: every transaction fails (the threads go on, counting), each
// station's link is reported lost once, and a stop ends it cleanly.
TEST_F(LineLoss, AnUnpluggedAdapterIsCountedAndStopsCleanly) {
    Run();
    line_->Unplug();
    ASSERT_TRUE(WaitFor(
        [&] { return LogCount(Line(14, "PUMP1")) == 1 && LogCount(Line(14, "PUMP2")) == 1; }));
    const int32_t failures = Failures("PUMP1");
    ASSERT_TRUE(WaitFor([&] { return Failures("PUMP1") >= failures + 3; }))
        << "the poll thread goes on";
    EXPECT_EQ(Stats(nullptr).status, 1) << "the instance reports stations in error";
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogCount(Line(kEnded, nullptr)), 1u);
    const int32_t stopped = Failures("PUMP1");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(Failures("PUMP1"), stopped) << "nothing runs after the stop";
    EXPECT_EQ(LogLinesWith("[PUMP1]").size(), 6u) << "five failures and the loss";
}

// Plugged back in under the same name, the port is opened again by itself (message 3) and
// every station's link comes back (message 15), without a new DrvInitComm.
TEST_F(LineLoss, ThePortIsOpenedAgainWhenTheAdapterComesBack) {
    Run();
    line_->Unplug();
    ASSERT_TRUE(WaitFor(
        [&] { return LogCount(Line(14, "PUMP1")) == 1 && LogCount(Line(14, "PUMP2")) == 1; }));
    const uint64_t framesWhileGone = line_->Counters(1).framesReceived;
    line_->Drives().SetWord(1, sim::Area::Monitor, 0, 456);
    line_->Plug();
    ASSERT_TRUE(WaitFor(
        [&] { return LogCount(Line(15, "PUMP1")) == 1 && LogCount(Line(15, "PUMP2")) == 1; }));
    ASSERT_TRUE(WaitFor([&] { return Latest(1) == 45.6; })) << "values flow again";
    EXPECT_GT(line_->Counters(1).framesReceived, framesWhileGone);
    EXPECT_EQ(LogCount(Line(kPortReady, nullptr)), 2u) << "opened, and opened again";
    EXPECT_EQ(Stats(nullptr).status, 0);
    EXPECT_EQ(Stop(), 0);
    EXPECT_EQ(LogCount(Line(kStarted, nullptr)), 1u) << "communication ran on throughout";
    EXPECT_EQ(LogCount(Line(14, "PUMP1")), 1u);
}

// A stop while the poll thread waits for an answer that will not come returns within the
// bound of that one receive (a second), long before the drive's silence ends.
TEST_F(LineLoss, AStopDuringATransactionReturnsWithinItsBound) {
    Run();
    line_->Drives().SetFault(1, sim::FaultKind::Silent);
    line_->Drives().SetFault(2, sim::FaultKind::Silent);
    const uint64_t frames = line_->Counters(1).framesReceived + line_->Counters(2).framesReceived;
    ASSERT_TRUE(WaitFor([&] {
        return line_->Counters(1).framesReceived + line_->Counters(2).framesReceived > frames;
    })) << "a request is out, its answer awaited";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Stop(), 0);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, std::chrono::seconds(10)) << "one receive is bounded at a second";
    EXPECT_EQ(LogCount(Line(kEnded, nullptr)), 1u);
}

} // namespace

// The module at run time, loaded as a host loads it, against simulated drives on a
// pseudo-terminal: polling, writes, statistics, supervision, start and stop.
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

using namespace testing_support;

TEST_F(RuntimeTest, StatusValuesReachTheTagDatabaseScaled) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    EXPECT_EQ(LogCount(kPortReady), 1u);
    line_->Drives().SetWord(1, sim::Area::Monitor, 0, 456);
    ASSERT_GE(Tag(1, "F1", "X.PUMP1", "D0"), 0);
    ASSERT_GE(Tag(2, "STATUS1", "X.PUMP1", "D3"), 0);
    ASSERT_GE(Tag(3, "F2", "X.PUMP2", "D0"), 0);
    Start();
    EXPECT_TRUE(WaitForValue(1, 45.6));
    EXPECT_TRUE(WaitFor([&] { return Latest(2).has_value() && Latest(3).has_value(); }));
    EXPECT_EQ(LogCount(kStarted), 1u);
}

TEST_F(RuntimeTest, ParameterWriteReachesTheDriveAndComesBack) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t accel = Tag(1, "ACC1", "X.PUMP1", "P10");
    ASSERT_GE(accel, 0);
    Start();
    EXPECT_EQ(Write(accel, 12.5), 0);
    EXPECT_TRUE(WaitForValue(1, 12.5));
    EXPECT_EQ(DriveWord(1, sim::Area::Parameter, 10), 125);
    const auto counters = line_->Drives().Counters(1);
    ASSERT_TRUE(counters.has_value());
    EXPECT_EQ(counters->writes, 1u);
}

TEST_F(RuntimeTest, RunCommandCarriesTheDrivesOtherHalf) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t frequency = Tag(1, "F1", "X.PUMP1", "D0");
    const int32_t command = Tag(2, "CMD1", "X.PUMP1", "D3");
    Tag(3, "OUT1", "X.PUMP1", "D1");
    Start();
    ASSERT_EQ(Write(frequency, 30.0), 0);
    EXPECT_TRUE(WaitForValue(1, 30.0)) << "the status poll reports the new command";
    ASSERT_EQ(Write(command, 1.0), 0); // run: D0 goes along as the drive last reported it
    EXPECT_TRUE(WaitFor([&] { return Latest(3).value_or(0) > 0; })) << "the drive ramps";
    EXPECT_EQ(DriveWord(1, sim::Area::Monitor, 0), 300) << "the frequency was kept";
}

TEST_F(RuntimeTest, CWordsReadARangeOfParameters) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    line_->Drives().SetWord(1, sim::Area::Parameter, 11, 77);
    line_->Drives().SetWord(1, sim::Area::Parameter, 12, 88);
    Tag(1, "P11", "X.PUMP1", "P11");
    Tag(2, "P12", "X.PUMP1", "P12");
    const int32_t first = Tag(3, "FIRST", "X.PUMP1", "C1");
    const int32_t count = Tag(4, "COUNT", "X.PUMP1", "C2");
    const int32_t read = Tag(5, "READ", "X.PUMP1", "C0");
    Start();
    EXPECT_EQ(Write(first, 11.9), 0);
    EXPECT_EQ(Latest(3), 11.0) << "the stored word is shown at once";
    EXPECT_EQ(Write(count, 2), 0);
    EXPECT_EQ(Write(read, 0), 0);
    EXPECT_TRUE(WaitForValue(1, 7.7));
    EXPECT_TRUE(WaitForValue(2, 8.8));
    EXPECT_EQ(line_->Drives().Counters(1)->reads, 2u);
}

TEST_F(RuntimeTest, ReadOnlyTagsAreRefusedWithMessage17) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t output = Tag(1, "OUT1", "X.PUMP1", "D1");
    const int32_t bit = Tag(2, "RUNBIT", "X.PUMP1", "D3.2", kDigital);
    Start();
    EXPECT_EQ(Write(output, 5), -17);
    EXPECT_EQ(Write(bit, 1), -17);
    EXPECT_EQ(LogCount(kNotWritable), 2u);
    EXPECT_EQ(LogCount("[OUT1]"), 1u);
    EXPECT_EQ(LogCount("[RUNBIT]"), 1u);
    EXPECT_EQ(line_->Drives().Counters(1)->commands, 0u);
}

TEST_F(RuntimeTest, ADisabledStationIsNeitherPolledNorWritten) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    const int32_t accel = Tag(2, "ACC2", "X.PUMP2", "P10");
    Tag(3, "F2", "X.PUMP2", "D0");
    module_->Enable(instance_, "pump2", 0);
    Start();
    ASSERT_TRUE(WaitFor([&] { return line_->FramesFor(1) >= 5; }));
    EXPECT_EQ(Write(accel, 3.0), 0);
    ASSERT_TRUE(WaitFor([&] { return line_->FramesFor(1) >= 10; }));
    EXPECT_EQ(line_->FramesFor(2), 0u);
    int32_t counters[4] = {};
    EXPECT_EQ(module_->GetStatistics(instance_, "PUMP2", counters), -1);
}

TEST_F(RuntimeTest, StatisticsSumTheStationsAndReportTheFailingOne) {
    ASSERT_GE(OpenLine(0, true), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Tag(2, "F7", "X.GHOST", "D0");
    Start();
    ASSERT_TRUE(WaitFor([&] { return LogCount(kTimeout) >= 1; }));
    int32_t ghost[4] = {};
    EXPECT_EQ(module_->GetStatistics(instance_, "ghost", ghost), 1);
    EXPECT_GE(ghost[1], 1) << "read failures";
    int32_t pump[4] = {};
    EXPECT_EQ(module_->GetStatistics(instance_, "PUMP1", pump), 0);
    EXPECT_GE(pump[0], 1);
    EXPECT_EQ(pump[1], 0);
    int32_t sums[4] = {100, 100, 100, 100};
    EXPECT_EQ(module_->GetStatistics(instance_, nullptr, sums), 1);
    EXPECT_GE(sums[0], 100 + ghost[0] + pump[0]) << "added onto what the caller put there";
    module_->Stop(instance_);
    int32_t stopped[4] = {};
    EXPECT_EQ(module_->GetStatistics(instance_, nullptr, stopped), -1);
    module_->ResetStatistics(instance_, nullptr);
    EXPECT_EQ(module_->GetStatistics(instance_, "PUMP1", pump), 0);
    EXPECT_EQ(pump[0], 0);
}

TEST_F(RuntimeTest, ALostLinkIsReportedOnceAndItsRecoveryOnce) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Tag(2, "F2", "X.PUMP2", "D0");
    line_->Drives().SetFault(1, sim::FaultKind::Refused);
    Start();
    ASSERT_TRUE(WaitFor([&] { return LogCount(kLinkLost) == 1; }));
    const size_t pumpTwoFrames = line_->FramesFor(2);
    ASSERT_TRUE(WaitFor([&] { return line_->FramesFor(1) >= 10; }));
    EXPECT_GT(line_->FramesFor(2), pumpTwoFrames) << "the other station is still polled";
    EXPECT_EQ(LogCount("[PUMP1]"), 6u) << "five failures and the loss, nothing more";
    line_->Drives().ClearFault(1);
    ASSERT_TRUE(WaitFor([&] { return LogCount(kRestored) == 1; }));
    ASSERT_TRUE(WaitFor([&] { return line_->FramesFor(1) >= 20; }));
    EXPECT_EQ(LogCount(kRestored), 1u);
    EXPECT_EQ(LogCount(kLinkLost), 1u);
    EXPECT_EQ(LogCount("[PUMP2]"), 0u);
}

TEST_F(RuntimeTest, StartAndStopAreIdempotentAndStopEndsDelivery) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    module_->Enable(instance_, nullptr, 1);
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value(); }));
    EXPECT_EQ(module_->Stop(instance_), 0);
    EXPECT_EQ(module_->Stop(instance_), 0);
    module_->Enable(instance_, nullptr, 0);
    EXPECT_EQ(LogCount(kStarted), 1u);
    EXPECT_EQ(LogCount(kEnded), 1u);
    const size_t delivered = host_->TagValues().size();
    const uint64_t frames = line_->FramesFor(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    EXPECT_EQ(host_->TagValues().size(), delivered) << "nothing is delivered after a stop";
    EXPECT_EQ(line_->FramesFor(1), frames) << "nothing is sent after a stop";
    CTagVal value(1);
    EXPECT_EQ(module_->WriteTag(instance_, 0, &value), 0) << "writes are dropped while stopped";
    module_->Enable(instance_, nullptr, 1);
    EXPECT_TRUE(WaitFor([&] { return line_->FramesFor(1) > frames; })) << "and it starts again";
}

TEST_F(RuntimeTest, StopReturnsWhileTheLineIsNoisy) {
    ExpectStopReturnsOnANoisyLine(2);
}

TEST_F(RuntimeTest, ASecondInitCommClosesTheFirstPort) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value(); }));
    EXPECT_EQ(module_->InitComm(instance_), 0) << "the port is free again for the new channel";
    EXPECT_EQ(LogCount(kEnded), 1u) << "the running channel was stopped first";
    EXPECT_EQ(LogCount(kPortReady), 2u);
    EXPECT_EQ(module_->RegisterTag(instance_, "X.PUMP1", "D0", kAnalog, 0, 1), 0)
        << "the new channel starts with no blocks";
}

TEST_F(RuntimeTest, APortThatCannotBeOpenedIsReportedAndNothingStarts) {
    line_->MapNowhere(10);
    ASSERT_GE(OpenLine(9), 0);
    EXPECT_EQ(module_->InitComm(instance_), -4);
    const auto log = host_->EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].flags, 0x100u);
    EXPECT_NE(log[0].text.find("[\\\\.\\COM10]"), std::string::npos) << log[0].text;
    Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    EXPECT_EQ(LogCount(kStarted), 0u);
    int32_t counters[4] = {};
    EXPECT_EQ(module_->GetStatistics(instance_, nullptr, counters), 1);
    EXPECT_EQ(module_->GetStatistics(instance_, "nobody", counters), 1);
    CTagVal value(1);
    EXPECT_EQ(module_->WriteTag(instance_, 0, &value), 0);
}

TEST_F(RuntimeTest, APortIsOpenedByOneInstanceOnly) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    const int32_t second = module_->Open(folder_.File("line.cfg").c_str());
    ASSERT_GE(second, 0);
    EXPECT_EQ(module_->InitComm(second), -4);
    EXPECT_EQ(LogCount("[COM1]"), 1u);
}

TEST_F(RuntimeTest, BeforeInitCommTheChannelSlotsAnswerAsForABadIndex) {
    ASSERT_GE(OpenLine(), 0);
    EXPECT_EQ(module_->RegisterTag(instance_, "X.PUMP1", "D0", kAnalog, 0, 1), -1);
    EXPECT_EQ(module_->BuildPollMasks(instance_), 0);
    EXPECT_EQ(module_->Stop(instance_), 0);
    CTagVal value(1);
    EXPECT_EQ(module_->WriteTag(instance_, 0, &value), 0);
    int32_t counters[4] = {5, 5, 5, 5};
    EXPECT_EQ(module_->GetStatistics(instance_, nullptr, counters), -1);
    EXPECT_EQ(counters[0], 5);
    module_->Enable(instance_, nullptr, 1);
    EXPECT_EQ(LogCount(kStarted), 0u);
    instance_ = -1; // nothing to tear down
}

TEST_F(RuntimeTest, UnloadingTheModuleStopsARunningInstanceFirst) {
    ASSERT_GE(OpenLine(), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value(); }));
    module_->Unload(); // the host forgot DrvStop
    EXPECT_EQ(LogCount(kEnded), 1u) << "stopped while the event log was still bound";
    const uint64_t frames = line_->FramesFor(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(line_->FramesFor(1), frames) << "no thread outlived the module";
    ASSERT_TRUE(module_->Load());
    instance_ = -1; // the instance went with the module
}

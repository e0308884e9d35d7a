// The receive limit end to end at 1200 baud, where an answer takes about 100 ms on the
// wire: an answer that begins before the limit is taken whole, and a noisy line still
// cannot hold the poll thread or the stop.
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace testing_support;

namespace {

constexpr int32_t kBaudIndex1200 = 0;
// A 7-byte request takes 64 ms at 1200 baud and the first answer byte 9 ms more, so an
// answer begins about 73 ms after the turnaround plus the time the request was sent.
constexpr uint32_t kRequestAndFirstByteMs = 73;

class LateAnswerTest : public RuntimeTest {
protected:
    void UseSlowLine(uint32_t answerStartMs) {
        LineSettings settings;
        settings.wireTiming = true;
        settings.baud = 1200;
        settings.turnaroundMs = answerStartMs - kRequestAndFirstByteMs;
        UseLine(settings);
    }
};

} // namespace

TEST_F(LateAnswerTest, AnswersThatBeginUpTo990MsLateAreTakenWhole) {
    for (uint32_t startMs : {850u, 920u, 990u}) {
        SCOPED_TRACE(startMs);
        UseSlowLine(startMs);
        ASSERT_GE(OpenLine(0, false, kBaudIndex1200), 0);
        ASSERT_EQ(module_->InitComm(instance_), 0);
        line_->Drives().SetWord(1, sim::Area::Monitor, 0, 456);
        Tag(1, "F1", "X.PUMP1", "D0");
        Start();
        ASSERT_TRUE(WaitFor([&] { return line_->FramesFor(1) >= 3; }, 30000));
        module_->Stop(instance_);
        EXPECT_EQ(Latest(1), 45.6);
        EXPECT_EQ(LogCount(kTimeout), 0u);
        int32_t counters[4] = {};
        EXPECT_EQ(module_->GetStatistics(instance_, "PUMP1", counters), 0) << "link good";
        EXPECT_GE(counters[0], 3);
        EXPECT_EQ(counters[1], 0) << "no read failed";
        line_->MapNowhere(1);
        module_->InitComm(instance_); // frees the port for the next line
    }
}

TEST_F(LateAnswerTest, ANoiseStreamIsStillBoundedAndStopReturns) {
    UseSlowLine(100);
    ASSERT_GE(OpenLine(0, false, kBaudIndex1200), 0);
    ASSERT_EQ(module_->InitComm(instance_), 0);
    Tag(1, "F1", "X.PUMP1", "D0");
    Start();
    ASSERT_TRUE(WaitFor([&] { return Latest(1).has_value(); }));
    line_->Drives().SetFault(2, sim::FaultKind::NoiseStream);
    line_->Drives().SetFault(1, sim::FaultKind::Silent);
    ASSERT_TRUE(WaitFor([&] { return LogCount(kTimeout) >= 2; }));
    EXPECT_GT(line_->NoiseBytesSent(), 0u);
    const auto before = std::chrono::steady_clock::now();
    EXPECT_EQ(module_->Stop(instance_), 0);
    // A generous bound: a receive is held by noise for at most its hard limit.
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10));
    EXPECT_EQ(LogCount(kEnded), 1u);
}

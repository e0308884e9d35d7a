// The receive limit end to end at 1200 baud, where an answer takes about 100 ms on the
// wire: an answer that begins before the limit is taken whole, and a noisy line still
// cannot hold the poll thread or the stop.
#include "runtime_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

using namespace testing_support;

namespace {

constexpr int32_t kBaudIndex1200 = 0;
// A 7-byte request takes 64 ms at 1200 baud and the first answer byte 9 ms more: an
// answer begins at most 73 ms after the turnaround, counted from the moment the driver
// began to receive (earlier when the driver's send waited for the line).
constexpr uint32_t kRequestAndFirstByteMs = 73;
// A receive starts no earlier than the drive has the request, so an answer the drive
// began this soon after the request began before the receive limit.
constexpr std::chrono::milliseconds kInTime(999);
// An answer begun this late ends past the limit at 1200 baud: the receive of old cut it.
constexpr std::chrono::milliseconds kEndsPastTheLimit(910);

class LateAnswerTest : public RuntimeTest {
protected:
    void UseSlowLine(uint32_t answerStartMs) {
        LineSettings settings;
        settings.wireTiming = true;
        settings.baud = 1200;
        settings.turnaroundMs = answerStartMs - kRequestAndFirstByteMs;
        UseLine(settings);
    }

    size_t AnswersBegun(std::chrono::milliseconds from, std::chrono::milliseconds to) const {
        const auto delays = line_->AnswerDelays();
        return static_cast<size_t>(std::count_if(delays.begin(), delays.end(), [&](auto delay) {
            return delay >= from && delay <= to;
        }));
    }
};

} // namespace

// A loaded machine may wake the simulated drive late, so an answer meant to start in time
// may start after the limit: only those may fail, and enough must have come in time.
TEST_F(LateAnswerTest, AnswersThatBeginUpTo990MsLateAreTakenWhole) {
    size_t endingPastTheLimit = 0;
    for (uint32_t startMs : {850u, 940u, 990u}) {
        SCOPED_TRACE(startMs);
        UseSlowLine(startMs);
        ASSERT_GE(OpenLine(0, false, kBaudIndex1200), 0);
        ASSERT_EQ(module_->InitComm(instance_), 0);
        line_->Drives().SetWord(1, sim::Area::Monitor, 0, 456);
        Tag(1, "F1", "X.PUMP1", "D0");
        Start();
        EXPECT_TRUE(WaitFor([&] { return AnswersBegun({}, kInTime) >= 3; }, 30000));
        module_->Stop(instance_);
        const size_t late =
            AnswersBegun(kInTime + std::chrono::milliseconds(1), std::chrono::hours(1));
        endingPastTheLimit += AnswersBegun(kEndsPastTheLimit, kInTime);
        int32_t counters[4] = {};
        module_->GetStatistics(instance_, "PUMP1", counters);
        EXPECT_LE(static_cast<size_t>(counters[1]), late) << "read failures";
        EXPECT_LE(LogCount(kTimeout), late);
        EXPECT_GE(static_cast<size_t>(counters[0] - counters[1]), 3u) << "reads taken";
        EXPECT_EQ(Latest(1), 45.6);
        line_->MapNowhere(1);
        module_->InitComm(instance_); // frees the port for the next line
    }
    EXPECT_GE(endingPastTheLimit, 1u) << "answers were still arriving at the limit";
}

TEST_F(LateAnswerTest, ANoiseStreamIsStillBoundedAndStopReturns) {
    UseSlowLine(100);
    ExpectStopReturnsOnANoisyLine(kBaudIndex1200);
}

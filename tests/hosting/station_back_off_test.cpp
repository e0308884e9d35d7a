// The back-off of lost stations as a sequence of steps over time: the wait doubles up to its
// limit while visits fail, an answer restores the station, the user's choice ends it all.
#include "station_back_off.h"

#include <gtest/gtest.h>

namespace vfdahost {
namespace {

using namespace std::chrono_literals;
using Kind = BackOffStep::Kind;

class StationBackOffTest : public ::testing::Test {
protected:
    std::vector<BackOffStep> At(std::chrono::milliseconds since) {
        return backOff_.Turn(start_ + since, [this](const std::string& station) {
            return StationBackOff::Link{failures_[station]};
        });
    }
    static std::vector<Kind> Kinds(const std::vector<BackOffStep>& steps) {
        std::vector<Kind> kinds;
        for (const BackOffStep& step : steps) {
            kinds.push_back(step.kind);
        }
        return kinds;
    }

    StationBackOff backOff_{BackOffLimits{2000ms, 5000ms}};
    const StationBackOff::Clock::time_point start_ = StationBackOff::Clock::now();
    std::map<std::string, int64_t> failures_;
};

TEST_F(StationBackOffTest, FailedVisitsDoubleTheWaitUpToItsLimit) {
    backOff_.Lost("PUMP2");
    std::vector<BackOffStep> steps = At(0ms);
    ASSERT_EQ(steps.size(), 1u);
    EXPECT_EQ(steps[0].kind, Kind::Disable);
    EXPECT_EQ(steps[0].station, "PUMP2");
    EXPECT_EQ(steps[0].wait, 2000ms);
    EXPECT_TRUE(backOff_.IsBackedOff("PUMP2"));
    EXPECT_TRUE(At(1999ms).empty());

    std::chrono::milliseconds now = 2000ms;
    for (const auto wait : {4000ms, 5000ms, 5000ms}) {
        EXPECT_EQ(Kinds(At(now)), std::vector{Kind::Visit});
        EXPECT_TRUE(At(now + 100ms).empty()) << "the visit's transaction has not ended";
        ++failures_["PUMP2"];
        steps = At(now + 200ms);
        ASSERT_EQ(Kinds(steps), std::vector{Kind::Disable});
        EXPECT_EQ(steps[0].wait, wait);
        now += 200ms + wait;
    }
    const BackOffFigures figures = backOff_.Figures("PUMP2", start_ + now - 1000ms);
    EXPECT_TRUE(figures.backedOff);
    EXPECT_EQ(figures.backOffs, 1);
    EXPECT_EQ(figures.visits, 3);
    EXPECT_EQ(figures.nextVisitIn, 1000ms);
}

TEST_F(StationBackOffTest, AnAnswerOnAVisitRestoresTheStation) {
    backOff_.Lost("PUMP2");
    At(0ms);
    EXPECT_EQ(Kinds(At(2000ms)), std::vector{Kind::Visit});
    backOff_.Restored("PUMP2");
    ++failures_["PUMP2"]; // a later transaction of the same visit failed: the answer counts
    const std::vector<BackOffStep> steps = At(2100ms);
    ASSERT_EQ(Kinds(steps), std::vector{Kind::Restore});
    EXPECT_FALSE(backOff_.IsBackedOff("PUMP2"));
    EXPECT_TRUE(At(60000ms).empty());
    const BackOffFigures figures = backOff_.Figures("PUMP2", start_);
    EXPECT_FALSE(figures.backedOff);
    EXPECT_EQ(figures.restored, 1);
    EXPECT_FALSE(figures.nextVisitIn);

    backOff_.Lost("PUMP2"); // lost again: the wait starts over
    const std::vector<BackOffStep> again = At(61000ms);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].wait, 2000ms);
    EXPECT_EQ(backOff_.Figures("PUMP2", start_).backOffs, 2);
}

TEST_F(StationBackOffTest, AVisitThatNeverEndsCountsAsFailed) {
    backOff_.Lost("PUMP2");
    At(0ms);
    At(2000ms);
    const auto limit =
        std::chrono::duration_cast<std::chrono::milliseconds>(StationBackOff::kLongestVisit);
    EXPECT_TRUE(At(2000ms + limit - 1ms).empty());
    EXPECT_EQ(Kinds(At(2000ms + limit)), std::vector{Kind::Disable});
}

TEST_F(StationBackOffTest, AFailureAfterTheStatisticsWereResetStillEndsTheVisit) {
    failures_["PUMP2"] = 7;
    backOff_.Lost("PUMP2");
    At(0ms);
    EXPECT_EQ(Kinds(At(2000ms)), std::vector{Kind::Visit});
    failures_["PUMP2"] = 0; // `reset PUMP2`
    EXPECT_TRUE(At(2100ms).empty());
    failures_["PUMP2"] = 1;
    EXPECT_EQ(Kinds(At(2200ms)), std::vector{Kind::Disable});
}

TEST_F(StationBackOffTest, TheUsersChoiceEndsTheBackOffAndStrangersAreIgnored) {
    backOff_.Lost("PUMP2");
    At(0ms);
    backOff_.Forget("PUMP2");
    EXPECT_FALSE(backOff_.IsBackedOff("PUMP2"));
    EXPECT_TRUE(At(10000ms).empty()) << "no visit of a station the user took back";
    backOff_.Restored("PUMP3"); // never lost here
    EXPECT_TRUE(At(11000ms).empty());
}

} // namespace
} // namespace vfdahost

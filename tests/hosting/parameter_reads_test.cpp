// The range reads a run plans for its parameter tags, and how it moves from one to the next.
#include "parameter_reads.h"

#include <gtest/gtest.h>

namespace {

using vfdahost::ParameterChunk;
using vfdahost::ParameterReads;
using vfdahost::PlanParameterReads;

std::vector<int> Firsts(const std::vector<ParameterChunk>& chunks) {
    std::vector<int> firsts;
    for (const ParameterChunk& chunk : chunks) {
        firsts.push_back(chunk.first);
    }
    return firsts;
}

TEST(ParameterReadPlan, ConsecutiveParametersShareAReadAndGapsSplitIt) {
    const auto chunks = PlanParameterReads(
        {{"PUMP1", 12, 1}, {"PUMP1", 10, 2}, {"PUMP1", 11, 3}, {"PUMP1", 3, 4}, {"PUMP1", 11, 5}});
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].first, 3);
    EXPECT_EQ(chunks[0].count, 1);
    EXPECT_EQ(chunks[1].first, 10);
    EXPECT_EQ(chunks[1].count, 3);
    EXPECT_EQ(chunks[1].ids, (std::vector<uint32_t>{2, 3, 5, 1})) << "two tags on P11 both fed";
}

TEST(ParameterReadPlan, LongRunsAreCutAndStationsNeverMix) {
    std::vector<vfdahost::ParameterTag> tags;
    for (int p = 0; p <= 80; ++p) {
        tags.push_back({"PUMP2", p, static_cast<uint32_t>(p + 1)});
    }
    tags.push_back({"PUMP1", 81 - 1, 100}); // PUMP1 P80 right after PUMP2's P80
    const auto chunks = PlanParameterReads(tags);
    const size_t full = 81 / vfdahost::kParametersPerRead;
    ASSERT_EQ(chunks.size(), full + 2); // the full chunks, P80 alone, then PUMP1's own
    for (size_t i = 0; i + 1 < chunks.size(); ++i) {
        EXPECT_EQ(chunks[i].station, "PUMP2");
        EXPECT_EQ(chunks[i].count, i < full ? vfdahost::kParametersPerRead : 1);
    }
    EXPECT_EQ(Firsts(chunks)[full], 80);
    EXPECT_EQ(chunks.back().station, "PUMP1");
    EXPECT_EQ(chunks.back().first, 80);
    EXPECT_EQ(chunks.back().count, 1);
}

TEST(ParameterReadPlan, AddressesOfTheParameterArea) {
    EXPECT_EQ(vfdahost::ParameterNumber("P"), 0);
    EXPECT_EQ(vfdahost::ParameterNumber("p12"), 12);
    EXPECT_EQ(vfdahost::ParameterNumber("P80"), 80);
    EXPECT_FALSE(vfdahost::ParameterNumber("P81"));
    EXPECT_FALSE(vfdahost::ParameterNumber("D1"));
    EXPECT_FALSE(vfdahost::ParameterNumber("C0"));
    EXPECT_FALSE(vfdahost::ParameterNumber(""));
}

class ParameterReadsTest : public ::testing::Test {
protected:
    ParameterReads::Turn Advance(std::chrono::milliseconds after) {
        return reads_.Advance([this](const std::string&) { return failures_; }, passDone_,
                              start_ + after);
    }

    ParameterReads reads_;
    int32_t failures_ = 5;
    bool passDone_ = true;
    ParameterReads::Clock::time_point start_ = ParameterReads::Clock::now();
};

TEST_F(ParameterReadsTest, OneChunkAtATimeAndTheNextOnceEveryValueCame) {
    reads_.Queue({{"PUMP1", 10, 2, {1, 2}}, {"PUMP2", 10, 1, {3}}});
    EXPECT_FALSE(reads_.Answered(1)) << "nothing is on the line yet";
    const auto first = Advance(std::chrono::milliseconds(0));
    ASSERT_TRUE(first.start);
    EXPECT_EQ(first.start->station, "PUMP1");
    EXPECT_TRUE(reads_.Answered(1));
    EXPECT_FALSE(reads_.Answered(1)) << "answered once";
    EXPECT_FALSE(reads_.Answered(3)) << "the other station's chunk waits";
    EXPECT_FALSE(Advance(std::chrono::milliseconds(100)).start);
    EXPECT_TRUE(reads_.Answered(2));
    const auto second = Advance(std::chrono::milliseconds(200));
    EXPECT_TRUE(second.missed.empty());
    ASSERT_TRUE(second.start);
    EXPECT_EQ(second.start->station, "PUMP2");
    EXPECT_TRUE(reads_.Answered(3));
    const auto done = Advance(std::chrono::milliseconds(300));
    EXPECT_FALSE(done.start);
    EXPECT_TRUE(done.missed.empty());
}

TEST_F(ParameterReadsTest, FailuresOrAStallEndTheChunkNamingWhatWasMissed) {
    reads_.Queue({{"PUMP1", 10, 2, {1, 2}}, {"PUMP1", 20, 1, {3}}});
    Advance(std::chrono::milliseconds(0));
    EXPECT_TRUE(reads_.Answered(1));
    failures_ += 1; // the drive did not answer P11
    const auto next = Advance(std::chrono::milliseconds(100));
    EXPECT_EQ(next.missed, std::vector<uint32_t>{2});
    ASSERT_TRUE(next.start);
    EXPECT_EQ(next.start->first, 20);
    // Nothing comes and nothing fails: the chunk waits until the stall ends it.
    EXPECT_FALSE(Advance(ParameterReads::kStall).start);
    const auto stalled = Advance(std::chrono::milliseconds(100) + ParameterReads::kStall);
    EXPECT_EQ(stalled.missed, std::vector<uint32_t>{3});
}

TEST_F(ParameterReadsTest, TheNextChunkWaitsForThePollPassOrTheLongestPause) {
    reads_.SetLongestPause(std::chrono::milliseconds(500));
    reads_.Queue({{"PUMP1", 10, 1, {1}}, {"PUMP1", 20, 1, {2}}, {"PUMP1", 30, 1, {3}}});
    ASSERT_TRUE(Advance(std::chrono::milliseconds(0)).start) << "the first starts at once";
    EXPECT_TRUE(reads_.Answered(1));
    const auto ended = Advance(std::chrono::milliseconds(100));
    EXPECT_TRUE(ended.ended);
    EXPECT_FALSE(ended.start) << "a pass must come between two chunks";
    passDone_ = false;
    EXPECT_FALSE(Advance(std::chrono::milliseconds(200)).start);
    passDone_ = true;
    const auto afterPass = Advance(std::chrono::milliseconds(300));
    ASSERT_TRUE(afterPass.start);
    EXPECT_EQ(afterPass.start->first, 20);
    EXPECT_TRUE(reads_.Answered(2));
    EXPECT_TRUE(Advance(std::chrono::milliseconds(400)).ended);
    passDone_ = false; // a pass that never ends
    EXPECT_FALSE(Advance(std::chrono::milliseconds(899)).start);
    const auto late = Advance(std::chrono::milliseconds(900));
    ASSERT_TRUE(late.start);
    EXPECT_EQ(late.start->first, 30);
}

TEST_F(ParameterReadsTest, ClearDropsTheChunkOnTheLineAndWhatWaits) {
    reads_.Queue({{"PUMP1", 10, 1, {1}}, {"PUMP1", 20, 1, {2}}});
    Advance(std::chrono::milliseconds(0));
    reads_.Clear();
    EXPECT_FALSE(reads_.Answered(1));
    const auto after = Advance(std::chrono::milliseconds(100));
    EXPECT_FALSE(after.start);
    EXPECT_TRUE(after.missed.empty());
}

} // namespace

// The one rule both readers end a range read by: every parameter covered by a value or a
// failure counted since the start, or nothing moved for the stall time.
TEST(RangeReadEndTest, ValuesAndFailuresCoverTheReadAndSilenceEndsItAfterTheStall) {
    using vfdahost::RangeReadEnd;
    const RangeReadEnd::Clock::time_point start{};
    RangeReadEnd reads;
    reads.Start(4, 7, start);
    EXPECT_FALSE(reads.Ended(2, 7, start));
    EXPECT_FALSE(reads.Ended(2, 8, start)) << "3 of 4 covered";
    EXPECT_TRUE(reads.Ended(2, 9, start)) << "the drive did not return two of them";
    EXPECT_EQ(reads.Failed(9), 2);
    EXPECT_EQ(reads.Failed(3), 0) << "statistics reset since: no failures are invented";

    reads.Start(4, 0, start);
    const auto later = [&](int ms) { return start + std::chrono::milliseconds(ms); };
    EXPECT_FALSE(reads.Ended(1, 0, later(3000)));
    EXPECT_FALSE(reads.Ended(1, 0, later(6999))) << "the stall runs from the last progress";
    EXPECT_TRUE(reads.Ended(1, 0, later(7000)));
}

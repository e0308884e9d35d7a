// Cutting requests out of the received byte stream: split reads, garbage, gaps.
#include "sim/frame_parser.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

using simtest::Bytes;
using simtest::Frame;

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> joined;
    for (const auto& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

TEST(FrameParser, CutsBackToBackFramesByTheirLetterLength) {
    sim::FrameParser parser(50);
    const auto stream = Join(
        {Frame('R', "0105"), Frame('P', "01030600"), Frame('Q', "0203"), Frame('C', "01010600")});
    const std::vector<sim::Request> requests = parser.Feed(stream, 0);
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_EQ(requests[0].letter, 'R');
    EXPECT_EQ(requests[1].letter, 'P');
    EXPECT_EQ(requests[1].value, 600u);
    EXPECT_EQ(requests[2].station, 2);
    EXPECT_EQ(requests[3].length, 11u);
    EXPECT_EQ(parser.SkippedBytes(), 0u);
}

TEST(FrameParser, AssemblesAFrameSplitAcrossReads) {
    sim::FrameParser parser(50);
    const auto frame = Frame('C', "01010600");
    uint32_t now = 0;
    for (size_t i = 0; i + 1 < frame.size(); ++i) {
        EXPECT_TRUE(parser.Feed(std::span(&frame[i], 1), now += 2).empty());
    }
    const auto requests = parser.Feed(std::span(&frame.back(), 1), now += 2);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].parameter, 1);
}

TEST(FrameParser, ResynchronisesOnALetterFollowedByTheMarks) {
    sim::FrameParser parser(50);
    // Noise, a letter without its marks, a letter with one mark, then a real frame.
    const auto stream = Join({{0xFF, 0x00, 'x', 'y', 'R'},
                              Bytes("Q\x03"
                                    "5"),
                              Frame('R', "0105")});
    const auto requests = parser.Feed(stream, 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].parameter, 5);
    EXPECT_EQ(parser.SkippedBytes(), 8u);
}

TEST(FrameParser, FindsAFrameThatStartsInsideABrokenOne) {
    sim::FrameParser parser(50);
    // A P frame cut short by the start of an R frame: the R frame still counts.
    const auto stream = Join({Bytes("P\x03\x01"
                                    "01"),
                              Frame('R', "0107")});
    const auto requests = parser.Feed(stream, 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].letter, 'R');
    EXPECT_EQ(requests[0].parameter, 7);
}

TEST(FrameParser, DropsAPartialFrameAfterAGap) {
    sim::FrameParser parser(50);
    const auto partial = Bytes("R\x03\x01"
                               "01");
    EXPECT_TRUE(parser.Feed(partial, 100).empty());
    // The rest arrives too late: those two digits no longer complete anything.
    EXPECT_TRUE(parser.Feed(Bytes("05"), 151).empty());
    EXPECT_EQ(parser.DroppedFrames(), 1u);
    EXPECT_FALSE(parser.HasPartialFrame());
    EXPECT_EQ(parser.Feed(Frame('R', "0105"), 160).size(), 1u);
}

TEST(FrameParser, KeepsAPartialFrameWithinTheGapAcrossATickWrap) {
    sim::FrameParser parser(50);
    EXPECT_TRUE(parser
                    .Feed(Bytes("R\x03\x01"
                                "01"),
                          0xFFFFFFF0u)
                    .empty());
    EXPECT_EQ(parser.Feed(Bytes("05"), 0x10u).size(), 1u);
}

TEST(FrameParser, ExpireDropsAQuietPartialFrame) {
    sim::FrameParser parser(50);
    parser.Feed(Bytes("Q\x03\x01"), 0);
    parser.Expire(50);
    EXPECT_TRUE(parser.HasPartialFrame());
    parser.Expire(51);
    EXPECT_FALSE(parser.HasPartialFrame());
}

TEST(FrameParser, DigitsRightBehindAFrameMarkItOverlong) {
    sim::FrameParser parser(50);
    // A value of 10000 printed in five digits, then an ordinary frame.
    const auto stream = Join({Bytes("P\x03\x01"
                                    "010310000"),
                              Frame('R', "0105")});
    const auto requests = parser.Feed(stream, 0);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].overlong);
    EXPECT_FALSE(requests[1].overlong);
    EXPECT_EQ(parser.SkippedBytes(), 0u);
}

} // namespace

// The scan's own frames: what counts as a drive's answer among an echo and noise.
#include "drive_frames.h"
#include "scan_frame.h"

#include <gtest/gtest.h>

using namespace vfdahost;
using testing_support::FrameBytes;

TEST(ScanFrameTest, AParameterAnswerIsFoundBehindAnEchoAndNoise) {
    EXPECT_EQ(ParameterQuery(3, 73), std::string("R\x03\x01"
                                                 "0373"));
    std::vector<uint8_t> received = FrameBytes("\x55R\x03\x01"
                                               "0373"); // noise, then the adapter's echo
    EXPECT_EQ(ParameterAnswer(received, 3, 73), std::nullopt);
    const std::vector<uint8_t> answer = FrameBytes("R\x03\x06"
                                                   "03730110");
    received.insert(received.end(), answer.begin(), answer.end() - 1);
    EXPECT_EQ(ParameterAnswer(received, 3, 73), std::nullopt) << "not whole yet";
    received.push_back(answer.back());
    EXPECT_EQ(ParameterAnswer(received, 3, 73), 110);
}

TEST(ScanFrameTest, AnotherStationsOrParametersAnswerOrARefusalGivesNothing) {
    EXPECT_EQ(ParameterAnswer(FrameBytes("R\x03\x06"
                                         "04730110"),
                              3, 73),
              std::nullopt);
    EXPECT_EQ(ParameterAnswer(FrameBytes("R\x03\x06"
                                         "03740004"),
                              3, 73),
              std::nullopt);
    EXPECT_EQ(ParameterAnswer(FrameBytes("R\x03\x07"
                                         "03730000"),
                              3, 73),
              std::nullopt);
    EXPECT_TRUE(HoldsScanAnswer(FrameBytes("Q\x03\x07"
                                           "03000000"),
                                3))
        << "a drive that refuses the query is there all the same";
}

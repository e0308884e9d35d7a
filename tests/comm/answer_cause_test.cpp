// Why a transaction failed, as a tool watching the line reads it from the bytes.
#include "comm/answer_cause.h"

#include "drive_frames.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace comm;
using namespace testing_support;

TEST(AnswerClassificationTest, EachFaultOfAnAnswerHasItsCause) {
    const auto sent = ReadRequest("01");
    EXPECT_EQ(ClassifyAnswer(sent, ReadAnswer("01")), AnswerCause::Answered);
    EXPECT_EQ(ClassifyAnswer(sent, {}), AnswerCause::TimeOut);
    EXPECT_EQ(ClassifyAnswer(sent, ReadAnswer("01", "050123", '\x07')), AnswerCause::Refused);
    EXPECT_EQ(ClassifyAnswer(sent, ReadAnswer("05")), AnswerCause::OtherStation);
    EXPECT_EQ(ClassifyAnswer(sent, ReadAnswer("01", "060123")), AnswerCause::OtherParameter);
    EXPECT_EQ(ClassifyAnswer(sent, ReadAnswer("01", "0501X3")), AnswerCause::Garbled);
    EXPECT_EQ(ClassifyAnswer(sent, FrameBytes("R\x02\x06"
                                              "010501")),
              AnswerCause::Garbled);
    EXPECT_EQ(ClassifyAnswer(sent, FrameBytes("R\x03\x06"
                                              "010")),
              AnswerCause::Garbled);
}

TEST(AnswerClassificationTest, TheRequestComingBackIsAnAdapterEcho) {
    // The adapter repeats the 7-byte request; the receiver keeps 11 bytes from its letter.
    const auto sent = ReadRequest("01");
    std::vector<uint8_t> received = sent;
    received.insert(received.end(), {'R', 0x03, 0x06, '0'});
    EXPECT_EQ(ClassifyAnswer(sent, received), AnswerCause::Echo);
    // A write's echo is the whole request.
    const auto write = FrameBytes("P\x03\x01"
                                  "01100075");
    EXPECT_EQ(ClassifyAnswer(write, write), AnswerCause::Echo);
    EXPECT_EQ(ClassifyAnswer(write, FrameBytes("P\x03\x06"
                                               "01100075")),
              AnswerCause::Answered);
}

TEST(AnswerClassificationTest, StatusBytesAndRunCommandsAreNotValueDigits) {
    EXPECT_EQ(ClassifyAnswer(FrameBytes("Q\x03\x01"
                                        "0103"),
                             FrameBytes("Q\x03\x06"
                                        "0103\x85\x9A"
                                        "0\x01")),
              AnswerCause::Answered);
    EXPECT_EQ(ClassifyAnswer(FrameBytes("C\x03\x01"
                                        "01000001"),
                             FrameBytes("C\x03\x06"
                                        "01??????")),
              AnswerCause::Answered);
}

TEST(AnswerClassificationTest, TheStationIsReadFromItsTwoDigits) {
    EXPECT_EQ(FrameStation(ReadRequest("07")), 7);
    EXPECT_EQ(FrameStation(ReadRequest("31")), 31);
    EXPECT_EQ(FrameStation(FrameBytes("R\x03\x01"
                                      "0")),
              std::nullopt);
    EXPECT_EQ(FrameStation(FrameBytes("R\x03\x01"
                                      "x1")),
              std::nullopt);
}

// What each request letter gets back from a simulated station, byte for byte.
#include "sim/simulator.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

namespace {

using simtest::Bytes;
using simtest::MakeRequest;
using simtest::ValueField;

class AnswerTest : public ::testing::Test {
protected:
    simtest::ManualClock clock;
    sim::Simulator simulator{{1, 12}, 4800, clock.Source()};

    sim::Answer Send(char letter, std::string_view digits) {
        return simulator.Handle(MakeRequest(letter, digits)).bytes;
    }
};

TEST_F(AnswerTest, ReadAnswersTheParameterInFourDigits) {
    ASSERT_EQ(simulator.SetWord(1, sim::Area::Parameter, 5, 123), sim::Outcome::Ok);
    const sim::Answer answer = Send('R', "0105");
    const sim::Answer expected = {0x52, 0x03, 0x06, 0x30, 0x31, 0x30, 0x35, 0x30, 0x31, 0x32, 0x33};
    EXPECT_EQ(answer, expected);
}

TEST_F(AnswerTest, ReadOfFactoryDefaultsAndDerivedParameters) {
    EXPECT_EQ(ValueField(Send('R', "0103")), "0600"); // maximum output frequency 60.0 Hz
    EXPECT_EQ(ValueField(Send('R', "1258")), "0012"); // communication address
    EXPECT_EQ(ValueField(Send('R', "0159")), "0002"); // 4800 baud
}

TEST_F(AnswerTest, QueryGroupsZeroToTwoCarryOneMonitorWordEach) {
    Send('C', "01010500"); // run forward at 50.0 Hz
    clock.Advance(60'000);
    EXPECT_EQ(Send('Q', "0100"), Bytes("Q\x03\x06"
                                       "01000500"));
    EXPECT_EQ(ValueField(Send('Q', "0101")), "0500");
    const std::string current = ValueField(Send('Q', "0102"));
    EXPECT_EQ(current, "0035"); // 2.0 A no-load + half of the remaining 3.0 A at 50 % load
}

TEST_F(AnswerTest, QueryGroupThreeCarriesStatusBytesAfterARunCommand) {
    ASSERT_EQ(simulator.SetWord(1, sim::Area::Parameter, 0, 3), sim::Outcome::Ok);
    Send('C', "01030300"); // run reverse at 30.0 Hz
    clock.Advance(100);
    sim::Answer answer = Send('Q', "0103");
    ASSERT_EQ(answer.size(), 11u);
    EXPECT_EQ(answer[2], 0x06);
    EXPECT_EQ(answer[7], 3);    // D3: the command word as sent
    EXPECT_EQ(answer[8], 0x33); // D5 source 3; D4 running and reverse, not yet at frequency
    EXPECT_EQ(answer[10], 0);   // D6: no fault

    clock.Advance(60'000);
    answer = Send('Q', "0103");
    EXPECT_EQ(answer[8], 0x37); // now at frequency too

    Send('C', "01020300"); // stop
    clock.Advance(60'000);
    answer = Send('Q', "0103");
    EXPECT_EQ(answer[7], 2);
    EXPECT_EQ(answer[8] & 0x0F, 0x02); // stopped; reverse stays selected
}

TEST_F(AnswerTest, WriteEchoesBytesFiveToTenAndStoresTheValue) {
    EXPECT_EQ(Send('P', "12030500"), Bytes("P\x03\x06"
                                           "12030500"));
    EXPECT_EQ(ValueField(Send('R', "1203")), "0500");
}

TEST_F(AnswerTest, CommandAnswerCarriesTheWordAndFrequencyInForce) {
    EXPECT_EQ(Send('C', "01010600"), Bytes("C\x03\x06"
                                           "01010600"));
    uint16_t frequency = 0;
    ASSERT_EQ(simulator.GetWord(1, sim::Area::Monitor, 0, frequency), sim::Outcome::Ok);
    EXPECT_EQ(frequency, 600);
}

TEST_F(AnswerTest, RefusalsNameTheReasonAndChangeNothing) {
    EXPECT_EQ(Send('R', "0181"), Bytes("R\x03\x07"
                                       "01810001")); // no such parameter
    EXPECT_EQ(Send('Q', "0104"), Bytes("Q\x03\x07"
                                       "01040001")); // no such group
    EXPECT_EQ(Send('P', "01034001"), Bytes("P\x03\x07"
                                           "01030002")); // above 400.0 Hz
    EXPECT_EQ(Send('P', "01630005"), Bytes("P\x03\x07"
                                           "01630003")); // fault record
    EXPECT_EQ(Send('C', "01010601"), Bytes("C\x03\x07"
                                           "01010002")); // above P3
    EXPECT_EQ(ValueField(Send('R', "0103")), "0600");
    EXPECT_EQ(simulator.Counters(1)->refusals, 5u);
}

TEST_F(AnswerTest, OverlongValueIsRefused) {
    sim::Request request = MakeRequest('P', "01031000");
    request.overlong = true; // "10000" was sent: the parser saw a fifth digit
    EXPECT_EQ(simulator.Handle(request).bytes, Bytes("P\x03\x07"
                                                     "01030002"));
    EXPECT_EQ(ValueField(Send('R', "0103")), "0600");
}

TEST_F(AnswerTest, ParameterLockRefusesWritesButItsOwnRelease) {
    Send('P', "01540001");
    EXPECT_EQ(Send('P', "01100050")[2], sim::kAnswerRefused);
    EXPECT_EQ(Send('P', "01540000")[2], sim::kAnswerGood);
    EXPECT_EQ(Send('P', "01100050")[2], sim::kAnswerGood);
}

TEST_F(AnswerTest, AbsentStationGetsNoAnswerAndIsCountedApart) {
    EXPECT_TRUE(Send('R', "0205").empty());
    EXPECT_TRUE(Send('C', "31010600").empty());
    EXPECT_EQ(simulator.FramesForAbsentStations(), 2u);
    EXPECT_EQ(simulator.Counters(1)->framesReceived, 0u);
}

TEST_F(AnswerTest, CountersFollowEveryLetter) {
    Send('R', "0105");
    Send('Q', "0103");
    Send('Q', "0100");
    Send('P', "01050010");
    Send('C', "01000000");
    const sim::StationCounters counters = *simulator.Counters(1);
    EXPECT_EQ(counters.framesReceived, 5u);
    EXPECT_EQ(counters.reads, 1u);
    EXPECT_EQ(counters.queries, 2u);
    EXPECT_EQ(counters.writes, 1u);
    EXPECT_EQ(counters.commands, 1u);
    EXPECT_EQ(counters.answersSent, 5u);
    EXPECT_EQ(counters.faultsInjected, 0u);
}

TEST(RequestDecode, ReadsTheFieldsAndRejectsMalformedFrames) {
    sim::Request request;
    ASSERT_TRUE(sim::DecodeRequest(simtest::Frame('P', "12030600"), request));
    EXPECT_EQ(request.letter, 'P');
    EXPECT_EQ(request.station, 12);
    EXPECT_EQ(request.parameter, 3);
    EXPECT_EQ(request.value, 600u);
    EXPECT_FALSE(sim::DecodeRequest(simtest::Frame('P', "1203"), request)); // too short
    EXPECT_FALSE(sim::DecodeRequest(simtest::Frame('R', "01A5"), request)); // not a digit
    EXPECT_FALSE(sim::DecodeRequest(Bytes("R\x03\x02"
                                          "0105"),
                                    request));                              // wrong mark
    EXPECT_FALSE(sim::DecodeRequest(simtest::Frame('X', "0105"), request)); // no such letter
}

} // namespace

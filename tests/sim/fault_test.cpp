// Each scripted fault's bytes, and how the counters account for it.
#include "sim/fault.h"
#include "sim/simulator.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using simtest::Bytes;
using simtest::MakeRequest;

class FaultTest : public ::testing::Test {
protected:
    simtest::ManualClock clock;
    sim::Simulator simulator{{1, 2}, 4800, clock.Source()};

    void SetUp() override { simulator.SetWord(1, sim::Area::Parameter, 5, 123); }

    sim::Reply ReadP5() { return simulator.Handle(MakeRequest('R', "0105")); }
    void Inject(sim::FaultKind kind, uint32_t count = 0) {
        ASSERT_TRUE(simulator.SetFault(1, kind, count));
    }
};

const sim::Answer kGoodP5 = Bytes("R\x03\x06"
                                  "01050123");

TEST_F(FaultTest, SilentSendsNothingButTheDriveStillActs) {
    Inject(sim::FaultKind::Silent);
    EXPECT_TRUE(simulator.Handle(MakeRequest('P', "01050200")).bytes.empty());
    simulator.ClearFault(1);
    EXPECT_EQ(ReadP5().bytes, Bytes("R\x03\x06"
                                    "01050200"));
}

TEST_F(FaultTest, RefusedAnswersSevenAndLeavesTheDriveAlone) {
    Inject(sim::FaultKind::Refused);
    EXPECT_EQ(simulator.Handle(MakeRequest('P', "01050200")).bytes, Bytes("P\x03\x07"
                                                                          "01050009"));
    simulator.ClearFault(1);
    EXPECT_EQ(ReadP5().bytes, kGoodP5);
    EXPECT_EQ(simulator.Counters(1)->refusals, 0u); // a scripted refusal is a fault
}

TEST_F(FaultTest, EachSpoiltAnswerDiffersExactlyWhereItShould) {
    struct Case {
        sim::FaultKind kind;
        sim::Answer expected;
    };
    const Case cases[] = {
        {sim::FaultKind::BadByte1, Bytes("R\x02\x06"
                                         "01050123")},
        {sim::FaultKind::WrongStation, Bytes("R\x03\x06"
                                             "02050123")},
        {sim::FaultKind::WrongParam, Bytes("R\x03\x06"
                                           "01060123")},
        {sim::FaultKind::BadDigits, Bytes("R\x03\x06"
                                          "010501X3")},
        {sim::FaultKind::Short, Bytes("R\x03\x06"
                                      "010")},
    };
    for (const Case& c : cases) {
        Inject(c.kind);
        EXPECT_EQ(ReadP5().bytes, c.expected) << sim::FaultName(c.kind);
    }
}

TEST_F(FaultTest, NoiseBeforeKeepsTheAnswerWholeBehindBytesThatAreNoLetter) {
    Inject(sim::FaultKind::NoiseBefore);
    const sim::Answer answer = ReadP5().bytes;
    ASSERT_GT(answer.size(), kGoodP5.size());
    const size_t noise = answer.size() - kGoodP5.size();
    EXPECT_TRUE(std::equal(kGoodP5.begin(), kGoodP5.end(), answer.begin() + noise));
    EXPECT_TRUE(std::none_of(answer.begin(), answer.begin() + noise, sim::IsRequestLetter));
}

TEST_F(FaultTest, LateAnswerComesPastTheDriversReceiveLimit) {
    Inject(sim::FaultKind::Late);
    const sim::Reply reply = ReadP5();
    EXPECT_EQ(reply.bytes, kGoodP5);
    EXPECT_GT(reply.extraDelayMs, 1000u);
}

TEST_F(FaultTest, NoiseStreamIsLineWideAndEndsWithItsStation) {
    Inject(sim::FaultKind::NoiseStream);
    EXPECT_TRUE(simulator.NoiseStreamOn());
    EXPECT_EQ(ReadP5().bytes, kGoodP5); // answers themselves are untouched
    simulator.ClearFault(2);
    EXPECT_TRUE(simulator.NoiseStreamOn());
    simulator.ClearFault(1);
    EXPECT_FALSE(simulator.NoiseStreamOn());
}

TEST_F(FaultTest, CountedFaultEndsByItself) {
    Inject(sim::FaultKind::Silent, 2);
    EXPECT_TRUE(ReadP5().bytes.empty());
    EXPECT_TRUE(ReadP5().bytes.empty());
    EXPECT_EQ(ReadP5().bytes, kGoodP5);
    EXPECT_EQ(simulator.ActiveFault(1), sim::FaultKind::None);
}

TEST_F(FaultTest, AFaultForOneLetterLetsTheOthersPassAndCountsOnlyItsOwn) {
    ASSERT_TRUE(simulator.SetFault(1, sim::FaultKind::Silent, 1, 'P'));
    EXPECT_EQ(ReadP5().bytes, kGoodP5);
    EXPECT_TRUE(simulator.Handle(MakeRequest('P', "01050200")).bytes.empty());
    EXPECT_EQ(simulator.Handle(MakeRequest('P', "01050200")).bytes.size(), 11u);
    EXPECT_EQ(simulator.Counters(1)->faultsInjected, 1u);
}

TEST_F(FaultTest, FaultsStayWithTheirStation) {
    Inject(sim::FaultKind::Silent);
    EXPECT_EQ(simulator.Handle(MakeRequest('R', "0205")).bytes.size(), 11u);
    EXPECT_FALSE(simulator.SetFault(7, sim::FaultKind::Silent)); // no such station
}

TEST_F(FaultTest, CountersReconcileEveryTransaction) {
    Inject(sim::FaultKind::Silent, 3);
    for (int i = 0; i < 5; ++i) {
        ReadP5();
    }
    Inject(sim::FaultKind::Short, 1);
    ReadP5();
    const sim::StationCounters counters = *simulator.Counters(1);
    EXPECT_EQ(counters.framesReceived, 6u);
    EXPECT_EQ(counters.faultsInjected, 4u);
    EXPECT_EQ(counters.answersSent, 3u); // the short one included
    EXPECT_EQ(counters.framesReceived, counters.answersSent + 3u);
}

TEST(FaultNames, EveryKindRoundTripsThroughItsName) {
    for (const char* name : {"silent", "refused", "bad-byte1", "wrong-station", "wrong-param",
                             "bad-digits", "short", "noise-before", "late", "noise-stream"}) {
        const auto kind = sim::ParseFaultKind(name);
        ASSERT_TRUE(kind.has_value()) << name;
        EXPECT_EQ(sim::FaultName(*kind), name);
    }
    EXPECT_FALSE(sim::ParseFaultKind("Silent").has_value());
}

} // namespace

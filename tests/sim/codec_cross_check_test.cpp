// The simulator and the module agree on the frames: requests formatted by the module's codec
// are accepted by the simulator's parser, and the simulator's answers (good, refused and
// spoilt by its fault script) get from the module's codec the result the fault stands for.
#include "comm/frame_codec.h"
#include "sim/frame_parser.h"
#include "sim/simulator.h"
#include "sim_test_support.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

namespace {

class CodecCrossCheckTest : public ::testing::Test {
protected:
    simtest::ManualClock clock;
    sim::Simulator simulator{{1, 12}, 4800, clock.Source()};

    // The simulator's parser takes the codec's frame as exactly one request.
    sim::Request Parse(const comm::RequestFields& fields) {
        const std::string frame = comm::FormatRequest(fields);
        sim::FrameParser parser(50);
        const std::vector<sim::Request> requests =
            parser.Feed(std::span(reinterpret_cast<const uint8_t*>(frame.data()), frame.size()),
                        clock.Source()());
        EXPECT_EQ(requests.size(), 1u) << sim::ToHex(simtest::Bytes(frame));
        EXPECT_EQ(parser.SkippedBytes(), 0u);
        return requests.empty() ? sim::Request{} : requests.front();
    }

    // One transaction: the codec's request through the simulator, its answer through the
    // codec.
    comm::DecodedAnswer Transact(const comm::RequestFields& fields) {
        const std::string frame = comm::FormatRequest(fields);
        const sim::Answer answer = simulator.Handle(Parse(fields)).bytes;
        return comm::CheckAnswer(fields.letter, fields.parameter, answer, frame);
    }
};

TEST_F(CodecCrossCheckTest, EveryRequestTheModuleSendsParsesWithItsFields) {
    const std::vector<comm::RequestFields> requests = {
        {'R', 1, 0, 0},    {'R', 12, 80, 0},   {'Q', 1, 0, 0},   {'Q', 31, 3, 0},
        {'P', 12, 3, 600}, {'P', 0, 80, 9999}, {'C', 1, 1, 500}, {'C', 12, 8, 0}};
    for (const comm::RequestFields& fields : requests) {
        const sim::Request request = Parse(fields);
        EXPECT_EQ(request.letter, static_cast<uint8_t>(fields.letter));
        EXPECT_EQ(request.station, fields.station);
        EXPECT_EQ(request.parameter, fields.parameter);
        EXPECT_FALSE(request.overlong);
        if (comm::IsWriteLetter(fields.letter)) {
            EXPECT_EQ(request.value, fields.value);
        }
    }
}

TEST_F(CodecCrossCheckTest, ReadAnswersDecodeToTheDrivesWord) {
    for (int number : {0, 5, 33, 80}) {
        uint16_t word = 0;
        ASSERT_EQ(simulator.GetWord(12, sim::Area::Parameter, number, word), sim::Outcome::Ok);
        const comm::DecodedAnswer decoded = Transact({'R', 12, number, 0});
        EXPECT_EQ(decoded.result, comm::kSuccess) << number;
        EXPECT_EQ(decoded.value, word) << number;
    }
}

TEST_F(CodecCrossCheckTest, WrittenParameterAndRunCommandAreAcceptedAndReadBack) {
    EXPECT_EQ(Transact({'P', 1, 10, 125}).result, comm::kSuccess);
    EXPECT_EQ(Transact({'R', 1, 10, 0}).value, 125);
    EXPECT_EQ(Transact({'C', 1, 1, 450}).result, comm::kSuccess);
    clock.Advance(60'000);
    EXPECT_EQ(Transact({'Q', 1, 0, 0}).value, 450) << "D0, the frequency command";
}

TEST_F(CodecCrossCheckTest, StatusGroupAnswerGivesTheDrivesMonitorWords) {
    Transact({'C', 1, 3, 300}); // run reverse
    clock.Advance(100);
    const comm::DecodedAnswer decoded = Transact({'Q', 1, comm::kStatusGroup, 0});
    ASSERT_EQ(decoded.result, comm::kSuccess);
    ASSERT_EQ(decoded.content, comm::AnswerContent::StatusBytes);
    for (uint16_t i = 0; i < decoded.statusWords.size(); ++i) {
        uint16_t word = 0;
        ASSERT_EQ(simulator.GetWord(1, sim::Area::Monitor, comm::kFirstStatusWord + i, word),
                  sim::Outcome::Ok);
        EXPECT_EQ(decoded.statusWords[i], word) << "D" << comm::kFirstStatusWord + i;
    }
    EXPECT_NE(decoded.statusWords[0], 0) << "the drive reports a command word";
}

TEST_F(CodecCrossCheckTest, ARefusedWriteIsAnErrorAnswer) {
    EXPECT_EQ(Transact({'P', 1, 80, 9999}).result, comm::kErrorAnswer) << "P80 is read only";
    EXPECT_EQ(Transact({'C', 1, 1, 9999}).result, comm::kErrorAnswer) << "above the maximum";
}

TEST_F(CodecCrossCheckTest, EachSpoiltAnswerGetsTheResultItStandsFor) {
    const struct {
        sim::FaultKind fault;
        int result;
    } cases[] = {
        {sim::FaultKind::Refused, comm::kErrorAnswer},
        {sim::FaultKind::BadByte1, comm::kFrameMarkWrong},
        {sim::FaultKind::WrongStation, comm::kStationMismatch},
        {sim::FaultKind::WrongParam, comm::kAnswerMismatch},
        {sim::FaultKind::BadDigits, comm::kAnswerMismatch},
        {sim::FaultKind::Short, comm::kAnswerMismatch},
    };
    for (const auto& one : cases) {
        ASSERT_TRUE(simulator.SetFault(12, one.fault, 1));
        EXPECT_EQ(Transact({'R', 12, 5, 0}).result, one.result) << sim::FaultName(one.fault);
        EXPECT_EQ(Transact({'R', 12, 5, 0}).result, comm::kSuccess) << "the fault is spent";
    }
}

} // namespace

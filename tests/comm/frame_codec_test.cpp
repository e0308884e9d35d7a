// The frame codec on its own: request frames byte by byte, and the checks of an answer in
// their order of precedence, with nothing but the request's fields and the answer's bytes.
#include "comm/frame_codec.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using comm::AnswerContent;
using comm::CheckAnswer;
using comm::DecodedAnswer;
using comm::FormatRequest;

std::vector<uint8_t> Bytes(const std::string& text) {
    return std::vector<uint8_t>(text.begin(), text.end());
}

// The answer the drive gives: the letter, 03 06, then the digits (station, parameter, value).
std::vector<uint8_t> Answer(char letter, const std::string& digits) {
    return Bytes(std::string(1, letter) + "\x03\x06" + digits);
}

DecodedAnswer Check(char letter, int32_t station, int32_t parameter, uint16_t value,
                    const std::vector<uint8_t>& answer) {
    const std::string frame = FormatRequest({letter, station, parameter, value});
    return CheckAnswer(letter, parameter, answer, frame);
}

TEST(FrameCodec, ReadAndQueryRequestsAreSevenBytes) {
    EXPECT_EQ(FormatRequest({'R', 1, 5, 0}), std::string("\x52\x03\x01\x30\x31\x30\x35", 7));
    EXPECT_EQ(FormatRequest({'Q', 31, 3, 999}), std::string("\x51\x03\x01\x33\x31\x30\x33", 7))
        << "no value field";
}

TEST(FrameCodec, WriteAndRunCommandRequestsCarryFourValueDigits) {
    EXPECT_EQ(FormatRequest({'P', 12, 3, 600}),
              std::string("\x50\x03\x01\x31\x32\x30\x33\x30\x36\x30\x30", 11));
    EXPECT_EQ(FormatRequest({'C', 1, 1, 500}),
              std::string("\x43\x03\x01\x30\x31\x30\x31\x30\x35\x30\x30", 11));
}

TEST(FrameCodec, WideNumbersWidenTheFrameButARunCommandNeverGrows) {
    EXPECT_EQ(FormatRequest({'P', 1, 3, 65535}), std::string("P\x03\x01"
                                                             "010365535"));
    EXPECT_EQ(FormatRequest({'R', 100, 7, 0}), std::string("R\x03\x01"
                                                           "10007"));
    EXPECT_EQ(FormatRequest({'R', -3, 7, 0}), std::string("R\x03\x01"
                                                          "-307"));
    EXPECT_EQ(FormatRequest({'C', 1, 8, 9999}), std::string("C\x03\x01"
                                                            "01089999"));
    EXPECT_EQ(FormatRequest({'C', 1, 9, 0}), std::string("C\x03\x01"
                                                         "01090000"))
        << "a command the drive refuses itself";
    EXPECT_EQ(FormatRequest({'C', 1, 100, 0}), "") << "three command digits";
    EXPECT_EQ(FormatRequest({'C', 1, 1, 10000}), "") << "five frequency digits";
    EXPECT_EQ(FormatRequest({'C', 1, -1, 0}), "");
    EXPECT_EQ(FormatRequest({'C', 100, 1, 0}), "") << "a wide station would shift every field";
}

TEST(FrameCodec, OnlyWritesAndRunCommandsCountAsWrites) {
    EXPECT_TRUE(comm::IsWriteLetter('P'));
    EXPECT_TRUE(comm::IsWriteLetter('C'));
    EXPECT_FALSE(comm::IsWriteLetter('R'));
    EXPECT_FALSE(comm::IsWriteLetter('Q'));
}

TEST(FrameCodec, ReadAnswerDecodesItsValue) {
    const DecodedAnswer decoded =
        Check('R', 1, 5, 0, Bytes("\x52\x03\x06\x30\x31\x30\x35\x30\x31\x32\x33"));
    EXPECT_EQ(decoded.result, comm::kSuccess);
    EXPECT_EQ(decoded.content, AnswerContent::Value);
    EXPECT_EQ(decoded.value, 123);
    EXPECT_EQ(Check('Q', 1, 2, 0, Answer('Q', "01029999")).value, 9999);
}

TEST(FrameCodec, StatusGroupAnswerCarriesFourWords) {
    std::vector<uint8_t> answer = Answer('Q', "0103");
    answer.insert(answer.end(), {0x85, 0x9A, 0x33, 0x01});
    const DecodedAnswer decoded = Check('Q', 1, 3, 0, answer);
    EXPECT_EQ(decoded.result, comm::kSuccess);
    EXPECT_EQ(decoded.content, AnswerContent::StatusBytes);
    EXPECT_EQ(decoded.statusWords, (std::array<uint16_t, 4>{133, 10, 9, 1}))
        << "byte 9 is not used";
}

TEST(FrameCodec, ValueFieldMustBeADecimalNumber) {
    const DecodedAnswer letter = Check('R', 1, 2, 0, Answer('R', "01021A23"));
    EXPECT_EQ(letter.result, comm::kAnswerMismatch);
    EXPECT_EQ(letter.content, AnswerContent::Value) << "the value is read all the same";
    EXPECT_EQ(letter.value, 1);
    EXPECT_EQ(Check('R', 1, 2, 0, Answer('R', "0102    ")).result, comm::kAnswerMismatch);
    const DecodedAnswer ended = Check('R', 1, 2, 0, Answer('R', std::string("010212\0X", 8)));
    EXPECT_EQ(ended.result, comm::kSuccess) << "a zero byte ends the field";
    EXPECT_EQ(ended.value, 12);
    EXPECT_EQ(Check('R', 1, 2, 0, Answer('R', "0102-001")).value, 65535);
}

TEST(FrameCodec, WriteAnswerMustEchoParameterAndValue) {
    EXPECT_EQ(Check('P', 12, 3, 600, Answer('P', "12030600")).result, comm::kSuccess);
    const DecodedAnswer other = Check('P', 12, 3, 600, Answer('P', "12030601"));
    EXPECT_EQ(other.result, comm::kAnswerMismatch);
    EXPECT_EQ(other.content, AnswerContent::None);
    EXPECT_EQ(Check('P', 12, 3, 600, Answer('P', "12040600")).result, comm::kAnswerMismatch);
}

TEST(FrameCodec, TheRequestsLetterDecidesWhatIsChecked) {
    // The receive starts the answer at the request's letter; the check follows the request.
    const std::vector<uint8_t> answer = Answer('P', "01XXXXXX");
    EXPECT_EQ(Check('C', 1, 1, 500, answer).result, comm::kSuccess)
        << "a run command's answer is examined up to the station only";
    EXPECT_EQ(Check('C', 1, 1, 500, answer).content, AnswerContent::None);
    EXPECT_EQ(Check('P', 1, 1, 500, answer).result, comm::kAnswerMismatch);
    EXPECT_EQ(Check('R', 1, 1, 0, answer).result, comm::kAnswerMismatch);
}

TEST(FrameCodec, ChecksComeInTheirOrder) {
    std::vector<uint8_t> answer = Answer('R', "02051A23"); // wrong station, wrong value
    answer[1] = 0x02;
    answer[2] = 0x15;
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kFrameMarkWrong);
    answer[1] = 0x03;
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kErrorAnswer);
    answer[2] = 0x06;
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kStationMismatch);
    answer[4] = '1';
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kAnswerMismatch);
    answer[8] = '1';
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kSuccess);
}

TEST(FrameCodec, AStationEchoMustMatchBothDigits) {
    EXPECT_EQ(Check('Q', 12, 0, 0, Answer('Q', "13000000")).result, comm::kStationMismatch);
    EXPECT_EQ(Check('Q', 12, 0, 0, Answer('Q', "02000000")).result, comm::kStationMismatch);
    EXPECT_EQ(Check('C', 12, 0, 0, Answer('C', "21000000")).result, comm::kStationMismatch);
}

TEST(FrameCodec, AShortAnswerNeverPasses) {
    std::vector<uint8_t> answer = Answer('C', "01010500");
    ASSERT_EQ(Check('C', 1, 1, 500, answer).result, comm::kSuccess);
    answer.pop_back();
    EXPECT_EQ(Check('C', 1, 1, 500, answer).result, comm::kAnswerMismatch);
    EXPECT_EQ(Check('C', 1, 1, 500, {}).result, comm::kAnswerMismatch);
    answer = Answer('R', "0105012"); // ten bytes: the value field cut
    EXPECT_EQ(Check('R', 1, 5, 0, answer).result, comm::kAnswerMismatch);
    answer.push_back('3');
    answer.push_back('X'); // a twelfth byte is not read
    EXPECT_EQ(Check('R', 1, 5, 0, answer).value, 123);
}

TEST(FrameCodec, AnAnswerLongerThanAWidenedFrameFailsItsEcho) {
    const std::string frame = FormatRequest({'R', 1, 5, 0}).substr(0, 5);
    EXPECT_EQ(CheckAnswer('R', 5, Answer('R', "01050123"), frame).result, comm::kAnswerMismatch)
        << "bytes the request does not have are never equal";
}

} // namespace

// One transaction: the request frame's bytes, the checks of the answer in their order, the
// decoding of values and status bytes, scaling, and the counters of the station.
#include "comm_fixture.h"

#include "comm/comm_request.h"
#include "comm/tag_address.h"
#include "comm/tag_registration.h"
#include "platform/clock.h"

using comm_testing::Answer;
using comm_testing::CommFixture;
using comm_testing::Delivered;
using comm_testing::Request;

namespace {

constexpr uint16_t kWordTag = 1;
constexpr uint16_t kDigitalTag = comm::kDigitalTagType;

class FrameProtocolTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        station_ = &AddStation("PUMP1", 1);
        link_ = &AttachScriptedLink();
    }

    // Registers a tag of PUMP1 and returns its block.
    CCommBlock& Bind(const char* address, uint32_t tagId, uint16_t tagType = kWordTag) {
        const int32_t handle = comm::RegisterTag(Channel(), "PUMP1", address, tagType, 0, tagId);
        EXPECT_GE(handle, 0) << address;
        return *Channel().Block(static_cast<uint32_t>(handle) >> 16);
    }

    // Executes one transaction that the drive answers with `answer`.
    CCommRequest Run(CCommBlock& block, char command, int32_t parameter, uint16_t value,
                     const std::string& answer) {
        link_->Answer(answer);
        CCommRequest request(block, command, parameter, value);
        request.Execute(*link_);
        return request;
    }

    int Check(CCommBlock& block, char command, int32_t parameter, uint16_t value,
              std::string answer) {
        CCommRequest request(block, command, parameter, value);
        answer.resize(CCommRequest::kAnswerBufferSize);
        return request.CheckAnswer(reinterpret_cast<uint8_t*>(answer.data()),
                                   request.FormatFrame());
    }

    CStationInfo* station_ = nullptr;
    comm_testing::ScriptedLink* link_ = nullptr;
};

std::string Frame(CCommBlock& block, char command, int32_t parameter, uint16_t value) {
    return CCommRequest(block, command, parameter, value).FormatFrame();
}

} // namespace

TEST_F(FrameProtocolTest, ReadAndQueryFramesAreSevenBytes) {
    CCommBlock& block = Bind("P5", 1);
    EXPECT_EQ(Frame(block, 'R', 5, 0), std::string("\x52\x03\x01\x30\x31\x30\x35", 7));
    EXPECT_EQ(Frame(block, 'Q', 3, 999), Request('Q', "0103")) << "no value field";
}

TEST_F(FrameProtocolTest, WriteFramesCarryFourValueDigits) {
    CStationInfo& twelve = AddStation("PUMP12", 12);
    comm::RegisterTag(Channel(), "PUMP12", "P3", kWordTag, 0, 1);
    CCommBlock& block = *Channel().FindPBlock(twelve);
    EXPECT_EQ(Frame(block, 'P', 3, 600),
              std::string("\x50\x03\x01\x31\x32\x30\x33\x30\x36\x30\x30", 11));
    EXPECT_EQ(Frame(block, 'C', 1, 500), Request('C', "12010500"));
}

TEST_F(FrameProtocolTest, WideNumbersGrowTheFrameInsteadOfBeingCut) {
    CCommBlock& block = Bind("P0", 1);
    EXPECT_EQ(Frame(block, 'P', 3, 65535), Request('P', "010365535"));
    EXPECT_EQ(Frame(block, 'P', 1234567, 0), Request('P', "0112345670000"));
    station_->m_stationNumber = 100;
    EXPECT_EQ(Frame(block, 'R', 7, 0), Request('R', "10007"));
    station_->m_stationNumber = -3;
    EXPECT_EQ(Frame(block, 'R', 7, 0), Request('R', "-307"));
}

TEST_F(FrameProtocolTest, ReadAnswerReachesTheTagScaled) {
    CCommBlock& block = Bind("P5", 11);
    Bind("P2", 12);
    const CCommRequest request =
        Run(block, 'R', 5, 0, "\x52\x03\x06\x30\x31\x30\x35\x30\x31\x32\x33");
    EXPECT_EQ(link_->sent, (std::vector<std::string>{Request('R', "0105")}));
    EXPECT_EQ(link_->lastSync, 'R') << "the answer is taken from the echoed letter on";
    EXPECT_EQ(request.Value(), 123);
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{11, 12.3}}));
    Run(block, 'R', 2, 0, Answer('R', "01020123"));
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{12, 123.0}})) << "P2 is not scaled";
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(FrameProtocolTest, StatusGroupAnswerCarriesD3ToD6) {
    CCommBlock& block = Bind("D3", 3);
    Bind("D4", 4);
    Bind("D5", 5);
    Bind("D6", 6);
    Bind("D3.7", 37, kDigitalTag);
    Bind("D3.1", 31, kDigitalTag);
    Bind("D4.3", 43, kDigitalTag);
    Run(block, 'Q', 3, 0, Answer('Q', "0103") + std::string("\x85\x9A\x00\x01", 4));
    EXPECT_EQ(
        TakeValueChanges(),
        (std::vector<Delivered>{{3, 133}, {37, 1}, {31, 0}, {4, 10}, {43, 1}, {5, 9}, {6, 1}}));
    EXPECT_EQ(block.CacheWord(3), 133);
    EXPECT_EQ(block.CacheWord(4), 10);
    EXPECT_EQ(block.CacheWord(6), 1);
}

TEST_F(FrameProtocolTest, FirstThreeMonitorWordsCarryOneDecimal) {
    CCommBlock& block = Bind("D0", 10);
    Bind("D1", 11);
    Bind("D2", 12);
    Run(block, 'Q', 0, 0, Answer('Q', "01006000"));
    Run(block, 'Q', 1, 0, Answer('Q', "01010599"));
    Run(block, 'Q', 2, 0, Answer('Q', "01020007"));
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{10, 600.0}, {11, 59.9}, {12, 0.7}}));
    EXPECT_EQ(block.CacheWord(0), 6000) << "the raw word is kept for the command write";
}

TEST_F(FrameProtocolTest, AcknowledgedWriteShowsTheWrittenValue) {
    CCommBlock& block = Bind("P3", 3);
    Bind("P3.2", 32, kDigitalTag);
    Run(block, 'P', 3, 600, Answer('P', "01030600"));
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{3, 60.0}, {32, 0}}));
    EXPECT_EQ(block.CacheWord(3), 600);
}

TEST_F(FrameProtocolTest, CommandAnswerIsCheckedOnlyUpToTheStation) {
    CCommBlock& block = Bind("D0", 1);
    EXPECT_EQ(Check(block, 'C', 1, 500, Answer('C', "01??????")), 0);
    EXPECT_EQ(Check(block, 'C', 1, 500, Answer('C', "02??????")), 16);
    Run(block, 'C', 1, 500, Answer('C', "01xxxxxx"));
    EXPECT_TRUE(TakeValueChanges().empty());
    EXPECT_EQ(station_->m_writeRequests, 1);
    EXPECT_EQ(station_->m_writeFailures, 0);
}

TEST_F(FrameProtocolTest, ChecksRunInOrderOfPrecedence) {
    CCommBlock& block = Bind("P5", 1);
    const auto spoil = [](std::string answer, size_t at, char byte) {
        answer[at] = byte;
        return answer;
    };
    const std::string good = Answer('R', "01050123");
    EXPECT_EQ(Check(block, 'R', 5, 0, good), 0);
    EXPECT_EQ(TakeValueChanges().size(), 1u);
    const std::string all = spoil(spoil(spoil(spoil(good, 1, 2), 2, 0x15), 4, '9'), 6, '6');
    EXPECT_EQ(Check(block, 'R', 5, 0, all), 13) << "frame mark first";
    EXPECT_EQ(Check(block, 'R', 5, 0, spoil(all, 1, 3)), 12) << "then the acknowledgement";
    EXPECT_EQ(Check(block, 'R', 5, 0, spoil(spoil(all, 1, 3), 2, 6)), 16) << "then the station";
    EXPECT_EQ(Check(block, 'R', 5, 0, spoil(good, 6, '6')), 11) << "then the parameter";
    EXPECT_EQ(Check(block, 'R', 5, 0, spoil(good, 3, '1')), 16) << "either station digit";
    EXPECT_TRUE(TakeValueChanges().empty()) << "a rejected answer changes no tag";
}

TEST_F(FrameProtocolTest, EchoOfAWriteCoversParameterAndValue) {
    CCommBlock& block = Bind("P3", 1);
    EXPECT_EQ(Check(block, 'P', 3, 600, Answer('P', "01030601")), 11);
    EXPECT_EQ(Check(block, 'P', 3, 600, Answer('P', "01040600")), 11);
    EXPECT_EQ(Check(block, 'Q', 0, 0, Answer('Q', "01010000")), 11);
}

TEST_F(FrameProtocolTest, ValueFieldMustBeADecimalNumber) {
    CCommBlock& block = Bind("P2", 1);
    EXPECT_EQ(Check(block, 'R', 2, 0, Answer('R', "01021A23")), 11);
    EXPECT_EQ(Check(block, 'R', 2, 0, Answer('R', "0102123 ")), 11);
    EXPECT_EQ(Check(block, 'R', 2, 0, Answer('R', "0102    ")), 11);
    EXPECT_TRUE(TakeValueChanges().empty());

    const auto decoded = [&](const std::string& field) {
        CCommRequest request(block, 'R', 2, 0);
        std::string answer = Answer('R', "0102") + field;
        answer.resize(CCommRequest::kAnswerBufferSize, '9'); // the terminator is the check's
        EXPECT_EQ(
            request.CheckAnswer(reinterpret_cast<uint8_t*>(answer.data()), request.FormatFrame()),
            0)
            << field;
        return request.Value();
    };
    EXPECT_EQ(decoded(std::string("\0\0\0\0", 4)), 0) << "an empty field reads as 0";
    EXPECT_EQ(decoded(std::string("12\0\0", 4)), 12) << "a zero byte ends the field";
    EXPECT_EQ(decoded(" 042"), 42);
    EXPECT_EQ(decoded("-001"), 65535) << "a sign wraps as the library's reading does";
}

TEST_F(FrameProtocolTest, EveryDistributionWakesTheDeliverySide) {
    CCommBlock& block = Bind("P2", 1);
    EXPECT_FALSE(Channel().WaitForValueChanges(0));
    block.DistributeValue(40, 1); // no binding of P40
    EXPECT_TRUE(Channel().WaitForValueChanges(0)) << "a wake-up given before the wait is kept";
    EXPECT_FALSE(Channel().WaitForValueChanges(0));
}

// Counting and supervision of a transaction's outcome.

TEST_F(FrameProtocolTest, ReadsAndWritesAreCountedApart) {
    CCommBlock& parameters = Bind("P2", 1);
    CCommBlock& monitor = Bind("D0", 2);
    Run(parameters, 'R', 2, 0, Answer('R', "01020001"));
    Run(monitor, 'Q', 0, 0, Answer('Q', "0100000X"));
    Run(parameters, 'P', 2, 1, Answer('P', "01020001"));
    Run(monitor, 'C', 0, 0, Answer('C', "0200000000"));
    EXPECT_EQ(station_->m_readRequests, 2);
    EXPECT_EQ(station_->m_readFailures, 1);
    EXPECT_EQ(station_->m_writeRequests, 2);
    EXPECT_EQ(station_->m_writeFailures, 1);
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{Line(11, "PUMP1"), Line(16, "PUMP1")}));
    EXPECT_EQ(hosts_.EventLog().at(0).flags, 0x101u);
}

TEST_F(FrameProtocolTest, LineFailuresPassOnTheirCodes) {
    CCommBlock& block = Bind("P2", 1);
    const int32_t before = platform::CalendarTime();
    link_->Fail(8, 0);
    link_->Fail(0, 9);
    link_->Fail(0, 10);
    for (int i = 0; i < 3; ++i) {
        CCommRequest(block, 'R', 2, 0).Execute(*link_);
    }
    EXPECT_EQ(link_->receives, 2) << "nothing is read after a failed send";
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{Line(8, "PUMP1"), Line(9, "PUMP1"), Line(10, "PUMP1")}));
    EXPECT_EQ(station_->m_readFailures, 3);
    EXPECT_GE(station_->m_lastFailureTime, before);
    EXPECT_EQ(station_->m_consecutiveFailures, 3);
    station_->m_lastFailureTime = 1234;
    Run(block, 'R', 2, 0, Answer('R', "01020001"));
    EXPECT_EQ(station_->m_lastFailureTime, 1234) << "a success leaves the failure time";
    EXPECT_EQ(station_->m_consecutiveFailures, 0);
}

// The run command (C) carries the operation command word D3 and the frequency command D0
// together: the half the host did not write is the drive's own word as the drive reported
// it, taken when the command is executed, and nothing leaves that the drive would misread.
#include "comm_fixture.h"

#include "comm/comm_request.h"
#include "comm/tag_registration.h"

using comm_testing::Answer;
using comm_testing::CommFixture;
using comm_testing::Request;

namespace {

constexpr uint16_t kWordTag = 1;
using DrivesHalf = CCommRequest::DrivesHalf;

class RunCommandTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        station_ = &AddStation("PUMP1", 1);
        link_ = &AttachScriptedLink();
        const int32_t handle = comm::RegisterTag(Channel(), "PUMP1", "D0", kWordTag, 0, 1);
        ASSERT_GE(handle, 0);
        block_ = Channel().Block(static_cast<uint32_t>(handle) >> 16);
    }

    // A frequency write (the drive's command word goes along) or a command write (the
    // drive's frequency goes along), as the tag write queues it.
    void QueueFrequency(uint16_t raw) {
        Channel().QueueRequests(
            {CCommRequest::RunCommand(*block_, DrivesHalf::CommandWord, 0, raw)});
    }
    void QueueCommand(int32_t word) {
        Channel().QueueRequests(
            {CCommRequest::RunCommand(*block_, DrivesHalf::Frequency, word, 0)});
    }
    void QueueQuery(int32_t group) { Channel().QueueRequest(*block_, 'Q', group, 0); }

    // A group-3 answer whose D3 byte is `word`.
    static std::string StatusAnswer(uint8_t word) {
        return Answer('Q', "0103") + std::string{static_cast<char>(word), '\x01', '\0', '\0'};
    }

    CStationInfo* station_ = nullptr;
    comm_testing::ScriptedLink* link_ = nullptr;
    CCommBlock* block_ = nullptr;
};

} // namespace

TEST_F(RunCommandTest, AFrequencyWriteCarriesTheCommandWordTheDriveReported) {
    link_->Answer(StatusAnswer(1)); // running forward
    link_->Answer(Answer('C', "01010400"));
    QueueQuery(3);
    QueueFrequency(400);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent.back(), Request('C', "01010400")) << "forward, 40.0 Hz";
}

TEST_F(RunCommandTest, ACommandWriteCarriesTheFrequencyTheDriveReported) {
    link_->Answer(Answer('Q', "01000350"));
    link_->Answer(Answer('C', "01030350"));
    QueueQuery(0);
    QueueCommand(3);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent.back(), Request('C', "01030350"));
}

TEST_F(RunCommandTest, TheOtherHalfIsTakenWhenTheCommandIsExecutedNotWhenQueued) {
    block_->SetCacheWord(3, 1);
    QueueQuery(3);
    QueueFrequency(400); // queued while the drive was last seen running forward
    link_->Answer(StatusAnswer(3));
    link_->Answer(Answer('C', "01030400"));
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent.back(), Request('C', "01030400")) << "the reverse just reported";
}

TEST_F(RunCommandTest, TwoWritesBackToBackKeepEachOthersWords) {
    link_->Answer(StatusAnswer(0));
    link_->Answer(Answer('C', "01000400"));
    link_->Answer(Answer('C', "01010400"));
    QueueQuery(3);
    QueueFrequency(400);
    QueueCommand(1); // the drive's frequency is unknown to the poll: the acknowledged one
    EXPECT_EQ(RunQueue(), 3);
    EXPECT_EQ(link_->sent.at(1), Request('C', "01000400"));
    EXPECT_EQ(link_->sent.at(2), Request('C', "01010400")) << "the 40.0 Hz just taken stays";
}

// The read's failure is the one transaction on the line: one read failure, no write counted,
// and the command that could not go says so with message 8.
TEST_F(RunCommandTest, AnUnknownOtherHalfSendsNoCommandAndSaysItCannotSend) {
    link_->Fail(0, 10); // the read before it goes unanswered
    QueueQuery(3);
    QueueFrequency(400);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent, (std::vector<std::string>{Request('Q', "0103")})) << "no guess sent";
    EXPECT_EQ(station_->m_readRequests, 1);
    EXPECT_EQ(station_->m_readFailures, 1);
    EXPECT_EQ(station_->m_writeRequests, 0);
    EXPECT_EQ(station_->m_writeFailures, 0);
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{Line(10, "PUMP1"), Line(8, "PUMP1")}));
}

// A running drive reports D3 with its status bit 7 set (0x85: reverse, running); the command
// it takes back is 05.
TEST_F(RunCommandTest, ARunningDriveTakesAFrequencyWithItsCommandWithoutTheStatusBit) {
    link_->Answer(StatusAnswer(0x85));
    link_->Answer(Answer('C', "01050500"));
    QueueQuery(3);
    QueueFrequency(500);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent.back(), Request('C', "01050500"));
    EXPECT_TRUE(LogTexts().empty());
    EXPECT_EQ(station_->m_writeRequests, 1);
    EXPECT_EQ(station_->m_writeFailures, 0);
}

TEST_F(RunCommandTest, AReportedWordItsFieldCannotHoldIsNotSentAndNotCounted) {
    block_->SetCacheWord(0, 10000);
    QueueCommand(1);
    EXPECT_EQ(RunQueue(), 1);
    EXPECT_TRUE(link_->sent.empty());
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{Line(8, "PUMP1")}));
    EXPECT_EQ(station_->m_writeRequests, 0);
    EXPECT_EQ(station_->m_consecutiveFailures, 0) << "the link itself is good";
}

TEST_F(RunCommandTest, ALostLinkMakesTheDrivesWordsUnknown) {
    block_->SetCacheWord(0, 350);
    block_->SetCacheWord(3, 1);
    for (int i = 0; i < 4; ++i) {
        link_->Fail(0, 10);
        QueueQuery(0);
    }
    EXPECT_EQ(RunQueue(), 4);
    EXPECT_TRUE(block_->KnownWord(3).has_value()) << "a failing link is not yet a lost one";
    link_->Fail(0, 10);
    QueueQuery(0);
    EXPECT_EQ(RunQueue(), 1);
    EXPECT_FALSE(block_->KnownWord(0).has_value());
    EXPECT_FALSE(block_->KnownWord(3).has_value());
    EXPECT_EQ(block_->CacheWord(0), 350) << "the word stays, only not trusted";
    link_->Answer(Answer('Q', "01000350"));
    QueueQuery(0);
    QueueFrequency(400);
    EXPECT_EQ(RunQueue(), 2);
    const std::vector<std::string> log = LogTexts();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], Line(15, "PUMP1")) << "restored";
    EXPECT_EQ(log.back(), Line(8, "PUMP1")) << "the command on an unknown word is not sent";
    EXPECT_EQ(link_->sent.back(), Request('Q', "0100"))
        << "no command on a word from before the loss";
    EXPECT_EQ(station_->m_writeFailures, 0) << "the command that could not go was not sent";
}

TEST_F(RunCommandTest, ALinkLostOnAnotherAreaOfTheStationAlsoCounts) {
    const int32_t handle = comm::RegisterTag(Channel(), "PUMP1", "P2", kWordTag, 0, 2);
    CCommBlock& parameters = *Channel().Block(static_cast<uint32_t>(handle) >> 16);
    AddStation("PUMP2", 2);
    const int32_t other = comm::RegisterTag(Channel(), "PUMP2", "D0", kWordTag, 0, 3);
    CCommBlock& otherDrive = *Channel().Block(static_cast<uint32_t>(other) >> 16);
    block_->SetCacheWord(3, 1);
    otherDrive.SetCacheWord(3, 1);
    for (int i = 0; i < 5; ++i) {
        link_->Fail(0, 10);
        Channel().QueueRequest(parameters, 'R', 2, 0);
    }
    EXPECT_EQ(RunQueue(), 5);
    EXPECT_FALSE(block_->KnownWord(3).has_value());
    EXPECT_TRUE(otherDrive.KnownWord(3).has_value()) << "another station is not touched";
}

TEST_F(RunCommandTest, ARunCommandFrameIsElevenBytesOrNothingWhateverItsWords) {
    for (uint32_t word = 0; word <= 0xFFFF; word += (word < 300 ? 1 : 97)) {
        for (uint32_t frequency : {0u, 9u, 9999u, 10000u, 65535u}) {
            const std::string frame = CCommRequest(*block_, 'C', static_cast<int32_t>(word),
                                                   static_cast<uint16_t>(frequency))
                                          .FormatFrame();
            const bool sendable = word <= 99 && frequency <= 9999;
            EXPECT_EQ(frame.size(), sendable ? 11u : 0u) << word << " " << frequency;
        }
    }
    station_->m_stationNumber = 100;
    EXPECT_TRUE(CCommRequest(*block_, 'C', 1, 500).FormatFrame().empty());
    EXPECT_TRUE(CCommRequest(*block_, 'C', -1, 500).FormatFrame().empty());
}

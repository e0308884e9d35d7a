// Registration of tags: which station a device string names, the handles, the blocks per
// station and area, messages 6 and 7, and the poll masks built from the bindings.
#include "comm/tag_registration.h"
#include "comm_fixture.h"

#include "comm/tag_address.h"

using comm_testing::CommFixture;

namespace {

constexpr uint16_t kWordTag = 1;
constexpr uint16_t kDigitalTag = comm::kDigitalTagType;

class TagRegistrationTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        pump1_ = &AddStation("PUMP1", 1);
        pump2_ = &AddStation("PUMP2", 2);
        dotted_ = &AddStation("B.PUMP1", 3);
    }

    int32_t Register(const char* device, const char* address, uint32_t tagId = 1,
                     uint16_t tagType = kWordTag) {
        return comm::RegisterTag(Channel(), device, address, tagType, 0, tagId);
    }

    CStationInfo* pump1_ = nullptr;
    CStationInfo* pump2_ = nullptr;
    CStationInfo* dotted_ = nullptr;
};

} // namespace

TEST_F(TagRegistrationTest, HandleIsBlockIndexAndBindingIndex) {
    EXPECT_EQ(Register("PUMP1", "D0"), 0x00000000);
    EXPECT_EQ(Register("PUMP1", "D3"), 0x00000001);
    EXPECT_EQ(Register("PUMP1", "P5"), 0x00010000) << "another area: a new block";
    EXPECT_EQ(Register("PUMP2", "D0"), 0x00020000) << "another station: a new block";
    EXPECT_EQ(Register("PUMP1", "P6"), 0x00010001);
    EXPECT_EQ(Register("PUMP1", "D1"), 0x00000002);
    ASSERT_EQ(Channel().BlockCount(), 3u);
    EXPECT_EQ(&Channel().Block(2)->Station(), pump2_);
    EXPECT_EQ(Channel().Block(1)->Area(), comm::kAreaP);
    EXPECT_EQ(Channel().Block(1)->Binding(1).parameterNumber, 6);
}

TEST_F(TagRegistrationTest, StationNameIsTheTextAfterTheFirstDot) {
    EXPECT_EQ(Register("LINE.PUMP1", "D0"), 0x00000000);
    EXPECT_EQ(Register("PUMP1", "D1"), 0x00000001);
    EXPECT_EQ(Register("A.B.PUMP1", "D0"), 0x00010000);
    EXPECT_EQ(&Channel().Block(1)->Station(), dotted_);
    EXPECT_EQ(Channel().BlockCount(), 2u);
}

TEST_F(TagRegistrationTest, UnknownStationLogsMessage7WithTheDeviceAsPassed) {
    hosts_.SetTagName(42, "FLOW_SP");
    EXPECT_EQ(Register("LINE.pump1", "D0", 42), -1) << "names match with letter case";
    const auto log = hosts_.EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].flags, 0x100u);
    EXPECT_EQ(log[0].text, Line(7, "FLOW_SP", "LINE.pump1"));
    EXPECT_EQ(Channel().BlockCount(), 0u);
}

TEST_F(TagRegistrationTest, BadAddressLogsMessage6AndCreatesNothing) {
    hosts_.SetTagName(7, "SPEED");
    EXPECT_EQ(Register("PUMP1", "D3.4", 7), -1);
    EXPECT_EQ(Register("PUMP1", "Q1", 7, kDigitalTag), -1);
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{Line(6, "SPEED", "D3.4"), Line(6, "SPEED", "Q1")}));
    EXPECT_EQ(hosts_.EventLog().at(0).flags, 0x100u);
    EXPECT_EQ(Channel().BlockCount(), 0u);
    EXPECT_EQ(Register("PUMP1", "D3.4", 8, kDigitalTag), 0x00000000)
        << "later registrations proceed as if nothing happened";
    EXPECT_EQ(Channel().Block(0)->Binding(0).bitNumber, 4);
}

TEST_F(TagRegistrationTest, HostileTextsReachTheLogAsTheyAre) {
    const std::string address = "%s%n" + std::string(5000, 'Z');
    EXPECT_EQ(Register(nullptr, "D0"), -1);
    EXPECT_EQ(Register("PUMP1", address.c_str()), -1);
    EXPECT_EQ(Register("PUMP1", nullptr), -1);
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{Line(7, "TAG1", ""), Line(6, "TAG1", address.c_str()),
                                        Line(6, "TAG1", "")}));
}

TEST_F(TagRegistrationTest, SameTagTwiceGetsTwoBindingsThatBothReceive) {
    EXPECT_EQ(Register("PUMP1", "D1", 5), 0x00000000);
    EXPECT_EQ(Register("PUMP1", "D1", 5), 0x00000001);
    Channel().Block(0)->DistributeValue(1, 123);
    EXPECT_EQ(TakeValueChanges(), (std::vector<comm_testing::Delivered>{{5, 12.3}, {5, 12.3}}));
}

TEST_F(TagRegistrationTest, HandlesStopBeforeTheirIndicesWrap) {
    TagBinding binding;
    for (int32_t expected = 0; expected < 0xFFFF; ++expected) {
        ASSERT_EQ(Channel().RegisterBinding(*pump1_, comm::kAreaD, 0, binding), expected);
    }
    EXPECT_EQ(Register("PUMP1", "D0", 9), -1) << "binding index 0xFFFF is never handed out";
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{Line(6, "TAG9", "D0")}));
    EXPECT_EQ(Channel().Block(0)->BindingCount(), 0xFFFFu);
    EXPECT_EQ(Register("PUMP1", "P0"), 0x00010000) << "other blocks still take tags";
}

// Poll masks and the poll step.

namespace {

class PollTest : public TagRegistrationTest {
protected:
    // The frames one visit of each block queues, in queue order.
    std::vector<std::string> VisitAll() {
        comm_testing::ScriptedLink& link = AttachScriptedLink();
        for (size_t i = 0; i < Channel().BlockCount(); ++i) {
            Channel().Block(i)->PollStep();
        }
        RunQueue();
        return link.sent;
    }
};

using comm_testing::Request;

} // namespace

TEST_F(PollTest, GroupThreeServesD3ToD6WithOneQuery) {
    Register("PUMP1", "D3");
    Register("PUMP1", "D5");
    Channel().BuildPollMasks();
    EXPECT_EQ(Channel().Block(0)->PollMask(), 0x0008);
    EXPECT_EQ(VisitAll(), (std::vector<std::string>{Request('Q', "0103")}));
}

TEST_F(PollTest, LowestGroupIsQueriedFirst) {
    Register("PUMP1", "D4");
    Register("PUMP1", "D0");
    Register("PUMP2", "D2");
    Channel().BuildPollMasks();
    EXPECT_EQ(Channel().Block(0)->PollMask(), 0x0009);
    EXPECT_EQ(VisitAll(), (std::vector<std::string>{Request('Q', "0100"), Request('Q', "0103"),
                                                    Request('Q', "0202")}));
}

TEST_F(PollTest, ParameterAndCommandWordsAreNeverPolled) {
    Register("PUMP1", "P1");
    Register("PUMP1", "C1");
    Register("PUMP1", "D1.0", 1, kDigitalTag);
    Channel().BuildPollMasks();
    EXPECT_EQ(Channel().Block(0)->PollMask(), 0);
    EXPECT_EQ(Channel().Block(1)->PollMask(), 0);
    EXPECT_EQ(VisitAll(), (std::vector<std::string>{Request('Q', "0101")}));
}

TEST_F(PollTest, NothingIsPolledBeforeTheMasksAreBuilt) {
    Register("PUMP1", "D0");
    EXPECT_TRUE(VisitAll().empty());
}

TEST_F(PollTest, DisabledStationIsSkippedUntilEnabledAgain) {
    Register("PUMP1", "D1");
    Channel().BuildPollMasks();
    pump1_->m_enabled = 0;
    Channel().Block(0)->PollStep();
    EXPECT_EQ(Channel().PendingRequestCount(), 0u);
    pump1_->m_enabled = 1;
    Channel().Block(0)->PollStep();
    EXPECT_EQ(Channel().PendingRequestCount(), 1u);
}

TEST_F(PollTest, RangeReadQueuesParameterReadsUpToP80) {
    Register("PUMP1", "P0");
    CCommBlock& block = *Channel().FindPBlock(*pump1_);
    comm_testing::ScriptedLink& link = AttachScriptedLink();
    block.RangeRead(78, 10);
    RunQueue();
    EXPECT_EQ(link.sent, (std::vector<std::string>{Request('R', "0178"), Request('R', "0179"),
                                                   Request('R', "0180")}));
    block.RangeRead(5, 0);
    block.RangeRead(90, 3);
    block.RangeRead(65530, 10); // the end wraps to 4
    EXPECT_EQ(Channel().PendingRequestCount(), 0u);
    block.RangeRead(65535, 3); // wraps to 2: still below the start
    EXPECT_EQ(Channel().PendingRequestCount(), 0u);
}

TEST_F(PollTest, FindPBlockMatchesTheStationObject) {
    Register("PUMP1", "D0");
    Register("PUMP2", "P3");
    Register("PUMP1", "P3");
    EXPECT_EQ(Channel().FindPBlock(*pump1_), Channel().Block(2));
    EXPECT_EQ(Channel().FindPBlock(*pump2_), Channel().Block(1));
    EXPECT_EQ(Channel().FindPBlock(*dotted_), nullptr);
}

// A range read yields to every other request: a write queued while its parameters are read
// reaches the line after the one being read, not after all of them.
#include "comm_fixture.h"

#include "comm/tag_registration.h"

using comm_testing::CommFixture;
using comm_testing::Request;

namespace {

class RangeReadPriorityTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        AddStation("PUMP1", 1);
        AddStation("PUMP2", 2);
        comm::RegisterTag(Channel(), "PUMP1", "P0", 1, 0, 1);
        comm::RegisterTag(Channel(), "PUMP2", "P0", 1, 0, 2);
        comm::RegisterTag(Channel(), "PUMP2", "D0", 1, 0, 3);
        pump1_ = Channel().Block(0);
        pump2_ = Channel().Block(1);
        pump2Drive_ = Channel().Block(2);
        link_ = &AttachScriptedLink();
    }

    CCommBlock* pump1_ = nullptr;
    CCommBlock* pump2_ = nullptr;
    CCommBlock* pump2Drive_ = nullptr;
    comm_testing::ScriptedLink* link_ = nullptr;
};

} // namespace

TEST_F(RangeReadPriorityTest, WritesQueuedDuringARangeReadGoAheadOfItsRestInTheirOwnOrder) {
    pump1_->RangeRead(10, 4);
    ASSERT_TRUE(Channel().ServiceBatch()); // P10 is read; the rest waits
    Channel().QueueRequest(*pump2_, 'P', 5, 300);
    Channel().QueueRequest(*pump2_, 'P', 6, 301);
    EXPECT_EQ(RunQueue(), 5);
    EXPECT_EQ(link_->sent, (std::vector<std::string>{Request('R', "0110"), Request('P', "02050300"),
                                                     Request('P', "02060301"), Request('R', "0111"),
                                                     Request('R', "0112"), Request('R', "0113")}));
}

TEST_F(RangeReadPriorityTest, AWriteQueuedWithTheRangeReadInOneBatchStillGoesFirst) {
    pump1_->RangeRead(0, 3);
    Channel().QueueRequest(*pump2_, 'P', 7, 12);
    EXPECT_EQ(RunQueue(), 4);
    EXPECT_EQ(link_->sent, (std::vector<std::string>{Request('P', "02070012"), Request('R', "0100"),
                                                     Request('R', "0101"), Request('R', "0102")}));
}

TEST_F(RangeReadPriorityTest, ARunCommandKeepsTheReadQueuedBeforeIt) {
    pump1_->RangeRead(0, 3);
    ASSERT_TRUE(Channel().ServiceBatch());
    Channel().QueueRequests(
        {CCommRequest(*pump2Drive_, 'Q', 3, 0), CCommRequest(*pump2Drive_, 'P', 1, 2)});
    EXPECT_EQ(RunQueue(), 4);
    ASSERT_EQ(link_->sent.size(), 5u);
    EXPECT_EQ(link_->sent[1], Request('Q', "0203"));
    EXPECT_EQ(link_->sent[2], Request('P', "02010002"));
    EXPECT_EQ(link_->sent[3], Request('R', "0101"));
}

TEST_F(RangeReadPriorityTest, ASecondRangeReadWaitsForTheFirst) {
    pump1_->RangeRead(0, 2);
    ASSERT_TRUE(Channel().ServiceBatch());
    pump2_->RangeRead(40, 2);
    EXPECT_EQ(RunQueue(), 3);
    EXPECT_EQ(link_->sent, (std::vector<std::string>{Request('R', "0100"), Request('R', "0101"),
                                                     Request('R', "0240"), Request('R', "0241")}));
}

TEST_F(RangeReadPriorityTest, WithoutARangeReadTheQueueKeepsItsOrder) {
    Channel().QueueRequest(*pump2_, 'P', 5, 1);
    ASSERT_TRUE(Channel().ServiceBatch());
    Channel().QueueRequest(*pump2_, 'P', 6, 2);
    Channel().QueueRequest(*pump2_, 'P', 7, 3);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(link_->sent,
              (std::vector<std::string>{Request('P', "02050001"), Request('P', "02060002"),
                                        Request('P', "02070003")}));
}

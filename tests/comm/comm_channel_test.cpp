// The channel's two queues: requests run in the order they were queued, one batch at a
// time; value changes reach the delivery side first in, first out.
#include "comm_fixture.h"

#include "comm/tag_address.h"
#include "comm/tag_registration.h"
#include "config/serial_port.h"

#include <thread>

using comm_testing::CommFixture;
using comm_testing::Request;

namespace {

class CommChannelTest : public CommFixture {
protected:
    void SetUp() override {
        CommFixture::SetUp();
        AddStation("PUMP1", 1);
        comm::RegisterTag(Channel(), "PUMP1", "P0", 1, 0, 1);
        block_ = Channel().Block(0);
    }

    CCommBlock* block_ = nullptr;
};

} // namespace

TEST_F(CommChannelTest, BatchServiceRunsOneRequestPerStepAndRetiresTheBatch) {
    comm_testing::ScriptedLink& link = AttachScriptedLink();
    Channel().QueueRequest(*block_, 'R', 1, 0);
    Channel().QueueRequest(*block_, 'R', 2, 0);
    EXPECT_TRUE(Channel().ServiceBatch());
    Channel().QueueRequest(*block_, 'R', 3, 0); // goes to a new pending batch
    EXPECT_EQ(link.sent.size(), 1u);
    EXPECT_TRUE(Channel().ServiceBatch());
    EXPECT_FALSE(Channel().ServiceBatch()) << "the exhausted batch is retired";
    EXPECT_EQ(Channel().PendingRequestCount(), 1u) << "the pending batch waits for the next step";
    EXPECT_TRUE(Channel().ServiceBatch());
    EXPECT_FALSE(Channel().ServiceBatch());
    EXPECT_FALSE(Channel().ServiceBatch()) << "nothing left at all";
    EXPECT_EQ(link.sent, (std::vector<std::string>{Request('R', "0101"), Request('R', "0102"),
                                                   Request('R', "0103")}));
}

TEST_F(CommChannelTest, DiscardDropsRequestsNotYetExecuted) {
    comm_testing::ScriptedLink& link = AttachScriptedLink();
    Channel().QueueRequest(*block_, 'R', 1, 0);
    Channel().QueueRequest(*block_, 'R', 2, 0);
    EXPECT_TRUE(Channel().ServiceBatch());
    Channel().QueueRequest(*block_, 'R', 3, 0);
    Channel().DiscardRequests();
    EXPECT_EQ(RunQueue(), 0);
    EXPECT_EQ(link.sent.size(), 1u);
}

TEST_F(CommChannelTest, ValueChangesComeOutInOrder) {
    TagBinding first;
    first.tagId = 1;
    TagBinding second;
    second.tagId = 2;
    Channel().QueueValueChange(first, 1.5);
    Channel().QueueBitChange(second, 7);
    Channel().QueueValueChange(first, 2.5);
    EXPECT_EQ(TakeValueChanges(),
              (std::vector<comm_testing::Delivered>{{1, 1.5}, {2, 1.0}, {1, 2.5}}));
    Channel().QueueValueChange(first, 3.5);
    Channel().DiscardValueChanges();
    EXPECT_EQ(Channel().TakeValueChange(), nullptr);
}

TEST_F(CommChannelTest, RequestsAndValuesCrossThreadsUnderTheirLocks) {
    comm_testing::ScriptedLink& link = AttachScriptedLink();
    constexpr int kEach = 200;
    for (int i = 0; i < kEach; ++i) {
        link.Answer(comm_testing::Answer('R', "01000001"));
    }
    TagBinding binding;
    std::thread writer([&] {
        for (int i = 0; i < kEach; ++i) {
            Channel().QueueRequest(*block_, 'R', 0, 0);
        }
    });
    std::thread producer([&] {
        for (int i = 0; i < kEach; ++i) {
            Channel().QueueValueChange(binding, i);
        }
    });
    int executed = 0;
    int taken = 0;
    while (executed < kEach || taken < 2 * kEach) {
        if (Channel().ServiceBatch()) {
            ++executed;
        }
        while (Channel().TakeValueChange() != nullptr) {
            ++taken;
        }
    }
    writer.join();
    producer.join();
    EXPECT_EQ(link.sent.size(), static_cast<size_t>(kEach));
}

TEST(CommChannelCreation, TakesTheHandshakeOptionFromTheSettings) {
    CVfdaDrvDoc document;
    document.SerialPort().m_options = CSerialPort::kOptionRtsCts;
    OwnedChannel channel = CCommChannel::Create(document);
    EXPECT_EQ(channel->RtsCts(), 1);
    EXPECT_EQ(&channel->Owner(), &document);
    EXPECT_FALSE(channel->IsRunning());
    document.SerialPort().m_options = CSerialPort::kOptionChecksum;
    EXPECT_EQ(CCommChannel::Create(document)->RtsCts(), 0);
    EXPECT_EQ(channel->RtsCts(), 1) << "an existing channel keeps its option";
}

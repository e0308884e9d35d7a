// The poll thread's order on the line: queued requests first, in the order queued, each
// batch taken whole; status queries only in steps that executed nothing.
#include "comm/tag_registration.h"
#include "comm_fixture.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

namespace comm_testing {
namespace {

// A drive that answers every frame well and tells the test what it saw, from the poll
// thread; onFrame runs before the answer, so it can queue requests mid-batch.
class RecordingLink : public comm::CommLink {
public:
    int SendFrame(const uint8_t* frame, size_t length) override {
        const std::string text(reinterpret_cast<const char*>(frame), length);
        {
            std::lock_guard guard(lock_);
            frames_.push_back(text);
            last_ = text;
        }
        changed_.notify_all();
        if (onFrame) {
            onFrame(text);
        }
        return 0;
    }

    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t) override {
        std::string reply;
        {
            std::lock_guard guard(lock_);
            reply = last_;
        }
        reply[2] = 0x06;
        reply.resize(std::max<size_t>(reply.size(), count), '0');
        if (reply[0] == 'Q' && reply.substr(5, 2) == "03") {
            reply.replace(7, 4, "\x01\x00\x00\x00", 4); // status bytes
        }
        std::memcpy(answer, reply.data(), count);
        return 0;
    }

    // The first `count` frames, waiting for them at most a few seconds.
    std::vector<std::string> First(size_t count) {
        std::unique_lock guard(lock_);
        changed_.wait_for(guard, std::chrono::seconds(20), [&] { return frames_.size() >= count; });
        return std::vector<std::string>(frames_.begin(),
                                        frames_.begin() + std::min(count, frames_.size()));
    }

    std::function<void(const std::string&)> onFrame;

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<std::string> frames_;
    std::string last_;
};

class PollScheduleTest : public CommFixture {
protected:
    RecordingLink& AttachRecordingLink() {
        auto link = std::make_unique<RecordingLink>();
        RecordingLink& attached = *link;
        Channel().AttachLink(std::move(link));
        return attached;
    }
};

const std::string kQueryGroup0 = Request('Q', "0100");
const std::string kQueryGroup3 = Request('Q', "0103");

} // namespace

TEST_F(PollScheduleTest, AWriteQueuedMidBatchGoesOutRightAfterThatBatch) {
    AddStation("PUMP1", 1);
    const int32_t accel = comm::RegisterTag(Channel(), "X.PUMP1", "P10", 1, 0, 1);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP1", "D0", 1, 0, 2), 0);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP1", "D3", 1, 0, 3), 0);
    Channel().BuildPollMasks();
    RecordingLink& link = AttachRecordingLink();
    bool queued = false;
    link.onFrame = [&](const std::string& frame) {
        if (!queued && frame == kQueryGroup0) {
            queued = true; // the host writes while the first status batch runs
            CCommBlock* block = Channel().Block(static_cast<size_t>(accel) >> 16);
            Channel().QueueRequest(*block, 'P', 10, 125);
        }
    };
    Channel().StartStop(1);
    const auto frames = link.First(7);
    Channel().StartStop(0);
    EXPECT_EQ(frames,
              (std::vector<std::string>{kQueryGroup0, kQueryGroup3, Request('P', "01100125"),
                                        kQueryGroup0, kQueryGroup3, kQueryGroup0, kQueryGroup3}));
}

TEST_F(PollScheduleTest, StationsArePolledInBlockOrderAndADisabledOneIsSkipped) {
    CStationInfo& second = AddStation("PUMP2", 2);
    AddStation("PUMP1", 1);
    AddStation("PUMP3", 3);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP2", "D1", 1, 0, 1), 0);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP1", "D1", 1, 0, 2), 0);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP3", "D1", 1, 0, 3), 0);
    Channel().BuildPollMasks();
    second.m_enabled = 0;
    RecordingLink& link = AttachRecordingLink();
    Channel().StartStop(1);
    const auto frames = link.First(4);
    Channel().StartStop(0);
    EXPECT_EQ(frames, (std::vector<std::string>{Request('Q', "0101"), Request('Q', "0301"),
                                                Request('Q', "0101"), Request('Q', "0301")}));
}

TEST_F(PollScheduleTest, WithoutAnOpenPortStartDoesNothing) {
    AddStation("PUMP1", 1);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP1", "D0", 1, 0, 1), 0);
    Channel().StartStop(1);
    EXPECT_FALSE(Channel().IsRunning());
    EXPECT_EQ(Channel().Stop(), 0);
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(PollScheduleTest, StartClearsWhatWasLeftQueued) {
    AddStation("PUMP1", 1);
    const int32_t accel = comm::RegisterTag(Channel(), "X.PUMP1", "P10", 1, 0, 1);
    ASSERT_GE(comm::RegisterTag(Channel(), "X.PUMP1", "D0", 1, 0, 2), 0);
    Channel().BuildPollMasks();
    CCommBlock* block = Channel().Block(static_cast<size_t>(accel) >> 16);
    Channel().QueueRequest(*block, 'P', 10, 999); // left over from before the start
    RecordingLink& link = AttachRecordingLink();
    Channel().StartStop(1);
    const auto frames = link.First(2);
    Channel().StartStop(0);
    EXPECT_EQ(frames, (std::vector<std::string>{kQueryGroup0, kQueryGroup0}));
    EXPECT_EQ(LogTexts(), (std::vector<std::string>{Line(1, nullptr), Line(2, nullptr)}));
}

} // namespace comm_testing

// Transactions against the drive simulator, in memory: the frames this driver formats are
// the ones a drive understands, and its answers decode to the drive's words.
#include "comm_fixture.h"

#include "comm/comm_request.h"
#include "comm/tag_address.h"
#include "comm/tag_registration.h"
#include "sim/simulator.h"

#include <algorithm>
#include <span>

using comm_testing::CommFixture;
using comm_testing::Delivered;

namespace {

constexpr uint16_t kWordTag = 1;
constexpr uint16_t kDigitalTag = comm::kDigitalTagType;
constexpr uint32_t kReceiveLimitMs = 1000;

// The drives' side of the line: each frame sent is handed to the simulator, and its answer
// waits to be received. An answer later than the receive limit never arrives.
class SimulatorLink : public comm::CommLink {
public:
    explicit SimulatorLink(sim::Simulator& simulator) : simulator_(simulator) {}

    int SendFrame(const uint8_t* frame, size_t length) override {
        line_.clear();
        sim::Request request;
        if (sim::DecodeRequest(std::span<const uint8_t>(frame, length), request)) {
            const sim::Reply reply = simulator_.Handle(request);
            if (reply.extraDelayMs < kReceiveLimitMs) {
                line_ = reply.bytes;
            }
        }
        return 0;
    }

    int ReceiveFrame(uint8_t* answer, size_t count, uint8_t sync) override {
        const auto start = std::find(line_.begin(), line_.end(), sync);
        if (static_cast<size_t>(line_.end() - start) < count) {
            return 10;
        }
        std::copy_n(start, count, answer);
        return 0;
    }

private:
    sim::Simulator& simulator_;
    sim::Answer line_;
};

class SimulatorLinkTest : public CommFixture {
protected:
    SimulatorLinkTest() : simulator_({1}, 4800, [] { return 0u; }) {}

    void SetUp() override {
        CommFixture::SetUp();
        pump1_ = &AddStation("PUMP1", 1);
        absent_ = &AddStation("PUMP7", 7);
        Channel().AttachLink(std::make_unique<SimulatorLink>(simulator_));
    }

    CCommBlock& Bind(const char* device, const char* address, uint32_t tagId,
                     uint16_t tagType = kWordTag) {
        const int32_t handle = comm::RegisterTag(Channel(), device, address, tagType, 0, tagId);
        EXPECT_GE(handle, 0) << address;
        return *Channel().Block(static_cast<uint32_t>(handle) >> 16);
    }

    // A word of drive 1, as a number.
    double DriveWord(sim::Area area, int number) {
        uint16_t value = 0;
        EXPECT_EQ(simulator_.GetWord(1, area, number, value), sim::Outcome::Ok);
        return value;
    }

    sim::Simulator simulator_;
    CStationInfo* pump1_ = nullptr;
    CStationInfo* absent_ = nullptr;
};

} // namespace

TEST_F(SimulatorLinkTest, ParameterReadAndWriteReachTheDrive) {
    CCommBlock& parameters = Bind("PUMP1", "P3", 3);
    Bind("PUMP1", "P58", 58);
    ASSERT_EQ(simulator_.SetWord(1, sim::Area::Parameter, 3, 600), sim::Outcome::Ok);
    parameters.RangeRead(3, 1);
    parameters.RangeRead(58, 1);
    EXPECT_EQ(RunQueue(), 2);
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{3, 60.0}, {58, 1.0}}));

    Channel().QueueRequest(parameters, 'P', 3, 500);
    EXPECT_EQ(RunQueue(), 1);
    EXPECT_EQ(DriveWord(sim::Area::Parameter, 3), 500);
    EXPECT_EQ(TakeValueChanges(), (std::vector<Delivered>{{3, 50.0}}));
    EXPECT_TRUE(LogTexts().empty());
    EXPECT_EQ(pump1_->m_readRequests, 2);
    EXPECT_EQ(pump1_->m_writeRequests, 1);
}

TEST_F(SimulatorLinkTest, StatusPollDecodesTheDrivesMonitorWords) {
    CCommBlock& monitor = Bind("PUMP1", "D0", 100);
    Bind("PUMP1", "D3", 103);
    Bind("PUMP1", "D4", 104);
    Bind("PUMP1", "D6", 106);
    Channel().BuildPollMasks();
    // Run at 45.0 Hz, as a command write of D0 and D3 together would.
    Channel().QueueRequest(monitor, 'C', 1, 450);
    EXPECT_EQ(RunQueue(), 1);
    monitor.PollStep();
    EXPECT_EQ(RunQueue(), 2);
    const std::vector<Delivered> values = TakeValueChanges();
    EXPECT_EQ(values, (std::vector<Delivered>{{100, 45.0},
                                              {103, DriveWord(sim::Area::Monitor, 3)},
                                              {104, DriveWord(sim::Area::Monitor, 4)},
                                              {106, 0.0}}));
    EXPECT_EQ(monitor.CacheWord(0), 450);
    EXPECT_EQ(monitor.CacheWord(3), DriveWord(sim::Area::Monitor, 3));
    EXPECT_TRUE(LogTexts().empty());
}

TEST_F(SimulatorLinkTest, SpoiltAnswersAreReportedByTheirCause) {
    CCommBlock& parameters = Bind("PUMP1", "P3", 3);
    const std::pair<sim::FaultKind, int> faults[] = {
        {sim::FaultKind::BadByte1, 13},     {sim::FaultKind::Refused, 12},
        {sim::FaultKind::WrongStation, 16}, {sim::FaultKind::WrongParam, 11},
        {sim::FaultKind::BadDigits, 11},    {sim::FaultKind::Short, 10},
        {sim::FaultKind::NoiseBefore, 0},   {sim::FaultKind::Late, 10},
    };
    std::vector<std::string> expected;
    for (const auto& [fault, code] : faults) {
        ASSERT_TRUE(simulator_.SetFault(1, fault, 1));
        parameters.RangeRead(3, 1);
        RunQueue();
        if (code != 0) {
            expected.push_back(Line(code, "PUMP1"));
        }
        // Keep the run short of a lost link, so that every cause is logged.
        pump1_->m_consecutiveFailures = 0;
    }
    EXPECT_EQ(LogTexts(), expected);
    EXPECT_EQ(pump1_->m_readFailures, 7);
}

TEST_F(SimulatorLinkTest, AbsentDriveIsDeclaredLostOnce) {
    CCommBlock& monitor = Bind("PUMP7", "D1", 1);
    Channel().BuildPollMasks();
    for (int visit = 0; visit < 7; ++visit) {
        monitor.PollStep();
        RunQueue();
    }
    EXPECT_EQ(LogTexts(),
              (std::vector<std::string>{Line(10, "PUMP7"), Line(10, "PUMP7"), Line(10, "PUMP7"),
                                        Line(10, "PUMP7"), Line(10, "PUMP7"), Line(14, "PUMP7")}));
    EXPECT_EQ(absent_->m_readFailures, 7);
    EXPECT_EQ(absent_->LinkStatus(), 1);
    EXPECT_TRUE(TakeValueChanges().empty());
}

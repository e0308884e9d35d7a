// Calls out of order, made while the module polls simulated drives: what the poll thread
// reads (tags, poll masks) is changed only while communication is stopped; otherwise the
// call is refused with -1. Run under TSan, the hammering cases also prove that no change
// races the poll thread.
#include "host/vemor_sub.h"
#include "line_configuration.h"
#include "module_suite.h"
#include "simulated_line.h"
#include "test_files.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

using namespace testing_support;

namespace {

constexpr uint16_t kAnalog = 1;
constexpr int kFailed = -1;
constexpr int kToggles = 40;

class EntryOrderTest : public ModuleSuite {
protected:
    void SetUp() override {
        line_ = std::make_unique<SimulatedLine>(std::vector<int>{1, 2});
        line_->MapAs(1);
        host_->Clear();
        const std::string path =
            WriteLineConfiguration(folder_, "line.cfg", {{"PUMP1", 1}, {"PUMP2", 2}});
        ASSERT_FALSE(path.empty());
        instance_ = module_->Open(path.c_str());
        ASSERT_GE(instance_, 0);
        ASSERT_EQ(module_->InitComm(instance_), 0);
    }

    void TearDown() override {
        module_->Stop(instance_);
        line_->MapNowhere(1);
        module_->InitComm(instance_); // closes the port
        line_.reset();
    }

    int32_t Tag(uint32_t id, const char* device, const char* address) {
        return module_->RegisterTag(instance_, device, address, kAnalog, 0, id);
    }

    void Start() { module_->Enable(instance_, nullptr, 1); }

    bool ValueArrives(uint32_t id) {
        return WaitFor(
            [&] {
                for (const auto& value : host_->TagValues()) {
                    if (value.tagId == id) {
                        return true;
                    }
                }
                return false;
            },
            15000);
    }

    TempFolder folder_;
    std::unique_ptr<SimulatedLine> line_;
    int32_t instance_ = -1;
};

} // namespace

TEST_F(EntryOrderTest, SetUpCallsAreRefusedWhileCommunicationRuns) {
    ASSERT_EQ(Tag(1, "X.PUMP1", "D0"), 0);
    ASSERT_EQ(module_->BuildPollMasks(instance_), 0);
    Start();
    ASSERT_TRUE(ValueArrives(1));
    EXPECT_EQ(Tag(2, "X.PUMP2", "D1"), kFailed);
    EXPECT_EQ(module_->BuildPollMasks(instance_), 0) << "answered, and nothing changed";
    EXPECT_EQ(module_->Stop(instance_), 0);
    // Stopped, the same calls are taken, and the next run polls what they set up.
    EXPECT_EQ(Tag(2, "X.PUMP2", "D1"), 1 << 16) << "the refused call filed nothing";
    EXPECT_EQ(module_->BuildPollMasks(instance_), 0);
    Start();
    EXPECT_TRUE(ValueArrives(2));
}

// One host thread registers tags and rebuilds the poll masks over and over while another
// starts and stops communication and a third writes and reads statistics. Every answer is
// a refusal or a sound handle, no handle is given twice, and what was set up is polled.
TEST_F(EntryOrderTest, SetUpHammeredWhilePollingStartsAndStops) {
    ASSERT_EQ(Tag(1, "X.PUMP1", "D0"), 0);
    const int32_t accel = Tag(2, "X.PUMP1", "P10");
    ASSERT_GE(accel, 0);
    ASSERT_EQ(module_->BuildPollMasks(instance_), 0);
    Start();
    ASSERT_TRUE(ValueArrives(1));

    // The control thread starts and stops a fixed number of times; the others keep going
    // until it is done. The short sleeps only let the threads take turns.
    std::atomic<bool> done{false};
    std::vector<int32_t> handles;
    std::thread control([&] {
        for (int round = 0; round < kToggles; ++round) {
            module_->Enable(instance_, nullptr, round % 2 == 0 ? 0 : 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
        }
        done = true;
    });
    std::thread setUp([&] {
        for (uint32_t id = 100; !done; ++id) {
            const int32_t handle = Tag(id, id % 2 ? "X.PUMP2" : "X.PUMP1", "D1");
            if (handle != kFailed) {
                handles.push_back(handle);
            }
            const int32_t masks = module_->BuildPollMasks(instance_);
            EXPECT_TRUE(masks == 0 || masks == kFailed) << masks;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    std::thread writer([&] {
        CTagVal value(3.5);
        int32_t counters[4] = {};
        while (!done) {
            EXPECT_EQ(module_->WriteTag(instance_, static_cast<uint32_t>(accel), &value), 0);
            module_->GetStatistics(instance_, "PUMP1", counters);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    setUp.join();
    control.join();
    writer.join();

    const std::set<int32_t> distinct(handles.begin(), handles.end());
    EXPECT_EQ(distinct.size(), handles.size()) << "no handle given twice";
    // Blocks: 0 PUMP1's D (D0, then D1), 1 PUMP1's P, 2 PUMP2's D once a PUMP2 tag is filed.
    int32_t pump2Bindings = 0;
    for (const int32_t handle : handles) {
        EXPECT_TRUE(handle >> 16 == 0 || handle >> 16 == 2) << handle;
        pump2Bindings += handle >> 16 == 2 ? 1 : 0;
    }
    module_->Stop(instance_);
    EXPECT_EQ(Tag(999, "X.PUMP2", "D2"), (2 << 16) | pump2Bindings) << "nothing half filed";
    ASSERT_EQ(module_->BuildPollMasks(instance_), 0);
    host_->Clear();
    Start();
    EXPECT_TRUE(ValueArrives(999));
}

// The Windows module end to end: loaded by a Windows host process under Wine, polling and
// writing the native simulator's drives through Wine's COM7. Run under drive_line_peer.py,
// which sets PUMP1's D0 to 456 and P11 to 77 before this starts.
#include "config/vfda_drv_doc.h"
#include "driver_module.h"
#include "host/vemor_sub.h"
#include "host_libraries.h"
#include "line_configuration.h"
#include "module_line_fixture.h"
#include "test_files.h"
#include "wait_for.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <thread>

using namespace testing_support;

namespace {

bool WaitFor(const std::function<bool()>& condition) {
    return testing_support::WaitFor(condition, 20000, 10);
}

class WineRuntimeTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_.Attach();
        ASSERT_TRUE(module_.Load());
        CVfdaDrvDoc document;
        DescribeLine(document, folder_.File("line.cfg"), {{"PUMP1", 1}, {"PUMP2", 2}},
                     6); // COM7
        ASSERT_TRUE(document.SaveFile());
        instance_ = module_.Open(document.Path().c_str());
        ASSERT_GE(instance_, 0);
    }

    void TearDown() override {
        module_.Stop(instance_);
        if (HasFailure()) { // the event log says why, in CP949
            for (const auto& line : host_.EventLog()) {
                std::printf("event log: %s\n", line.text.c_str());
            }
        }
    }

    std::optional<double> Latest(uint32_t id) const { return LatestValue(host_, id); }

    bool WaitForValue(uint32_t id, double expected) {
        return testing_support::WaitForValue(host_, id, expected, 20000, 10);
    }

    hostkit::HostLibraries host_;
    hostkit::DriverModule module_;
    TempFolder folder_;
    int32_t instance_ = -1;
};

} // namespace

TEST_F(WineRuntimeTest, PollsWritesAndCountsThroughAWineComPort) {
    ASSERT_EQ(module_.InitComm(instance_), 0);
    ASSERT_EQ(module_.RegisterTag(instance_, "X.PUMP1", "D0", 1, 0, 1), 0);
    const int32_t accel = module_.RegisterTag(instance_, "X.PUMP1", "P10", 1, 0, 2);
    const int32_t first = module_.RegisterTag(instance_, "X.PUMP1", "C1", 1, 0, 3);
    const int32_t count = module_.RegisterTag(instance_, "X.PUMP1", "C2", 1, 0, 4);
    const int32_t read = module_.RegisterTag(instance_, "X.PUMP1", "C0", 1, 0, 5);
    ASSERT_GE(module_.RegisterTag(instance_, "X.PUMP1", "P11", 1, 0, 6), 0);
    ASSERT_GE(module_.RegisterTag(instance_, "X.PUMP2", "D1", 1, 0, 7), 0);
    module_.BuildPollMasks(instance_);
    module_.Enable(instance_, nullptr, 1);

    EXPECT_TRUE(WaitForValue(1, 45.6)) << "the status poll scales D0";
    EXPECT_TRUE(WaitFor([&] { return Latest(7).has_value(); })) << "the second station too";
    CTagVal accelValue(12.5);
    EXPECT_EQ(module_.WriteTag(instance_, static_cast<uint32_t>(accel), &accelValue), 0);
    EXPECT_TRUE(WaitForValue(2, 12.5)) << "the drive acknowledges the written parameter";
    CTagVal eleven(11);
    CTagVal one(1);
    CTagVal any(0);
    module_.WriteTag(instance_, static_cast<uint32_t>(first), &eleven);
    module_.WriteTag(instance_, static_cast<uint32_t>(count), &one);
    module_.WriteTag(instance_, static_cast<uint32_t>(read), &any);
    EXPECT_TRUE(WaitForValue(6, 7.7)) << "C0 reads P11 from the drive";

    int32_t counters[4] = {};
    EXPECT_EQ(module_.GetStatistics(instance_, "PUMP1", counters), 0);
    EXPECT_GE(counters[0], 2);
    EXPECT_EQ(counters[1], 0);
    EXPECT_EQ(counters[2], 1);
    EXPECT_EQ(counters[3], 0);
    EXPECT_EQ(module_.Stop(instance_), 0);
    EXPECT_EQ(module_.GetStatistics(instance_, nullptr, counters), -1);
}

TEST_F(WineRuntimeTest, AnUnmappedPortIsReportedWithItsLongName) {
    // The first test's instance keeps COM7; this one asks for COM12, which no link names.
    CVfdaDrvDoc document;
    document.SerialPort().m_portIndex = 11;
    document.SetPath(folder_.File("other.cfg"));
    ASSERT_TRUE(document.SaveFile());
    const int32_t other = module_.Open(document.Path().c_str());
    ASSERT_GE(other, 0);
    EXPECT_EQ(module_.InitComm(other), -4);
    bool reported = false;
    for (const auto& line : host_.EventLog()) {
        reported = reported || line.text.find("[\\\\.\\COM12]") != std::string::npos;
    }
    EXPECT_TRUE(reported);
}

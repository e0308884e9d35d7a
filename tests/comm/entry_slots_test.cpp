// The entry slots that set up communication: DrvInitComm creates the channel and resets the
// stations, DrvRegisterTag and DrvBuildPollMasks reach it; without a channel they answer as
// for a bad index.
#include "comm/comm_channel.h"
#include "config/vfda_drv_doc.h"
#include "driver/driver_instances.h"
#include "driver/entry_functions.h"
#include "host_libraries.h"
#include "host_link/host_binding.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int32_t kMissingPortIndex = 35; // COM36, the last a configuration can name

class EntrySlotsTest : public ::testing::Test {
protected:
    void SetUp() override {
        hosts_.Attach();
        driver::HostBinding::Instance().BindRunTimeLibraries();
        driver::FillEntryTable(table_);
        auto document = std::make_unique<CVfdaDrvDoc>();
        auto station = std::make_unique<CStationInfo>();
        station->m_name = "PUMP1";
        station->m_stationNumber = 1;
        station_ = station.get();
        document->AddStation(std::move(station));
        // A port no machine has: these cases never touch a real device, and the channel is
        // made whether or not its port opens.
        document->SerialPort().m_portIndex = kMissingPortIndex;
        document_ = document.get();
        instance_ = driver::DriverInstances::Instance().Add(std::move(document));
    }
    void TearDown() override { driver::HostBinding::Instance().ReleaseAll(); }

    int32_t InitComm(int32_t instance) {
        return drv::SlotAs<drv::InstanceFn>(table_, drv::kInitComm)(instance);
    }
    int32_t BuildPollMasks(int32_t instance) {
        return drv::SlotAs<drv::InstanceFn>(table_, drv::kBuildPollMasks)(instance);
    }
    int32_t RegisterTag(int32_t instance, const char* device, const char* address) {
        return drv::SlotAs<drv::RegisterTagFn>(table_, drv::kRegisterTag)(instance, device, address,
                                                                          1, 0, 1);
    }

    hostkit::HostLibraries hosts_;
    drv::Entry table_[drv::kSlotCount] = {};
    CVfdaDrvDoc* document_ = nullptr;
    CStationInfo* station_ = nullptr;
    int32_t instance_ = -1;
};

} // namespace

TEST_F(EntrySlotsTest, WithoutAChannelTheSlotsAnswerAsForABadIndex) {
    EXPECT_EQ(RegisterTag(instance_, "PUMP1", "D0"), -1);
    EXPECT_EQ(BuildPollMasks(instance_), 0);
    EXPECT_EQ(document_->Channel(), nullptr);
    EXPECT_TRUE(hosts_.EventLog().empty());
}

TEST_F(EntrySlotsTest, InitCommCreatesTheChannelAndResetsTheStations) {
    station_->m_consecutiveFailures = 5;
    station_->m_readRequests = 9;
    EXPECT_EQ(InitComm(instance_), -4); // the port cannot be opened
    ASSERT_NE(document_->Channel(), nullptr);
    EXPECT_EQ(&document_->Channel()->Owner(), document_);
    EXPECT_EQ(station_->m_enabled, 1);
    EXPECT_EQ(station_->m_consecutiveFailures, 0);
    EXPECT_EQ(station_->m_readRequests, 0);

    EXPECT_EQ(RegisterTag(instance_, "LINE.PUMP1", "D0"), 0);
    EXPECT_EQ(RegisterTag(instance_, "PUMP1", "P1"), 0x10000);
    EXPECT_EQ(BuildPollMasks(instance_), 0);
    EXPECT_EQ(document_->Channel()->Block(0)->PollMask(), 0x0001);
}

TEST_F(EntrySlotsTest, SecondInitCommStartsAFreshChannel) {
    InitComm(instance_);
    RegisterTag(instance_, "PUMP1", "D0");
    InitComm(instance_);
    EXPECT_EQ(document_->Channel()->BlockCount(), 0u);
    EXPECT_EQ(RegisterTag(instance_, "PUMP1", "D0"), 0);
}

// The module as a host loads it: the table's constant slots, the answers to a bad instance
// index, and opening instances. Its one export is checked in module_exports_test.cpp.
#include "host/vemor_sub.h"
#include "module_suite.h"
#include "test_files.h"
#include "toolkit/ui/headless/headless_window_system.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace testing_support;

namespace {

// One module and one set of host libraries for the whole process, as in a real host.
class ModuleTest : public ModuleSuite {
protected:
    void SetUp() override { host_->Clear(); }

    // Writes a configuration with one station, P1 number 7, and opens it.
    int32_t OpenSample() {
        const std::string path = folder_.File("sample.cfg");
        Bytes bytes;
        Append(bytes, "VMHD");
        AppendU32(bytes, 3);
        Append(bytes, {11});
        Append(bytes, "VfdaDrv.dll");
        Append(bytes, {0x01, 0x00, 0x05});
        Append(bytes, "Pump1");
        for (const uint32_t value : {0u, 2u, 2u, 1u, 0u, 0u}) {
            AppendU32(bytes, value);
        }
        Append(bytes, {0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x0C, 0x00});
        Append(bytes, "CStationInfo");
        Append(bytes, {0x05});
        Append(bytes, "Pump1");
        Append(bytes, {0x06});
        Append(bytes, "line A");
        AppendU32(bytes, 7);
        AppendU32(bytes, 2);
        WriteBytes(path, bytes);
        return module_->Open(path.c_str());
    }

    TempFolder folder_;
};

} // namespace

TEST_F(ModuleTest, ConstantSlots) {
    const drv::Entry* table = module_->Table();
    EXPECT_EQ(module_->GetVersion(), 65536);
    const char* name = module_->GetName();
    EXPECT_STREQ(name, "DELTA VFD-A");
    EXPECT_EQ(module_->GetName(), name) << "the same pointer on every call";
    EXPECT_EQ(drv::SlotAs<drv::AnswerFn>(table, drv::kAnswerZero)(), 0);
    EXPECT_EQ(drv::SlotAs<drv::AnswerFn>(table, drv::kAnswerOne)(), 1);
    drv::SlotAs<drv::NothingFn>(table, drv::kNoOperation10)();
    drv::SlotAs<drv::NothingFn>(table, drv::kNoOperation11)();
    for (int slot = 0; slot < drv::kUsedSlots; ++slot) {
        EXPECT_NE(table[slot], nullptr) << "slot " << slot;
    }
    for (int slot = drv::kUsedSlots; slot < drv::kSlotCount; ++slot) {
        EXPECT_EQ(table[slot], nullptr) << "slot " << slot;
    }
}

TEST_F(ModuleTest, BadInstanceIndexesGetTheFixedAnswers) {
    ASSERT_GE(OpenSample(), 0);
    const int32_t count = OpenSample() + 1;
    for (const int32_t bad : {-1, count, 1000000}) {
        EXPECT_EQ(module_->InitComm(bad), 0);
        EXPECT_EQ(module_->BuildPollMasks(bad), 0);
        EXPECT_EQ(module_->Stop(bad), 0);
        EXPECT_EQ(module_->RegisterTag(bad, "X.Pump1", "D0", 1, 0, 1), -1);
        CTagVal value(1.0);
        EXPECT_EQ(module_->WriteTag(bad, 0, &value), 0);
        int32_t counters[4] = {11, 12, 13, 14};
        EXPECT_EQ(module_->GetStatistics(bad, nullptr, counters), -1);
        EXPECT_EQ(module_->GetStatistics(bad, "Pump1", counters), -1);
        EXPECT_EQ(counters[0], 11);
        EXPECT_EQ(counters[3], 14);
        module_->Enable(bad, nullptr, 1);
        module_->Enable(bad, "Pump1", 0);
        module_->ResetStatistics(bad, nullptr);
        std::string number = "unchanged";
        std::string description = "unchanged";
        module_->GetStationInfo(bad, "Pump1", number, description);
        EXPECT_EQ(number, "unchanged");
        EXPECT_EQ(description, "unchanged");
    }
    EXPECT_TRUE(host_->EventLog().empty());
}

TEST_F(ModuleTest, OpenNumbersInstancesAndAFailureTakesNoIndex) {
    const int32_t first = OpenSample();
    ASSERT_GE(first, 0);
    const std::string missing = folder_.File("missing.cfg");
    EXPECT_EQ(module_->Open(missing.c_str()), -1);
    EXPECT_EQ(OpenSample(), first + 1);

    const auto log = host_->EventLog();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].flags, 0x100u);
    // "[DELTA VFD-A] 지정된 파일[path]을 열 수 없습니다."
    EXPECT_EQ(log[0].text, "[DELTA VFD-A] \xC1\xF6\xC1\xA4\xB5\xC8 \xC6\xC4\xC0\xCF[" + missing +
                               "]\xC0\xBB \xBF\xAD \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9.");
}

TEST_F(ModuleTest, StationInfoAndEnableFindStationsIgnoringCase) {
    const int32_t instance = OpenSample();
    ASSERT_GE(instance, 0);
    std::string number;
    std::string description;
    module_->GetStationInfo(instance, "PUMP1", number, description);
    EXPECT_EQ(number, "07");
    EXPECT_EQ(description, "line A");

    std::string untouched = "as before";
    module_->GetStationInfo(instance, "Pump2", untouched, untouched);
    module_->GetStationInfo(instance, nullptr, untouched, untouched);
    EXPECT_EQ(untouched, "as before");
    module_->Enable(instance, "no such station", 0);
    module_->ResetStatistics(instance, "no such station");
    module_->ResetStatistics(instance, nullptr);
}

// The user leaves the editor at once (the headless window system's script is empty).
TEST_F(ModuleTest, EditConfigOnANewPathShowsNothingAndReportsNoSave) {
    ui::HeadlessWindowSystem user;
    ui::WindowSystem* previous = ui::SetWindowSystem(&user);
    const std::string path = folder_.File("new.cfg");
    EXPECT_EQ(module_->EditConfig(path.c_str()), 0);
    ui::SetWindowSystem(previous);
    EXPECT_TRUE(user.RanOutOfSteps()) << "the editor was shown";
    EXPECT_TRUE(user.MessageBoxes().empty());
    EXPECT_TRUE(host_->MessageBoxes().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

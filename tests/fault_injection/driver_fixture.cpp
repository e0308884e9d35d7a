#include "driver_fixture.h"

#include "comm/comm_channel.h"
#include "config/vfda_drv_doc.h"
#include "driver/driver_instances.h"
#include "driver/entry_functions.h"
#include "host/vemor_sub.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"
#include "wait_for.h"

#include <chrono>
#include <thread>

namespace fault_testing {

hostkit::HostLibraries* DriverFixture::host_ = nullptr;
drv::Entry DriverFixture::table_[drv::kSlotCount] = {};

bool WaitFor(const std::function<bool()>& condition, int milliseconds) {
    return testing_support::WaitFor(condition, milliseconds);
}

void DriverFixture::SetUpTestSuite() {
    if (host_ == nullptr) {
        host_ = new hostkit::HostLibraries; // kept: the binding outlives every test
        host_->Attach();
        driver::HostBinding::Instance().BindRunTimeLibraries();
        driver::FillEntryTable(table_);
    }
}

void DriverFixture::SetUp() {
    ASSERT_TRUE(host_->HasEventLog() && host_->HasTagDatabase());
    line_ = std::make_unique<FaultLine>(std::vector<int>{1, 2}, 1);
    host_->Clear();
}

void DriverFixture::TearDown() {
    if (CVfdaDrvDoc* document = driver::DriverInstances::Instance().Find(instance_)) {
        Stop();
        document->SetChannel(OwnedChannel(nullptr, nullptr)); // closes the port
    }
    line_.reset();
}

int32_t DriverFixture::OpenInstance(const std::vector<std::pair<std::string, int>>& stations) {
    CVfdaDrvDoc document;
    for (const auto& [name, number] : stations) {
        auto station = std::make_unique<CStationInfo>();
        station->m_name = name;
        station->m_stationNumber = number;
        document.AddStation(std::move(station));
    }
    document.SetPath(folder_.File("line.cfg"));
    EXPECT_TRUE(document.SaveFile());
    instance_ = Slot<drv::OpenFn>(drv::kOpen)(document.Path().c_str());
    return instance_;
}

int32_t DriverFixture::InitComm() {
    return Slot<drv::InstanceFn>(drv::kInitComm)(instance_);
}

int32_t DriverFixture::Tag(uint32_t id, const std::string& name, const char* device,
                           const char* address, uint16_t type) {
    host_->SetTagName(id, name);
    return Slot<drv::RegisterTagFn>(drv::kRegisterTag)(instance_, device, address, type, 0, id);
}

void DriverFixture::BuildPollMasks() {
    Slot<drv::InstanceFn>(drv::kBuildPollMasks)(instance_);
}

void DriverFixture::Start() {
    Slot<drv::EnableFn>(drv::kEnable)(instance_, nullptr, 1);
}

int32_t DriverFixture::Stop() {
    return Slot<drv::InstanceFn>(drv::kStop)(instance_);
}

int32_t DriverFixture::Write(int32_t handle, double value) {
    CTagVal tag(value);
    return Slot<drv::WriteTagFn>(drv::kWriteTag)(instance_, static_cast<uint32_t>(handle), &tag);
}

Statistics DriverFixture::Stats(const char* station) const {
    Statistics s;
    s.status = Slot<drv::GetStatisticsFn>(drv::kGetStatistics)(
        instance_, station, &s.reads, &s.readFailures, &s.writes, &s.writeFailures);
    return s;
}

CStationInfo& DriverFixture::Station(const char* name) const {
    CStationInfo* station = driver::DriverInstances::Instance().Find(instance_)->FindStation(name);
    EXPECT_NE(station, nullptr) << name;
    return *station;
}

std::optional<double> DriverFixture::Latest(uint32_t id) const {
    std::optional<double> latest;
    for (const auto& update : host_->TagValues()) {
        if (update.tagId == id) {
            latest = update.value;
        }
    }
    return latest;
}

std::vector<std::string> DriverFixture::LogTexts() const {
    std::vector<std::string> texts;
    for (const auto& line : host_->EventLog()) {
        texts.push_back(line.text);
    }
    return texts;
}

std::vector<std::string> DriverFixture::LogLinesWith(const std::string& fragment) const {
    std::vector<std::string> lines;
    for (const std::string& text : LogTexts()) {
        if (text.find(fragment) != std::string::npos) {
            lines.push_back(text);
        }
    }
    return lines;
}

size_t DriverFixture::LogCount(const std::string& text) const {
    size_t count = 0;
    for (const std::string& line : LogTexts()) {
        count += line == text ? 1 : 0;
    }
    return count;
}

std::string DriverFixture::Line(int32_t message, const char* station) {
    return driver::FormatLogLine(message, station, nullptr);
}

} // namespace fault_testing

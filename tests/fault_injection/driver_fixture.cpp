#include "driver_fixture.h"

#include "comm/comm_channel.h"
#include "config/vfda_drv_doc.h"
#include "driver/driver_instances.h"
#include "driver/entry_functions.h"
#include "host/vemor_sub.h"
#include "host_link/host_binding.h"
#include "host_link/message_log.h"
#include "line_configuration.h"
#include "wait_for.h"

#include <algorithm>
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
    line_ = std::make_unique<testing_support::SimulatedLine>(std::vector<int>{1, 2});
    line_->MapAs(1);
    host_->Clear();
}

void DriverFixture::TearDown() {
    if (CVfdaDrvDoc* document = driver::DriverInstances::Instance().Find(instance_)) {
        Stop();
        document->SetChannel(OwnedChannel(nullptr, nullptr)); // closes the port
    }
    line_.reset();
}

int32_t DriverFixture::OpenInstance(const std::vector<testing_support::StationEntry>& stations) {
    CVfdaDrvDoc document;
    testing_support::DescribeLine(document, folder_.File("line.cfg"), stations);
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
    return testing_support::LatestValue(*host_, id);
}

std::vector<std::string> DriverFixture::LogTexts() const {
    return testing_support::EventLogTexts(*host_);
}

std::vector<std::string> DriverFixture::LogLinesWith(const std::string& fragment) const {
    return testing_support::LinesWith(LogTexts(), fragment);
}

size_t DriverFixture::LogCount(const std::string& text) const {
    const std::vector<std::string> texts = LogTexts();
    return static_cast<size_t>(std::count(texts.begin(), texts.end(), text));
}

std::string DriverFixture::Line(int32_t message, const char* station) {
    return driver::FormatLogLine(message, station, nullptr);
}

} // namespace fault_testing

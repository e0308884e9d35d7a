// The driver as a host runs it, in this process: the entry table, the host's stand-in
// libraries bound as the module binds them, a configuration of two drives (PUMP1 at
// station 1, PUMP2 at 2) on COM1, and a line of simulated drives there that faults can be
// injected into and that can be pulled out. The station records are reachable, for what no
// entry point reports.
#pragma once

#include "config/station_info.h"
#include "driver/entry_table.h"
#include "host_libraries.h"
#include "line_configuration.h"
#include "module_line_fixture.h"
#include "simulated_line.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace fault_testing {

using testing_support::kAnalog;
using testing_support::kDigital;

// Waits, polling, for the condition; generous, since only counts are asserted.
bool WaitFor(const std::function<bool()>& condition, int milliseconds = 30000);

struct Statistics {
    int32_t status = 0;
    int32_t reads = 0;
    int32_t readFailures = 0;
    int32_t writes = 0;
    int32_t writeFailures = 0;
};

class DriverFixture : public ::testing::Test {
protected:
    static void SetUpTestSuite();

    void SetUp() override;
    void TearDown() override;

    // Writes the configuration (the stations given, or PUMP1 and PUMP2) and opens it.
    int32_t OpenInstance(const std::vector<testing_support::StationEntry>& stations = {
                             {"PUMP1", 1}, {"PUMP2", 2}});
    int32_t InitComm();
    int32_t Tag(uint32_t id, const std::string& name, const char* device, const char* address,
                uint16_t type = kAnalog);
    void BuildPollMasks();
    void Start();
    int32_t Stop();
    int32_t Write(int32_t handle, double value);
    Statistics Stats(const char* station) const;
    CStationInfo& Station(const char* name) const;

    // The latest value the tag database received for the tag, if any.
    std::optional<double> Latest(uint32_t id) const;
    std::vector<std::string> LogTexts() const;
    // The log lines that contain the fragment.
    std::vector<std::string> LogLinesWith(const std::string& fragment) const;
    size_t LogCount(const std::string& text) const;
    static std::string Line(int32_t message, const char* station);

    template <typename Fn> Fn Slot(drv::Slot slot) const { return drv::SlotAs<Fn>(table_, slot); }

    static hostkit::HostLibraries* host_;
    static drv::Entry table_[drv::kSlotCount];
    testing_support::TempFolder folder_;
    std::unique_ptr<testing_support::SimulatedLine> line_;
    int32_t instance_ = -1;
};

} // namespace fault_testing

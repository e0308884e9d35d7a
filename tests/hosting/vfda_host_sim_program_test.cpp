// vfda-host restore against drives that vfda-sim's command line set up: a parameter that
// refuses writes is named as refused, a running drive is left alone.
#include "json_lines.h"
#include "sim/parameter_table.h"
#include "sim_program_line.h"

#include <sstream>

using testing_support::EventsNamed;
using testing_support::JsonValue;
using testing_support::RunProgram;
using testing_support::SimProgramLine;

namespace {

// A backup of station 1 as it leaves the factory on a 4800 baud line, with the changes asked.
std::string FactoryBackup(const std::map<int, uint16_t>& changes) {
    std::ostringstream text;
    text << R"({"format":"vfda-parameters/1","station":"PUMP1","number":1,"model":0,)"
         << R"("baud":4800,"read_at":"2026-12-08T15:00:00Z","parameters":[)";
    for (int p = 0; p <= sim::kLastParameter; ++p) {
        uint16_t raw = sim::Parameter(p).factoryDefault;
        raw = p == sim::param::kStationAddress ? 1 : p == sim::param::kLineSpeed ? 2 : raw;
        if (const auto changed = changes.find(p); changed != changes.end()) {
            raw = changed->second;
        }
        const bool scaled = sim::HasOneDecimal(sim::Parameter(p));
        text << (p > 0 ? "," : "") << R"({"parameter":)" << p << R"(,"raw":)" << raw
             << R"(,"value":)" << (scaled ? raw / 10.0 : raw) << "}";
    }
    text << "]}";
    return text.str();
}

class SimProgramRestoreTest : public ::testing::Test {
protected:
    testing_support::ProgramResult Restore(const SimProgramLine& line) {
        SimProgramLine::Configure(config_, {{"PUMP1", 1}});
        testing_support::WriteText(file_, FactoryBackup({{10, 75}, {11, 250}}));
        return RunProgram(SimProgramLine::Host(),
                          {"restore", config_, file_, "--json", "--port", "COM3=" + line.Path()});
    }

    testing_support::TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::string file_ = folder_.File("pump1.json");
};

TEST_F(SimProgramRestoreTest, AParameterTheDriveKeepsReadOnlyIsNamedRefused) {
    SimProgramLine line({"--stations", "1", "--read-only", "10"});
    ASSERT_TRUE(line.Ready());
    const auto restored = Restore(line);
    EXPECT_EQ(restored.exitCode, 3) << restored.out << restored.err;
    const std::vector<JsonValue> written = EventsNamed(restored.out, "written");
    ASSERT_EQ(written.size(), 2u) << restored.out;
    EXPECT_EQ(written[0].Find("address")->text, "P10");
    EXPECT_FALSE(written[0].Find("ok")->boolean);
    EXPECT_EQ(written[1].Find("address")->text, "P11");
    EXPECT_TRUE(written[1].Find("ok")->boolean);
    const std::vector<JsonValue> remaining = EventsNamed(restored.out, "difference");
    ASSERT_EQ(remaining.size(), 1u) << restored.out;
    EXPECT_EQ(remaining[0].Find("parameter")->number, 10);
    EXPECT_EQ(remaining[0].Find("reason")->text, "refused");
    EXPECT_EQ(remaining[0].Find("drive")->number, 10);
}

TEST_F(SimProgramRestoreTest, ARunningDriveGetsNothingWritten) {
    SimProgramLine line({"--stations", "1", "--running", "1"});
    ASSERT_TRUE(line.Ready());
    const auto restored = Restore(line);
    EXPECT_EQ(restored.exitCode, 3) << restored.out << restored.err;
    EXPECT_TRUE(EventsNamed(restored.out, "written").empty()) << restored.out;
}

} // namespace

// vfda-host monitor on the tap of vfda-sim's line while vfda-host run polls it through the
// module: the monitor hears the frames the module traced, byte for byte, and decodes them to
// the same values and the same failures.
#include "json_lines.h"
#include "sim_program_line.h"

#include <chrono>
#include <fstream>
#include <thread>

using namespace testing_support;

namespace {

// The frames of a trace, consecutive skipped bytes taken as one run (the module and the
// monitor read them in different pieces).
std::vector<std::string> Frames(const std::string& out) {
    std::vector<std::string> frames;
    for (const JsonValue& frame : EventsNamed(out, "frame")) {
        const std::string direction = frame.Find("direction")->text;
        const std::string hex = frame.Find("hex")->text;
        if (direction == "skipped" && !frames.empty() && frames.back().rfind("skipped ", 0) == 0) {
            frames.back() += " " + hex;
        } else {
            frames.push_back(direction + " " + hex);
        }
    }
    return frames;
}

// The event whose "station" is the number (the monitor's) or the name (the run's).
const JsonValue* OfStation(const std::vector<JsonValue>& events, int number) {
    for (const JsonValue& event : events) {
        const JsonValue* station = event.Find("station");
        if (station->kind == JsonValue::Kind::Number && station->number == number) {
            return &event;
        }
    }
    return nullptr;
}

const JsonValue* OfStation(const std::vector<JsonValue>& events, const std::string& name) {
    for (const JsonValue& event : events) {
        const JsonValue* station = event.Find("station");
        if (station->kind == JsonValue::Kind::String && station->text == name) {
            return &event;
        }
    }
    return nullptr;
}

class VfdaHostMonitorTest : public ::testing::Test {
protected:
    void SetUp() override {
        SimProgramLine::Configure(config_, {{"PUMP1", 1}, {"PUMP2", 2}});
        WriteText(tags_, "name,type,device,address\n"
                         "FREQ1,analog,PUMP1,D0\n"
                         "ACCEL1,analog,PUMP1,P10\n"
                         "STATUS2,analog,PUMP2,D3\n");
    }

    // Runs the module over the line for a few seconds while the monitor listens on the tap;
    // the run's and the monitor's output.
    std::pair<std::string, std::string> RunAndMonitor(const SimProgramLine& line) {
        HostProcess monitor(SimProgramLine::Host(), {"monitor", "--port", "COM4=" + line.TapPath(),
                                                     "--json", "--trace", "--csv", csv_});
        EXPECT_TRUE(monitor.WaitForLine([](const std::string& l) {
            return IsEvent(l, "listen", {{"baud", "4800"}});
        }));
        const ProgramResult run = RunProgram(
            SimProgramLine::Host(), {"run", config_, "--tags", tags_, "--port",
                                     "COM3=" + line.Path(), "--json", "--trace", "--seconds", "3"});
        EXPECT_EQ(run.exitCode, 0) << run.err;
        // The tap hands on what it heard at once; wait, bounded, until the monitor has it all.
        const size_t heard = EventsNamed(run.out, "frame").size();
        for (int i = 0; i < 100 && EventsNamed(monitor.AllOutput(), "frame").size() < heard; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        monitor.Interrupt();
        EXPECT_EQ(monitor.WaitForExit(), 130);
        return {run.out, monitor.AllOutput()};
    }

    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::string tags_ = folder_.File("line.tags");
    std::string csv_ = folder_.File("heard.csv");
};

TEST_F(VfdaHostMonitorTest, HearsTheFramesTheModuleTracedAndTheSameFailures) {
    SimProgramLine line({"--stations", "1,2", "--tap"});
    ASSERT_TRUE(line.Ready());
    line.Type("fault 1 noise-before");
    line.Type("fault 2 silent");
    const auto [run, heard] = RunAndMonitor(line);

    const std::vector<std::string> traced = Frames(run);
    ASSERT_GT(traced.size(), 6u) << run;
    EXPECT_EQ(Frames(heard), traced);

    const std::vector<JsonValue> figures = EventsNamed(heard, "station");
    const std::vector<JsonValue> stats = EventsNamed(run, "stats");
    for (const auto& [name, number] : {std::pair{"PUMP1", 1}, std::pair{"PUMP2", 2}}) {
        const JsonValue* monitored = OfStation(figures, number);
        const JsonValue* module = OfStation(stats, name);
        ASSERT_TRUE(monitored && module) << name << "\n" << heard;
        for (const char* field : {"requests", "timeouts", "noise", "noise_bytes"}) {
            EXPECT_EQ(monitored->Find(field)->number, module->Find(field)->number)
                << name << " " << field;
        }
    }
    EXPECT_GT(OfStation(figures, 1)->Find("noise_bytes")->number, 0);
    EXPECT_EQ(OfStation(figures, 1)->Find("timeouts")->number, 0);
    EXPECT_GT(OfStation(figures, 2)->Find("timeouts")->number, 0);
    EXPECT_EQ(OfStation(figures, 2)->Find("answered")->number, 0);
}

TEST_F(VfdaHostMonitorTest, DecodesTheValuesTheModuleDeliveredAndLogsTheirChanges) {
    SimProgramLine line({"--stations", "1,2", "--tap"});
    ASSERT_TRUE(line.Ready());
    line.Type("set 1 P10 455");
    line.Type("set 2 D3 2");
    const auto [run, heard] = RunAndMonitor(line);

    const auto delivered = [&](const std::string& tag) {
        for (const JsonValue& value : EventsNamed(run, "value")) {
            if (value.Find("tag")->text == tag) {
                return value.Find("value")->number;
            }
        }
        ADD_FAILURE() << "no value of " << tag << " in\n" << run;
        return -1.0;
    };
    const auto decoded = [&](int station, const std::string& address) {
        for (const JsonValue& exchange : EventsNamed(heard, "exchange")) {
            const JsonValue* value = exchange.Find("values")->Find(address);
            if (exchange.Find("station")->number == station && value != nullptr) {
                EXPECT_EQ(exchange.Find("result")->text, "answered");
                return value->number;
            }
        }
        ADD_FAILURE() << "no " << address << " heard in\n" << heard;
        return -2.0;
    };
    EXPECT_DOUBLE_EQ(decoded(1, "P10"), delivered("ACCEL1"));
    EXPECT_DOUBLE_EQ(decoded(1, "P10"), 45.5);
    EXPECT_DOUBLE_EQ(decoded(1, "D0"), delivered("FREQ1"));
    EXPECT_DOUBLE_EQ(decoded(2, "D3"), delivered("STATUS2"));

    std::ifstream file(csv_, std::ios::binary);
    const std::string log((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::vector<std::string> rows = SplitLines(log);
    ASSERT_GE(rows.size(), 4u) << log;
    EXPECT_EQ(rows[0], "time,station,tag,address,value\r");
    size_t p10Rows = 0;
    for (const std::string& row : rows) {
        p10Rows += row.find(",1,,P10,45.5\r") != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(p10Rows, 1u) << "a value heard again unchanged is no new row\n" << log;
}

} // namespace

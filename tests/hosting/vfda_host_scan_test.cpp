// vfda-host scan as a user runs it: the host program in a child process, the drives
// simulated on a pseudo-terminal that answers only at the drives' own baud rate.
#include "host_line_fixture.h"
#include "host_process.h"
#include "json_lines.h"
#include "json_value.h"
#include "run_program.h"
#include "simulated_line.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <sys/file.h>
#include <unistd.h>
#include <vector>

using namespace testing_support;

namespace {

struct Found {
    int number;
    int baud;
    bool operator==(const Found&) const = default;
};

// The station events of a --json scan, in order, and the end's count; every line is parsed
// strictly.
struct ScanReport {
    std::vector<Found> stations;
    int endFound = -1;
};

ScanReport ParseReport(const std::string& out) {
    ScanReport report;
    for (const std::string& line : SplitLines(out)) {
        const auto value = ParseJson(line);
        EXPECT_TRUE(value) << line;
        if (!value) {
            continue;
        }
        const std::string event = value->Find("event")->text;
        EXPECT_NE(value->Find("t"), nullptr) << line;
        if (event == "station") {
            report.stations.push_back({static_cast<int>(value->Find("number")->number),
                                       static_cast<int>(value->Find("baud")->number)});
        } else if (event == "end") {
            report.endFound = static_cast<int>(value->Find("found")->number);
        }
    }
    return report;
}

class VfdaHostScanTest : public ::testing::Test {
protected:
    // stationBauds: drives left at another speed than the line's `baud`.
    void Serve(const std::vector<int>& stations, uint32_t baud,
               const std::map<int, uint32_t>& stationBauds = {}) {
        LineSettings settings;
        settings.baud = baud;
        settings.matchBaud = true;
        settings.stationBauds = stationBauds;
        line_ = std::make_unique<SimulatedLine>(stations, settings);
    }

    ProgramResult Host(const std::vector<std::string>& words) {
        return RunProgram(HostProgram(), words);
    }

    ProgramResult Scan(const std::vector<std::string>& more) {
        std::vector<std::string> words = {"scan", "--port", "COM3=" + line_->Path()};
        words.insert(words.end(), more.begin(), more.end());
        return Host(words);
    }

    sim::Simulator& Drives() { return line_->Drives(); }

    std::unique_ptr<SimulatedLine> line_;
    TempFolder folder_;
};

TEST_F(VfdaHostScanTest, AutoFindsTheDrivesAtTheirOwnRateOnly) {
    Serve({1, 3, 6}, 2400);
    const ProgramResult result = Scan({"--baud=auto", "--stations=0-7", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const ScanReport report = ParseReport(result.out);
    EXPECT_EQ(report.stations, (std::vector<Found>{{1, 2400}, {3, 2400}, {6, 2400}}));
    EXPECT_EQ(report.endFound, 3);
    EXPECT_GT(line_->Counters().wrongBaudFrames, 0u) << "the 4800 pass was not understood";
}

TEST_F(VfdaHostScanTest, FindsAllThirtyTwoNumbersInText) {
    std::vector<int> all;
    for (int number = 0; number <= 31; ++number) {
        all.push_back(number);
    }
    Serve(all, 4800);
    const ProgramResult result = Scan({"--baud", "4800"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const std::vector<std::string> lines = SplitLines(result.out);
    ASSERT_EQ(lines.size(), 33u) << result.out;
    EXPECT_EQ(lines[0], "station 00 answers at 4800 baud, software version 110, capacity code 4");
    EXPECT_EQ(lines[31], "station 31 answers at 4800 baud, software version 110, capacity code 4");
    EXPECT_EQ(lines[32], "32 station(s) found");
}

// Each drive found says what it is (software version P73, capacity code P74); a drive that
// does not return one is still found, the record null. --add-to leaves the model as it was
// and says the capacity code.
TEST_F(VfdaHostScanTest, EachDriveFoundSaysWhatItIs) {
    Serve({1, 2}, 4800);
    ASSERT_EQ(Drives().SetWord(1, sim::Area::Parameter, 73, 123), sim::Outcome::Ok);
    ASSERT_TRUE(Drives().HideParameter(2, 74));
    const std::string config = folder_.File("line.cfg");
    const ProgramResult result =
        Scan({"--baud", "4800", "--stations", "1-2", "--json", "--add-to", config});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    std::vector<std::pair<double, bool>> identities; // software version, capacity code known
    for (const std::string& line : SplitLines(result.out)) {
        const auto value = ParseJson(line);
        ASSERT_TRUE(value) << line;
        if (value->Find("event")->text == "station") {
            const JsonValue* capacity = value->Find("capacity_code");
            ASSERT_NE(capacity, nullptr) << line;
            identities.emplace_back(value->Find("software_version")->number,
                                    capacity->kind != JsonValue::Kind::Null);
        }
    }
    EXPECT_EQ(identities, (std::vector<std::pair<double, bool>>{{123, true}, {110, false}}));
    EXPECT_NE(result.err.find("VFD01 reports capacity code 4; its model is left at 0"),
              std::string::npos)
        << result.err;
    const auto shown = ParseJson(Host({"show", config, "--json"}).out);
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->Find("stations")->items[0].Find("model")->number, 0);
}

TEST_F(VfdaHostScanTest, AnAdapterEchoIsNotTakenForAnAnswer) {
    Serve({2, 5}, 4800);
    ASSERT_TRUE(Drives().SetFault(2, sim::FaultKind::Echo));
    ASSERT_TRUE(Drives().SetFault(5, sim::FaultKind::Echo));
    const ProgramResult result = Scan({"--baud", "4800", "--stations", "1-6", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(ParseReport(result.out).stations, (std::vector<Found>{{2, 4800}, {5, 4800}}));
    EXPECT_GE(Drives().Counters(2)->faultsInjected, 1u) << "the echo was on the line";
}

TEST_F(VfdaHostScanTest, ASilentLineExits3WithNoneFound) {
    Serve({}, 4800);
    const ProgramResult result = Scan({"--baud", "1200", "--stations", "0-2", "--json"});
    EXPECT_EQ(result.exitCode, 3) << result.err;
    const ScanReport report = ParseReport(result.out);
    EXPECT_TRUE(report.stations.empty());
    EXPECT_EQ(report.endFound, 0);
}

// Ctrl-C in the middle of a scan: the question under way finishes, the stations found stay
// printed, the end says why and how much was not asked, and --add-to changes nothing.
TEST_F(VfdaHostScanTest, AnInterruptedScanKeepsWhatItFoundAndAddsNothing) {
    Serve({1}, 4800);
    const std::string config = folder_.File("line.cfg");
    HostProcess host(HostProgram(), {"scan", "--port", "COM3=" + line_->Path(), "--baud", "auto",
                                     "--json", "--add-to", config});
    ASSERT_TRUE(host.WaitForLine([](const std::string& line) {
                        return line.find("\"event\":\"station\"") != std::string::npos;
                    })
                    .has_value());
    host.Interrupt();
    EXPECT_EQ(host.WaitForExit(), 130);
    // Standard error comes in between: it says that nothing was added.
    std::vector<std::string> lines;
    std::string events;
    for (const std::string& line : SplitLines(host.AllOutput())) {
        if (line.rfind('{', 0) == 0) {
            lines.push_back(line);
            events += line + "\n";
        }
    }
    EXPECT_NE(host.AllOutput().find("nothing added"), std::string::npos) << host.AllOutput();
    ASSERT_FALSE(lines.empty());
    const auto end = ParseJson(lines.back());
    ASSERT_TRUE(end) << lines.back();
    EXPECT_EQ(end->Find("event")->text, "end");
    EXPECT_EQ(end->Find("found")->number, 1);
    EXPECT_EQ(end->Find("reason")->text, "interrupt");
    EXPECT_GT(end->Find("not_done")->number, 0) << "32 numbers at three rates";
    EXPECT_EQ(ParseReport(events).stations, (std::vector<Found>{{1, 4800}}));
    EXPECT_FALSE(std::filesystem::exists(config));
}

// A configuration that could not take what the scan finds is refused before any question
// goes on the line.
TEST_F(VfdaHostScanTest, AnAddToThatCannotBeWrittenIsRefusedBeforeTheScan) {
    Serve({1}, 4800);
    const std::string notConfiguration = folder_.File("notes.txt");
    WriteText(notConfiguration, "not a configuration");
    for (const std::string& target :
         {folder_.File("missing/line.cfg"), folder_.Path().string(), notConfiguration}) {
        const ProgramResult result =
            Scan({"--baud", "4800", "--stations", "0-3", "--add-to", target});
        EXPECT_EQ(result.exitCode, 2) << target << ": " << result.err;
        EXPECT_NE(result.err.find("nothing scanned"), std::string::npos) << result.err;
    }
    EXPECT_EQ(line_->Counters().requests, 0u);
}

// --add-to waits for another writer of the file as config does, and changes nothing when the
// writer holds the file longer than --lock-wait.
TEST_F(VfdaHostScanTest, AddToWaitsForAnotherWriterAtMostLockWait) {
    Serve({1}, 4800);
    const std::string config = folder_.File("line.cfg");
    ASSERT_EQ(Host({"config", config, "init"}).exitCode, 0);
    const Bytes before = ReadBytes(config);
    const int holder = open((config + ".lock").c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX), 0);
    const ProgramResult held =
        Scan({"--baud", "4800", "--stations", "0-1", "--add-to", config, "--lock-wait", "0"});
    EXPECT_EQ(held.exitCode, 1);
    EXPECT_NE(held.err.find("another writer has held " + config + ".lock"), std::string::npos)
        << held.err;
    EXPECT_EQ(ReadBytes(config), before);
    close(holder);
    EXPECT_EQ(Scan({"--baud", "4800", "--stations", "0-1", "--add-to", config, "--lock-wait", "1"})
                  .exitCode,
              0);
    EXPECT_NE(ReadBytes(config), before);
    EXPECT_EQ(Scan({"--add-to", config, "--lock-wait", "-1"}).exitCode, 2);
}

TEST_F(VfdaHostScanTest, AddToCreatesThenExtendsTheConfiguration) {
    Serve({1, 4}, 2400);
    const std::string config = folder_.File("line.cfg");
    ASSERT_EQ(Scan({"--baud", "2400", "--stations", "0-4", "--add-to", config}).exitCode, 0);
    Drives().ClearAllFaults();
    ASSERT_EQ(Host({"config", config, "edit-station", "VFD04", "--name", "PUMP4"}).exitCode, 0);
    ASSERT_EQ(Scan({"--baud", "2400", "--stations", "0-4", "--add-to=" + config}).exitCode, 0);

    const ProgramResult shown = Host({"show", config, "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    const auto value = ParseJson(shown.out);
    ASSERT_TRUE(value) << shown.out;
    EXPECT_EQ(value->Find("port")->text, "COM3");
    EXPECT_EQ(value->Find("baud")->number, 2400);
    std::vector<std::pair<std::string, int>> stations;
    for (const JsonValue& station : value->Find("stations")->items) {
        stations.emplace_back(station.Find("name")->text,
                              static_cast<int>(station.Find("number")->number));
    }
    EXPECT_EQ(stations, (std::vector<std::pair<std::string, int>>{{"VFD01", 1}, {"PUMP4", 4}}))
        << "a number already configured is not added twice";
}

// Drives left at different rates cannot share the line's one rate: both are reported, none is
// added until a scan at one rate says which, and the exit says the work was not done.
TEST_F(VfdaHostScanTest, StationsAtDifferentRatesAreReportedButNotAdded) {
    Serve({1, 2}, 4800, {{2, 2400}});
    const std::string config = folder_.File("line.cfg");
    const ProgramResult mixed =
        Scan({"--baud", "auto", "--stations", "1-2", "--json", "--add-to", config});
    EXPECT_EQ(mixed.exitCode, 3) << mixed.err;
    EXPECT_EQ(ParseReport(mixed.out).stations, (std::vector<Found>{{1, 4800}, {2, 2400}}));
    EXPECT_NE(mixed.err.find("different rates; nothing added"), std::string::npos) << mixed.err;
    EXPECT_FALSE(std::filesystem::exists(config));

    const ProgramResult one =
        Scan({"--baud", "4800", "--stations", "1-2", "--json", "--add-to", config});
    ASSERT_EQ(one.exitCode, 0) << one.err;
    const ProgramResult shown = Host({"show", config, "--json"});
    const auto value = ParseJson(shown.out);
    ASSERT_TRUE(value) << shown.out;
    EXPECT_EQ(value->Find("baud")->number, 4800);
    ASSERT_EQ(value->Find("stations")->items.size(), 1u) << shown.out;
    EXPECT_EQ(value->Find("stations")->items[0].Find("number")->number, 1);
}

TEST_F(VfdaHostScanTest, WrongCommandLinesExit2) {
    Serve({1}, 4800);
    for (const std::vector<std::string>& more : {std::vector<std::string>{"--stations", "32"},
                                                 {"--stations", "5-3"},
                                                 {"--stations", "1,,2"},
                                                 {"--stations", ""},
                                                 {"--stations", "a"},
                                                 {"--baud", "9600"},
                                                 {"--json=yes"},
                                                 {"extra"}}) {
        const ProgramResult result = Scan(more);
        EXPECT_EQ(result.exitCode, 2) << more.front();
        EXPECT_NE(result.err.find("usage: vfda-host scan"), std::string::npos) << result.err;
        EXPECT_EQ(Drives().Counters(1)->framesReceived, 0u) << "nothing was asked";
    }
    EXPECT_EQ(Host({"scan", "--port", "COM0"}).exitCode, 2);
    EXPECT_EQ(Host({"scan"}).exitCode, 2);
}

TEST(VfdaHostConventionsTest, HelpOnStdoutExits0ForTheToolAndEachCommand) {
    for (const std::vector<std::string>& words : {std::vector<std::string>{"--help"},
                                                  {"-h"},
                                                  {"show", "--help"},
                                                  {"config", "--help"},
                                                  {"config", "x.cfg", "set", "-h"},
                                                  {"edit", "-h"},
                                                  {"run", "--help"},
                                                  {"scan", "--help"},
                                                  {"demo", "--help"}}) {
        const ProgramResult result = RunProgram(HostProgram(), words);
        EXPECT_EQ(result.exitCode, 0) << words[0];
        EXPECT_NE(result.out.find("usage:"), std::string::npos) << words[0];
        EXPECT_EQ(result.err, "") << words[0];
    }
    for (const char* asked : {"--version", "-V"}) {
        const ProgramResult version = RunProgram(HostProgram(), {asked});
        EXPECT_EQ(version.exitCode, 0) << asked;
        EXPECT_EQ(version.out.rfind("vfda-host ", 0), 0u) << version.out;
        const ProgramResult simVersion =
            RunProgram((BinFolder() / ProgramFile("vfda-sim")).string(), {asked});
        EXPECT_EQ(simVersion.exitCode, 0) << asked;
        EXPECT_EQ(simVersion.out.rfind("vfda-sim ", 0), 0u) << simVersion.out;
    }
    const ProgramResult unknown = RunProgram(HostProgram(), {"bogus"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_EQ(unknown.err.rfind("vfda-host: unknown command \"bogus\"\n", 0), 0u) << unknown.err;
}

TEST(VfdaHostConventionsTest, OptionValuesMayBeJoinedWithEquals) {
    TempFolder folder;
    const std::string config = folder.File("line.cfg");
    ASSERT_EQ(RunProgram(HostProgram(), {"config", config, "init"}).exitCode, 0);
    ASSERT_EQ(
        RunProgram(HostProgram(), {"config", config, "set", "--baud=1200", "--port=COM7"}).exitCode,
        0);
    const ProgramResult shown = RunProgram(HostProgram(), {"show", config, "--json"});
    const auto value = ParseJson(shown.out);
    ASSERT_TRUE(value) << shown.out;
    EXPECT_EQ(value->Find("baud")->number, 1200);
    EXPECT_EQ(value->Find("port")->text, "COM7");
    EXPECT_EQ(RunProgram(HostProgram(), {"show", config, "--json=1"}).exitCode, 2)
        << "a flag takes no value";
}

} // namespace

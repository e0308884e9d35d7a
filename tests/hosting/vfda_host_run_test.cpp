// vfda-host run and vfda-host demo as a user runs them: the host program in a child process,
// the drives simulated on a pseudo-terminal, commands typed on standard input.
#include "host_process.h"
#include "platform/pseudo_terminal.h"
#include "run_program.h"
#include "sim/line_server.h"
#include "sim/simulator.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>

using namespace testing_support;

namespace {

using Fields = std::vector<std::pair<std::string, std::string>>;

// True when the JSON line holds "key":value, value written as JSON.
bool HasField(const std::string& line, const std::string& key, const std::string& value) {
    const std::string pair = "\"" + key + "\":" + value;
    for (size_t at = line.find(pair); at != std::string::npos; at = line.find(pair, at + 1)) {
        const size_t end = at + pair.size();
        if (end < line.size() && (line[end] == ',' || line[end] == '}')) {
            return true;
        }
    }
    return false;
}

// Matches a JSON line of the event with all the fields.
std::function<bool(const std::string&)> Event(const std::string& event, const Fields& fields) {
    return [=](const std::string& line) {
        if (!HasField(line, "event", "\"" + event + "\"")) {
            return false;
        }
        for (const auto& [key, value] : fields) {
            if (!HasField(line, key, value)) {
                return false;
            }
        }
        return true;
    };
}

std::function<bool(const std::string&)> Containing(const std::string& text) {
    return [=](const std::string& line) { return line.find(text) != std::string::npos; };
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

const char* const kTags = "name,type,device,address\n"
                          "CMD1,analog,PUMP1,D0\n"
                          "OUT1,analog,PUMP1,D1\n"
                          "RUN1,digital,PUMP1,D4.0\n"
                          "ACC1,analog,PUMP1,P10\n"
                          "LOST,analog,PUMP9,D1\n"
                          "OUT2,analog,LINE.PUMP2,D1\n";

std::string HostProgram() {
    return (BinFolder() / ProgramFile("vfda-host")).string();
}

class VfdaHostRunTest : public ::testing::Test {
protected:
    VfdaHostRunTest() : drives_({1, 2}, 4800) {}

    void SetUp() override {
        std::string error;
        line_ = platform::TerminalLine::CreatePseudoTerminal(error);
        ASSERT_TRUE(line_) << error;
        sim::LineOptions options;
        options.wireTiming = false;
        server_ = std::make_unique<sim::LineServer>(drives_, *line_, options);
        server_->Start();
        for (const std::vector<std::string>& change :
             {std::vector<std::string>{"init"},
              {"set", "--port", "COM3"},
              {"add-station", "PUMP1", "--number", "1", "--description", "급수 펌프"},
              {"add-station", "PUMP2", "--number", "2"}}) {
            std::vector<std::string> words = {"config", config_};
            words.insert(words.end(), change.begin(), change.end());
            ASSERT_EQ(RunProgram(HostProgram(), words).exitCode, 0);
        }
        WriteText(tags_, kTags);
    }

    void TearDown() override {
        if (server_) {
            server_->Stop();
        }
    }

    std::unique_ptr<HostProcess> Run(const std::vector<std::string>& more = {}) {
        std::vector<std::string> words = {"run", config_,  "--tags",
                                          tags_, "--port", "COM3=" + line_->Path()};
        words.insert(words.end(), more.begin(), more.end());
        auto host = std::make_unique<HostProcess>(HostProgram(), words);
        EXPECT_TRUE(host->Started());
        return host;
    }

    std::unique_ptr<HostProcess> RunJson(std::vector<std::string> more = {}) {
        more.push_back("--json");
        return Run(more);
    }

    // Waits for a line; on failure shows everything the host printed.
    std::string Expect(HostProcess& host, const std::function<bool(const std::string&)>& match,
                       const char* what, size_t from = 0) {
        const auto line = host.WaitForLine(match, from);
        EXPECT_TRUE(line) << "no " << what << " in:\n" << host.AllOutput();
        return line.value_or("");
    }

    uint16_t DriveWord(int station, sim::Area area, int number) {
        uint16_t value = 0;
        EXPECT_EQ(drives_.GetWord(station, area, number, value), sim::Outcome::Ok);
        return value;
    }

    TempFolder folder_;
    std::string config_ = folder_.File("line.cfg");
    std::string tags_ = folder_.File("tags.csv");
    sim::Simulator drives_;
    std::unique_ptr<platform::TerminalLine> line_;
    std::unique_ptr<sim::LineServer> server_;
};

} // namespace

TEST_F(VfdaHostRunTest, ValuesArriveScaledFromTheDrives) {
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 0, 123), sim::Outcome::Ok); // 12.3 Hz
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("CMD1")}, {"id", "1"}, {"value", "12.3"}}),
           "scaled frequency command");
    Expect(*host, Event("value", {{"tag", Quoted("RUN1")}, {"value", "0"}}), "stopped drive");
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}, {"id", "6"}, {"value", "0"}}),
           "second station's value");

    // The drive starts: its running bit comes in as a digital value.
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 3, 1), sim::Outcome::Ok);
    Expect(*host, Event("value", {{"tag", Quoted("RUN1")}, {"value", "1"}}), "running bit");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, WritesReachTheDriveAndComeBack) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("CMD1")}}), "first value");

    host->Type("write ACC1 7.5");
    Expect(*host,
           Event("result", {{"command", Quoted("write")},
                            {"tag", Quoted("ACC1")},
                            {"value", "7.5"},
                            {"result", "0"}}),
           "accepted parameter write");
    Expect(*host, Event("value", {{"tag", Quoted("ACC1")}, {"value", "7.5"}}), "echoed P10");
    EXPECT_EQ(DriveWord(1, sim::Area::Parameter, 10), 75);

    host->Type("write CMD1 12.5");
    Expect(*host, Event("value", {{"tag", Quoted("CMD1")}, {"value", "12.5"}}),
           "frequency command read back");
    EXPECT_EQ(DriveWord(1, sim::Area::Monitor, 0), 125);

    // D1 is the drive's output: the module refuses the write and says so.
    host->Type("write OUT1 3");
    Expect(*host, Event("result", {{"tag", Quoted("OUT1")}, {"result", "-17"}}), "refused write");
    Expect(*host,
           Event("log", {{"text", Quoted("[DELTA VFD-A] 지정된 태그[OUT1]의 어드레스는 "
                                         "쓰기 가능한 영역이 아닙니다.")}}),
           "message 17 naming the tag");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, StationCommandsAnswerInJson) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "first pass");

    host->Type("stats PUMP1");
    Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}, {"status", "0"}}),
           "station statistics");
    host->Type("stats");
    Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}, {"status", "0"}}),
           "every station's statistics");
    Expect(*host, Event("stats", {{"station", "null"}, {"status", "0"}}), "instance statistics");

    host->Type("info pump1");
    Expect(*host,
           Event("info", {{"station", Quoted("pump1")},
                          {"number", Quoted("01")},
                          {"description", Quoted("급수 펌프")}}),
           "station info");
    host->Type("info NOPE");
    Expect(*host, Event("info", {{"station", Quoted("NOPE")}, {"number", "null"}}),
           "info of no station");

    host->Type("enable PUMP2 0");
    Expect(*host,
           Event("result", {{"command", Quoted("enable")},
                            {"station", Quoted("PUMP2")},
                            {"flag", "0"},
                            {"result", "0"}}),
           "disabled station");
    host->Type("stats PUMP2");
    Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}, {"status", "-1"}}),
           "disabled station's status");
    host->Type("enable NOPE 1");
    Expect(*host, Event("result", {{"command", Quoted("enable")}, {"result", "-1"}}),
           "enable of no station");

    // Stopped, nothing counts any more: a reset leaves zeros.
    host->Type("stop");
    Expect(*host, Event("result", {{"command", Quoted("stop")}, {"result", "0"}}), "stop");
    Expect(*host, Event("log", {{"text", Quoted("[DELTA VFD-A] 통신종료")}}), "message 2");
    host->Type("reset PUMP1");
    Expect(*host, Event("result", {{"command", Quoted("reset")}, {"result", "0"}}), "reset");
    host->Type("stats PUMP1");
    Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}, {"reads", "0"}, {"writes", "0"}}),
           "cleared counters");
    const size_t mark = host->LineCount();
    host->Type("start");
    Expect(*host, Event("log", {{"text", Quoted("[DELTA VFD-A] 통신시작")}}), "message 1", mark);
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, ARefusedTagIsReportedAndTheRunGoesOn) {
    auto host = RunJson();
    Expect(*host,
           Event("log", {{"text", Quoted("[DELTA VFD-A] 태그[LOST]에 설정된 I/O "
                                         "디바이스[PUMP9]가 통신드라이버에 등록되지 "
                                         "않았습니다.")}}),
           "message 7 naming the tag");
    Expect(*host, Event("tag", {{"tag", Quoted("LOST")}, {"id", "5"}, {"handle", "-1"}}),
           "refused registration");
    Expect(*host, Event("tag", {{"tag", Quoted("OUT2")}, {"id", "6"}, {"handle", "131072"}}),
           "the next tag registered");
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "values after the refusal");
    host->Type("write LOST 1");
    Expect(*host, Event("error", {}), "write to the refused tag");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, QuitStopsThenPrintsTheFinalStatistics) {
    auto host = RunJson();
    Expect(*host, Event("value", {}), "a value");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    const std::vector<std::string> lines = host->Lines();
    const auto at = [&lines](const std::function<bool(const std::string&)>& match) {
        return std::find_if(lines.begin(), lines.end(), match) - lines.begin();
    };
    const auto stopped = at(Event("log", {{"text", Quoted("[DELTA VFD-A] 통신종료")}}));
    const auto pump1 = at(Event("stats", {{"station", Quoted("PUMP1")}}));
    const auto all = at(Event("stats", {{"station", "null"}, {"status", "-1"}}));
    const auto end = at(Event("end", {{"reason", Quoted("quit")}}));
    EXPECT_LT(stopped, pump1) << host->AllOutput();
    EXPECT_LT(pump1, all) << host->AllOutput();
    EXPECT_EQ(end + 1, static_cast<long>(lines.size())) << host->AllOutput();
}

TEST_F(VfdaHostRunTest, TheEndOfInputEndsARunWithoutADuration) {
    auto host = RunJson();
    Expect(*host, Event("value", {}), "a value");
    host->CloseInput();
    Expect(*host, Event("end", {{"reason", Quoted("end of input")}}), "end of input");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, WithADurationTheEndOfInputDoesNotEndTheRun) {
    auto host = RunJson({"--seconds", "2"});
    host->CloseInput();
    Expect(*host, Event("stats", {{"station", "null"}}), "final statistics");
    Expect(*host, Event("end", {{"reason", Quoted("seconds")}}), "end of the duration");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, TheDurationEndsARunWhoseInputStaysOpen) {
    auto host = RunJson({"--seconds", "1"});
    Expect(*host, Event("end", {{"reason", Quoted("seconds")}}), "end of the duration");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, CtrlCStopsTheRunAndPrintsTheStatistics) {
    auto host = RunJson();
    Expect(*host, Event("value", {}), "a value");
    host->Interrupt();
    Expect(*host, Event("stats", {{"station", "null"}}), "final statistics");
    Expect(*host, Event("end", {{"reason", Quoted("interrupt")}}), "end by Ctrl-C");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, TraceShowsEveryFrameInHex) {
    auto host = RunJson({"--trace"});
    // The first query: station 01, status group 0.
    Expect(*host,
           Event("frame", {{"direction", Quoted("sent")}, {"hex", Quoted("51 03 01 30 31 30 30")}}),
           "sent frame");
    Expect(*host,
           Event("frame", {{"direction", Quoted("received")},
                           {"hex", Quoted("51 03 06 30 31 30 30 30 30 30 30")}}),
           "received frame");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, TextOutputIsForPeople) {
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Monitor, 0, 123), sim::Outcome::Ok);
    auto host = Run();
    Expect(*host, Containing("  value  CMD1 (1) = 12.3"), "value line");
    Expect(*host, Containing("  tag    LOST (5) at PUMP9 D1: refused by the module"),
           "refused tag line");
    host->Type("info PUMP1");
    Expect(*host, Containing("  info   PUMP1: number 01, description \"급수 펌프\""), "info");
    host->Type("quit");
    Expect(*host, Containing("  stats  all stations: not running"), "final statistics");
    Expect(*host, Containing("  end    quit"), "end line");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, MistypedCommandsAreReportedAndTheRunGoesOn) {
    auto host = RunJson();
    for (const char* wrong : {"frobnicate", "write CMD1 fast", "write CMD1 nan", "write NOPE 1",
                              "write CMD1", "enable PUMP1 2", "stats A B", "info"}) {
        const size_t mark = host->LineCount();
        host->Type(wrong);
        Expect(*host, Event("error", {}), wrong, mark);
    }
    host->Type(std::string(5000, 'x'));
    Expect(*host, Event("error", {{"text", Quoted("a command line is longer than 1024 bytes")}}),
           "overlong line");
    host->Type("  # a comment, then a blank line");
    host->Type("");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

// The port maps to a device that does not exist: the module reports it, registers the tags
// all the same, and every statistics query answers 1. Standard input is empty.
TEST_F(VfdaHostRunTest, ARunWhosePortDoesNotOpenGoesOn) {
    const ProgramResult result =
        RunProgram(HostProgram(), {"run", config_, "--tags", tags_, "--json", "--port",
                                   "COM3=" + folder_.File("unplugged")});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::string& out = result.out;
    EXPECT_EQ(out.find("\"event\":\"port\",\"t\":0,\"result\":0"), std::string::npos) << out;
    EXPECT_NE(out.find("\"event\":\"port\""), std::string::npos) << out;
    EXPECT_NE(out.find("\"tag\":\"CMD1\",\"id\":1,\"handle\":0,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"tag\":\"LOST\",\"id\":5,\"handle\":-1,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"station\":\"PUMP1\",\"status\":1,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"station\":null,\"status\":1,"), std::string::npos) << out;
    EXPECT_NE(out.find("\"reason\":\"end of input\"}"), std::string::npos) << out;
}

// The demo tells its whole story: values, writes, a lost and restored link. It is stopped
// with Ctrl-C once the recovery shows, so the test takes as long as the story.
TEST(VfdaHostDemoTest, TheDemoRampsTheDrivesAndLosesAndRestoresOneLink) {
    HostProcess demo(HostProgram(), {"demo", "--seconds", "600", "--json"});
    const auto expect = [&demo](const std::function<bool(const std::string&)>& match,
                                const char* what) {
        EXPECT_TRUE(demo.WaitForLine(match, 0, std::chrono::seconds(120)))
            << "no " << what << " in:\n"
            << demo.AllOutput();
    };
    expect(Event("result", {{"tag", Quoted("PUMP1_CMD_WORD")}, {"value", "1"}, {"result", "0"}}),
           "run command");
    expect(Event("value", {{"tag", Quoted("PUMP1_RUNNING")}, {"value", "1"}}), "running drive");
    expect(Event("log", {{"text", Quoted("[DELTA VFD-A] 스테이션[FAN1]과 통신할 수 없습니다.")}}),
           "link lost");
    expect(Event("log", {{"text", Quoted("[DELTA VFD-A] 스테이션[FAN1]과의 통신이 정상적으로 "
                                         "복구되었습니다.")}}),
           "link restored");
    demo.Interrupt();
    expect(Event("stats", {{"station", Quoted("FAN1")}}), "final statistics");
    expect(Event("end", {{"reason", Quoted("interrupt")}}), "end");
    EXPECT_EQ(demo.WaitForExit(), 0);
}

TEST(VfdaHostDemoTest, WrongCommandLinesExit2WithTheUsage) {
    for (const std::vector<std::string>& words :
         {std::vector<std::string>{"demo", "--seconds", "soon"},
          {"demo", "extra"},
          {"demo", "--port", "COM1=x"}}) {
        const ProgramResult result = RunProgram(HostProgram(), words);
        EXPECT_EQ(result.exitCode, 2) << words.back();
        EXPECT_NE(result.err.find("usage: vfda-host demo"), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "") << "nothing runs";
    }
}

TEST(VfdaHostDemoTest, TheDurationEndsTheDemoAndItsFilesGo) {
    const ProgramResult result = RunProgram(HostProgram(), {"demo", "--seconds", "1"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("stats  FAN1: "), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("end    seconds"), std::string::npos) << result.out;
    const size_t at = result.out.find("configuration ");
    ASSERT_NE(at, std::string::npos) << result.out;
    const size_t end = result.out.find(", tags", at);
    const std::string config = result.out.substr(at + 14, end - at - 14);
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(config).parent_path())) << config;
}

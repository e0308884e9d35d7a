// vfda-host run and vfda-host demo as a user runs them: the host program in a child process,
// the drives simulated on a pseudo-terminal, commands typed on standard input.
#include "run_fixture.h"

#include <gtest/gtest.h>

using namespace testing_support;

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
    host->Type("stats NOPE");
    Expect(
        *host,
        Event(
            "stats",
            {{"station", Quoted("NOPE")}, {"status", "-1"}, {"reads", "null"}, {"writes", "null"}}),
        "statistics of no station");
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
    host->Type("stats NOPE");
    Expect(*host, Containing("  stats  NOPE: no such station"), "statistics of no station");
    host->Type("stop");
    host->Type("write CMD1 5");
    Expect(*host, Containing("  write  CMD1 = 5 not sent: communication is stopped"),
           "write while stopped");
    host->Type("quit");
    Expect(*host, Containing("  stats  all stations: not running"), "final statistics");
    Expect(*host, Containing("  end    quit"), "end line");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, MistypedCommandsAreReportedAndTheRunGoesOn) {
    auto host = RunJson();
    // A value its word would take changed (too many decimals, beyond the frame's field) is
    // refused as a mistyped one is.
    for (const char* wrong :
         {"frobnicate", "write CMD1 fast", "write CMD1 nan", "write NOPE 1", "write CMD1",
          "enable PUMP1 2", "stats A B", "info", "write ACC1 7.55", "write ACC1 6553.7",
          "write CMD1 1000", "write ACC1 0x10"}) {
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
    const std::vector<std::string> lines = SplitLines(result.out);
    EXPECT_TRUE(AllJsonObjects(lines));
    const auto printed = [&lines](const std::string& event, const Fields& fields) {
        return std::any_of(lines.begin(), lines.end(), Event(event, fields));
    };
    EXPECT_TRUE(printed("port", {})) << result.out;
    EXPECT_FALSE(printed("port", {{"result", "0"}})) << result.out;
    EXPECT_TRUE(printed("tag", {{"tag", Quoted("CMD1")}, {"id", "1"}, {"handle", "0"}}));
    EXPECT_TRUE(printed("tag", {{"tag", Quoted("LOST")}, {"id", "5"}, {"handle", "-1"}}));
    EXPECT_TRUE(printed("stats", {{"station", Quoted("PUMP1")}, {"status", "1"}})) << result.out;
    EXPECT_TRUE(printed("stats", {{"station", "null"}, {"status", "1"}})) << result.out;
    EXPECT_TRUE(printed("end", {{"reason", Quoted("end of input")}})) << result.out;
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
    EXPECT_TRUE(AllJsonObjects(demo.Lines()));
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

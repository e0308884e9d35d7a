// What vfda-host run promises at its edges: writes still queued at the end reach the drives,
// the signals a run ends on, an output that cannot be written, and names that no output
// passes raw.
#include "run_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

using namespace testing_support;

namespace {

// A request frame as the drive sees it: letter, 03, 01, then the digits of the fields.
std::string Frame(char letter, const std::string& digits) {
    return std::string{letter, '\x03', '\x01'} + digits;
}

bool Saw(const std::vector<std::string>& frames, const std::string& frame) {
    return std::find(frames.begin(), frames.end(), frame) != frames.end();
}

size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

// Replaces every `from` in the file by the same number of other bytes, which the
// configuration commands would refuse to write.
void Patch(const std::string& path, const std::string& from, const std::string& to) {
    ASSERT_EQ(from.size(), to.size());
    std::string bytes = ReadText(path);
    size_t count = 0;
    for (size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at)) {
        bytes.replace(at, from.size(), to);
        ++count;
    }
    ASSERT_GT(count, 0u) << from;
    WriteText(path, bytes);
}

// An escape that clears the screen, two bytes that start no CP949 character, then "가".
const std::string kStrayName = "\x1b[2J\xff\x80\xb0\xa1";
const std::string kStrayNameUtf8 = "\x1b[2J\xEF\xBF\xBD\xEF\xBF\xBD\xEA\xB0\x80";
const std::string kStrayNameText = "\\x1b[2J\xEF\xBF\xBD\xEF\xBF\xBD\xEA\xB0\x80";
// A bell, DEL, and a CP949 lead byte with nothing after it.
const std::string kStrayDescription = "\x07\x7f\xfe";
const std::string kStrayDescriptionUtf8 = "\x07\x7f\xEF\xBF\xBD";

class VfdaHostEndTest : public VfdaHostRunTest {
protected:
    // A third station whose name and description hold the stray bytes.
    void AddStrayStation() {
        Configure({"add-station", "ZZZZZZZZ", "--number", "7", "--description", "YYY"});
        Patch(config_, "ZZZZZZZZ", kStrayName);
        Patch(config_, "YYY", kStrayDescription);
    }
};

} // namespace

// printf 'write CMD1 30\n' | vfda-host run ...: the input ends at once, and the writes still
// go out before the stop, byte for byte as the drive expects them.
TEST_F(VfdaHostEndTest, WritesQueuedWhenTheInputEndsReachTheDrive) {
    auto host = RunJson();
    host->Type("write CMD1 30");
    host->Type("write ACC1 7.5");
    host->CloseInput();
    Expect(*host, Event("end", {{"reason", Quoted("end of input")}}), "end of input");
    EXPECT_EQ(host->WaitForExit(), 0);
    const std::vector<std::string> frames = Requests();
    EXPECT_TRUE(Saw(frames, Frame('C', "01"
                                       "00"
                                       "0300")))
        << host->AllOutput();
    EXPECT_TRUE(Saw(frames, Frame('P', "01"
                                       "10"
                                       "0075")))
        << host->AllOutput();
    EXPECT_EQ(DriveWord(1, sim::Area::Monitor, 0), 300);
    EXPECT_EQ(DriveWord(1, sim::Area::Parameter, 10), 75);
    EXPECT_FALSE(host->WaitForLine(Containing("not sent"), 0, HostProcess::Timeout(0)));
}

TEST_F(VfdaHostEndTest, WritesThatTheModuleDropsSayNotSent) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("CMD1")}}), "first value");
    host->Type("enable PUMP1 0");
    host->Type("write CMD1 20");
    Expect(*host,
           Event("result", {{"command", Quoted("write")},
                            {"tag", Quoted("CMD1")},
                            {"outcome", Quoted("not sent")},
                            {"result", "0"}}),
           "write to a disabled station");
    host->Type("enable PUMP1 1");
    host->Type("stop");
    host->Type("write ACC1 5");
    Expect(*host, Event("result", {{"tag", Quoted("ACC1")}, {"outcome", Quoted("not sent")}}),
           "write while stopped");
    host->Type("start");
    host->Type("write ACC1 6");
    Expect(*host, Event("result", {{"tag", Quoted("ACC1")}, {"outcome", Quoted("queued")}}),
           "write while running");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    const std::vector<std::string> frames = Requests();
    EXPECT_FALSE(Saw(frames, Frame('C', "01"
                                        "00"
                                        "0200")));
    EXPECT_FALSE(Saw(frames, Frame('P', "01"
                                        "10"
                                        "0050")));
    EXPECT_TRUE(Saw(frames, Frame('P', "01"
                                       "10"
                                       "0060")));
}

// SIGINT and SIGTERM (Ctrl-C, kill) and SIGHUP (the terminal closed) end a run alike: the
// module stopped, the final statistics, the port folder removed, exit 0.
TEST_F(VfdaHostEndTest, SignalsEndTheRunWithTheFinalStatistics) {
    for (const auto& [number, reason] :
         {std::pair{SIGINT, "interrupt"}, std::pair{SIGTERM, "interrupt"},
          std::pair{SIGHUP, "hangup"}}) {
        TempFolder temporary;
        auto host = RunJson({}, {{"TMPDIR=" + temporary.Path().string()}, std::nullopt});
        Expect(*host, Event("value", {}), "a value");
        EXPECT_EQ(EntriesIn(temporary.Path()), 1u) << "the port folder";
        host->Signal(number);
        Expect(*host, Event("log", {{"text", Quoted("[DELTA VFD-A] 통신종료")}}), "message 2");
        Expect(*host, Event("stats", {{"station", "null"}}), "final statistics");
        Expect(*host, Event("end", {{"reason", Quoted(reason)}}), reason);
        EXPECT_EQ(host->WaitForExit(), 0) << reason;
        EXPECT_EQ(EntriesIn(temporary.Path()), 0u) << reason;
    }
}

// Ctrl-C with writes queued for a drive that has fallen silent: the run says what it waits
// for, and a second Ctrl-C ends the wait at once, counting the writes not sent.
TEST_F(VfdaHostEndTest, ASecondCtrlCEndsTheWaitForQueuedWrites) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("ACC1")}}), "first value");
    ASSERT_TRUE(drives_.SetFault(1, sim::FaultKind::Silent));
    for (int i = 0; i < 20; ++i) {
        host->Type("write ACC1 " + std::to_string(10 + i));
    }
    host->Type("stats PUMP1"); // answered once every write before it is queued
    Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}}), "the writes queued");
    host->Interrupt();
    const std::string waiting =
        Expect(*host, Containing("queued writes to reach the line"), "what the run waits for");
    EXPECT_NE(waiting.find("Ctrl-C again"), std::string::npos) << waiting;
    host->Interrupt();
    const std::string unsent =
        Expect(*host, Event("error", {}), "the writes not sent", host->LineCount() - 1);
    const auto error = ParseJson(unsent);
    ASSERT_TRUE(error) << unsent;
    EXPECT_GT(error->Find("writes_not_sent")->number, 0) << unsent;
    Expect(*host, Event("end", {{"reason", Quoted("interrupt")}}), "the end");
    EXPECT_EQ(host->WaitForExit(HostProcess::Timeout(10000)), 0) << host->AllOutput();
}

// A read typed just before quit is answered before the run ends.
TEST_F(VfdaHostEndTest, AReadBeforeQuitIsAnswered) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("ACC1")}}), "the read at the start");
    const size_t mark = host->LineCount();
    host->Type("read PUMP1");
    host->Type("quit");
    Expect(*host, Event("end", {{"reason", Quoted("quit")}}), "the end");
    EXPECT_EQ(host->WaitForExit(), 0);
    const auto read =
        host->WaitForLine(Event("value", {{"tag", Quoted("ACC1")}}), mark, HostProcess::Timeout(0));
    EXPECT_TRUE(read) << host->AllOutput();
}

// vfda-host run ... | head -1: the reader goes away, the run ends by itself and says so
// with its exit code, and removes its port folder. Its input stays open all along.
TEST_F(VfdaHostEndTest, AClosedPipeEndsTheRun) {
    TempFolder temporary;
    HostProcess host(HostProgram(), RunWords({"--json"}),
                     {{"TMPDIR=" + temporary.Path().string()}, 1});
    ASSERT_TRUE(host.Started());
    EXPECT_EQ(host.WaitForExit(), 1) << host.AllOutput();
    ASSERT_FALSE(host.Lines().empty());
    EXPECT_TRUE(ParseJson(host.Lines().front())) << host.Lines().front();
    EXPECT_EQ(EntriesIn(temporary.Path()), 0u);
}

// A full disk: every command that cannot write its output exits 1.
TEST_F(VfdaHostEndTest, AFullOutputExits1) {
    const auto toFullDisk = [](std::vector<std::string> words) {
        words.insert(words.begin(), {"-c", "exec \"$0\" \"$@\" > /dev/full", HostProgram()});
        return RunProgram("/bin/sh", words);
    };
    for (const std::vector<std::string>& more : {std::vector<std::string>{"--json"}, {}}) {
        const ProgramResult run = toFullDisk(RunWords(more));
        EXPECT_EQ(run.exitCode, 1) << run.err;
        EXPECT_NE(run.err.find("cannot write to standard output"), std::string::npos) << run.err;
    }
    const ProgramResult shown = toFullDisk({"show", config_, "--json"});
    EXPECT_EQ(shown.exitCode, 1) << shown.err;
}

TEST_F(VfdaHostEndTest, ShowPassesNoStrayBytesOrControlCharacters) {
    AddStrayStation();
    const ProgramResult json = RunProgram(HostProgram(), {"show", config_, "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    std::string error;
    const auto shown = ParseJson(json.out, &error);
    ASSERT_TRUE(shown) << error << ": " << json.out;
    const JsonValue* stations = shown->Find("stations");
    ASSERT_TRUE(stations != nullptr && stations->items.size() == 3) << json.out;
    const JsonValue& stray = stations->items[2];
    ASSERT_EQ(stray.kind, JsonValue::Kind::Object);
    EXPECT_EQ(stray.Find("name")->text, kStrayNameUtf8);
    EXPECT_EQ(stray.Find("description")->text, kStrayDescriptionUtf8);

    const ProgramResult text = RunProgram(HostProgram(), {"show", config_});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_NE(text.out.find(kStrayNameText + " (07"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("\\x07\\x7f\xEF\xBF\xBD"), std::string::npos) << text.out;
    EXPECT_EQ(text.out.find_first_of("\x1b\x07\x7f"), std::string::npos) << text.out;
}

// Stray bytes from the configuration and from the typed commands: every --json line still
// parses (the fixture checks them all), and the text for people shows them escaped.
TEST_F(VfdaHostEndTest, RunPassesNoStrayBytesOrControlCharacters) {
    AddStrayStation();
    for (const bool json : {true, false}) {
        auto host = json ? RunJson() : Run();
        host->Type("info " + kStrayName);
        host->Type("write \x1b\xc0\xaf 1");
        host->Type("frob\xed\xa0\x80\x7f");
        host->Type("quit");
        EXPECT_EQ(host->WaitForExit(), 0);
        const std::string all = host->AllOutput();
        EXPECT_EQ(all.find_first_of("\x1b\x7f"), std::string::npos) << all;
        if (json) {
            Expect(*host, Event("stats", {{"station", Quoted("\\u001b[2J\\ufffd\\ufffd가")}}),
                   "final statistics of the stray station");
            Expect(*host,
                   Event("error", {{"text", Quoted("write: no tag named \\u001b\\ufffd\\ufffd")}}),
                   "an error naming stray bytes");
        } else {
            Expect(*host, Containing("  stats  " + kStrayNameText + ": "), "stray statistics");
            Expect(*host, Containing("unknown command \"frob\\xed\\xa0\\x80\\x7f\""),
                   "an error naming stray bytes");
        }
    }
}

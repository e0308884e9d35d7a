// vfda-host read and write against simulated drives: values scaled as the module delivers
// them, writes counted once the drive answered, and exit 3 for what the drives did not do.
#include "parameter_fixture.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

using testing_support::HostProgram;
using testing_support::JsonValue;
using testing_support::ParameterCommandTest;
using testing_support::ProgramResult;
using testing_support::RunProgram;

namespace {

const JsonValue& Member(const JsonValue& object, const char* key) {
    static const JsonValue missing;
    const JsonValue* found = object.Find(key);
    EXPECT_NE(found, nullptr) << "no " << key;
    return found != nullptr ? *found : missing;
}

} // namespace

TEST_F(ParameterCommandTest, ReadGivesParametersScaledAndMonitorWords) {
    ASSERT_EQ(drives_.SetWord(2, sim::Area::Parameter, 10, 125), sim::Outcome::Ok);
    const auto result = Host("read", {"PUMP2", "P10", "p0", "D4", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ(Member(lines[0], "event").text, "value");
    EXPECT_EQ(Member(lines[0], "station").text, "PUMP2");
    EXPECT_EQ(Member(lines[0], "address").text, "P10");
    EXPECT_EQ(Member(lines[0], "value").number, 12.5);
    EXPECT_EQ(Member(lines[1], "address").text, "P0");
    EXPECT_EQ(Member(lines[1], "value").number, DriveParameter(2, 0));
    EXPECT_EQ(Member(lines[2], "address").text, "D4");
    EXPECT_EQ(Member(lines[2], "value").kind, JsonValue::Kind::Number);
}

// A range of parameters read in rounds: every round in order, then a summary of the reads.
TEST_F(ParameterCommandTest, RepeatedReadsOfARangeEndWithASummary) {
    for (int p = 10; p <= 12; ++p) {
        ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, p, static_cast<uint16_t>(p * 10)),
                  sim::Outcome::Ok);
    }
    const auto result =
        Host("read", {"PUMP1", "P10-P12", "--every", "100ms", "--count", "2", "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 7u) << result.out;
    for (size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(Member(lines[i], "address").text, "P" + std::to_string(10 + i % 3));
        EXPECT_EQ(Member(lines[i], "value").number, 10 + i % 3) << "P10-P12 are x10 words";
    }
    EXPECT_EQ(Member(lines[6], "event").text, "summary");
    EXPECT_EQ(Member(lines[6], "reads").number, 6);
    EXPECT_EQ(Member(lines[6], "failures").number, 0);
    EXPECT_GT(Member(lines[6], "read_max_ms").number, 0);
    EXPECT_EQ(FramesWithLetter('R'), 6u) << "each round reads each parameter once";
}

// One read may list several stations; a name with a comma that a station has is that station.
TEST_F(ParameterCommandTest, ReadListsSeveralStationsUnlessAStationHasTheWholeName) {
    ASSERT_EQ(drives_.SetWord(3, sim::Area::Parameter, 10, 25), sim::Outcome::Ok);
    const auto both = Host("read", {"PUMP1,PUMP3", "P10", "--json"});
    EXPECT_EQ(both.exitCode, 0) << both.err;
    const std::vector<JsonValue> lines = JsonLines(both.out);
    ASSERT_EQ(lines.size(), 2u) << both.out;
    EXPECT_EQ(Member(lines[0], "station").text, "PUMP1");
    EXPECT_EQ(Member(lines[1], "station").text, "PUMP3");
    EXPECT_EQ(Member(lines[1], "value").number, 2.5);

    Configure({"add-station", "PUMP1,PUMP3", "--number", "7"});
    const auto named = Host("read", {"PUMP1,PUMP3", "P10", "--json"});
    EXPECT_EQ(named.exitCode, 3) << "station 7 is not on the line";
    const std::vector<JsonValue> one = JsonLines(named.out);
    ASSERT_EQ(one.size(), 1u) << named.out;
    EXPECT_EQ(Member(one[0], "station").text, "PUMP1,PUMP3");
    EXPECT_EQ(Host("write", {"PUMP1,PUMP2", "P10=5"}).exitCode, 2) << "write takes one station";
}

TEST_F(ParameterCommandTest, ReadOfASilentStationExitsThreeWithNoValue) {
    const auto result = Host("read", {"GONE", "P1", "--json"});
    EXPECT_EQ(result.exitCode, 3);
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 1u) << result.out;
    EXPECT_EQ(Member(lines[0], "value").kind, JsonValue::Kind::Null);
    // The module's log says why, on stderr as every command shows it.
    EXPECT_NE(result.err.find("[DELTA VFD-A] 스테이션[GONE]과의 통신 중 수신 Time Out"),
              std::string::npos)
        << result.err;
}

// Written means the drive answered and a read-back holds the raw word sent; the event carries
// the value read back, or says what happened instead.
TEST_F(ParameterCommandTest, WrittenMeansTheDriveHoldsTheRawWordSent) {
    // P58 is the drive's station number, which it refuses; P76 = 10 is taken and acts (a
    // factory reset), so the drive keeps 0 there.
    const auto result = Host("write", {"PUMP1", "P10=7.5", "P58=5", "P76=10", "--json"});
    EXPECT_EQ(result.exitCode, 3);
    const std::vector<JsonValue> lines = JsonLines(result.out);
    ASSERT_EQ(lines.size(), 3u) << result.out;
    EXPECT_EQ(Member(lines[0], "event").text, "written");
    EXPECT_EQ(Member(lines[0], "outcome").text, "written");
    EXPECT_EQ(Member(lines[0], "value").number, 7.5);
    EXPECT_EQ(Member(lines[0], "raw").number, 75);
    EXPECT_TRUE(Member(lines[0], "ok").boolean);
    EXPECT_EQ(Member(lines[1], "outcome").text, "refused");
    EXPECT_EQ(Member(lines[1], "value").number, 1);
    EXPECT_FALSE(Member(lines[1], "ok").boolean);
    EXPECT_EQ(Member(lines[2], "outcome").text, "kept another value");
    EXPECT_EQ(Member(lines[2], "value").number, 0);
    EXPECT_EQ(Member(lines[2], "asked").number, 10);
    EXPECT_TRUE(Member(lines[2], "acknowledged").boolean);
    EXPECT_FALSE(Member(lines[2], "ok").boolean);
    EXPECT_EQ(DriveParameter(1, 58), 1);

    const auto silent = Host("write", {"GONE", "P10=1", "--json"});
    EXPECT_EQ(silent.exitCode, 3);
    const std::vector<JsonValue> unanswered = JsonLines(silent.out);
    ASSERT_EQ(unanswered.size(), 1u) << silent.out;
    EXPECT_EQ(Member(unanswered[0], "outcome").text, "not answered");
    EXPECT_EQ(Member(unanswered[0], "value").kind, JsonValue::Kind::Null);

    // Behind an adapter that echoes, the reason is named as run names it.
    ASSERT_TRUE(drives_.SetFault(3, sim::FaultKind::Echo));
    const auto echoed = Host("write", {"PUMP3", "P10=1", "--json"});
    EXPECT_EQ(echoed.exitCode, 3);
    const std::vector<JsonValue> diagnosed = JsonLines(echoed.out);
    ASSERT_EQ(diagnosed.size(), 1u) << echoed.out;
    EXPECT_NE(Member(diagnosed[0], "diagnosis").text.find("the adapter echoes every request"),
              std::string::npos)
        << echoed.out;
}

// Anything the drive would receive as another value than the one typed is refused, naming
// the parameter, before the port is opened: nothing of the command is written.
TEST_F(ParameterCommandTest, ValuesTheDriveWouldTakeChangedAreRefusedBeforeTheLine) {
    for (const auto& [write, why] : {std::pair{"P54=nan", "P54 takes a plain decimal number"},
                                     {"P24=-inf", "P24 takes a plain decimal number"},
                                     {"P71=2.9", "P71 takes whole numbers only"},
                                     {"P72=0x10", "P72 takes a plain decimal number"},
                                     {"P10=6553.7", "P10 takes 0 to 999.9"},
                                     {"P72=65537.9", "P72 takes whole numbers only"},
                                     {"P72=65537", "P72 takes 0 to 9999"},
                                     {"P10=5.06", "P10 carries one decimal"},
                                     {"D3=100", "D3 takes 0 to 99"}}) {
        const auto result = Host("write", {"PUMP2", "P11=5", write});
        EXPECT_EQ(result.exitCode, 2) << write;
        EXPECT_NE(result.err.find(why), std::string::npos) << result.err;
    }
    EXPECT_EQ(line_->Requests().size(), 0u) << "the port was never opened";
    EXPECT_EQ(DriveParameter(2, 11), 100);
}

// Ctrl-C in the middle of a write: the write under way is finished and reported, every
// parameter not written is named, and an end event closes the output.
TEST_F(ParameterCommandTest, AnInterruptedWriteNamesWhatItDidNotWrite) {
    std::vector<std::string> writes = {"PUMP1"};
    std::multiset<std::string> asked;
    for (int p = 10; p < 20; ++p) {
        writes.push_back("P" + std::to_string(p) + "=2");
        asked.insert("P" + std::to_string(p));
    }
    int exitCode = 0;
    const std::vector<JsonValue> lines = InterruptedAfterFirstWrite("write", writes, exitCode);
    EXPECT_EQ(exitCode, 130);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Member(lines.back(), "event").text, "end");
    EXPECT_EQ(Member(lines.back(), "reason").text, "interrupt");
    EXPECT_EQ(WrittenOrNot(lines), asked) << "each parameter named once, written or not";
    const double written =
        static_cast<double>(std::count_if(lines.begin(), lines.end(), [](const JsonValue& line) {
            return line.Find("event")->text == "written";
        }));
    EXPECT_LT(written, 10);
    EXPECT_EQ(Member(lines.back(), "not_done").number, 10 - written);
}

TEST_F(ParameterCommandTest, WrongAddressesAndStationsAreRefusedBeforeTheLineIsUsed) {
    EXPECT_EQ(Host("read", {"PUMP1", "P81"}).exitCode, 2);
    EXPECT_EQ(Host("read", {"PUMP1", "C0"}).exitCode, 2);
    EXPECT_EQ(Host("write", {"PUMP1", "D1=5"}).exitCode, 2);
    EXPECT_EQ(Host("write", {"PUMP1", "P10=x"}).exitCode, 2);
    EXPECT_EQ(Host("read", {"NOBODY", "P1"}).exitCode, 2);
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{"PUMP1", "P12-P10"},
                                               {"PUMP1", "P10-D2"},
                                               {"PUMP1", "P10-P81"},
                                               {"PUMP1", "P1", "--every", "50ms"},
                                               {"PUMP1", "P1", "--every", "nan"},
                                               {"PUMP1", "P1", "--every", "2"},
                                               {"PUMP1", "P1", "--count", "0"},
                                               {"PUMP1", "P1", "--count", "1e3"}}) {
        EXPECT_EQ(Host("read", wrong).exitCode, 2) << wrong[1] << " " << wrong.back();
    }
    EXPECT_EQ(FramesWithLetter('R') + FramesWithLetter('P'), 0u);
}

// A port that does not open names the device tried and the system's reason, and a --port
// that maps another COM name than the configuration's says which one the configuration uses.
TEST_F(ParameterCommandTest, APortThatDoesNotOpenSaysWhichDeviceAndWhy) {
    const auto read = [&](const std::string& mapping) {
        return RunProgram(HostProgram(), {"read", config_, "PUMP1", "P10", "--port", mapping});
    };
    const ProgramResult missing = read("COM3=" + folder_.File("no-such-adapter"));
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find(folder_.File("no-such-adapter") + ": no such device"),
              std::string::npos)
        << missing.err;

    const std::string plain = folder_.File("plain-file");
    testing_support::WriteText(plain, "not a port");
    const ProgramResult notSerial = read("COM3=" + plain);
    EXPECT_NE(notSerial.err.find(plain + ": not a serial device"), std::string::npos)
        << notSerial.err;

    const ProgramResult otherName = read("COM4=" + line_->Path());
    EXPECT_EQ(otherName.exitCode, 1);
    EXPECT_NE(otherName.err.find("the configuration uses COM3, and --port maps COM4"),
              std::string::npos)
        << otherName.err;

    const int held = open(line_->Path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    const ProgramResult busy = read(PortWord());
    EXPECT_NE(busy.err.find(line_->Path() + ": in use by another program"), std::string::npos)
        << busy.err;
    close(held);
    EXPECT_EQ(FramesWithLetter('R'), 0u);
}

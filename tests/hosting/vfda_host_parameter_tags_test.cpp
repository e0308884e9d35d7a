// vfda-host run shows its parameter tags without a write: read at the start through the
// module's range read, and again on `read TAG` or `read STATION`.
#include "run_fixture.h"

using namespace testing_support;

namespace {

const char* const kParameterTags = "name,type,device,address\n"
                                   "ACC1,analog,PUMP1,P10\n"
                                   "DEC1,analog,PUMP1,P11\n"
                                   "MAX1,analog,PUMP1,P3\n"
                                   "OUT1,analog,PUMP1,D1\n"
                                   "ACC2,analog,PUMP2,P10\n";

LineMatch Value(const std::string& tag, const std::string& value) {
    return Event("value", {{"tag", Quoted(tag)}, {"value", value}});
}

LineMatch ErrorEvent(const std::string& text) {
    return Event("error", {{"text", Quoted(text)}});
}

class ParameterTagRunTest : public VfdaHostRunTest {
protected:
    void SetUp() override {
        VfdaHostRunTest::SetUp();
        WriteText(tags_, kParameterTags);
        ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 75), sim::Outcome::Ok);
        ASSERT_EQ(drives_.SetWord(2, sim::Area::Parameter, 10, 250), sim::Outcome::Ok);
    }

    // The parameter numbers read from a station ("R" frames), in order.
    std::vector<int> ParametersRead(int station) {
        std::vector<int> numbers;
        for (const std::string& frame : Requests()) {
            if (frame.size() == 7 && frame[0] == 'R' && std::stoi(frame.substr(3, 2)) == station) {
                numbers.push_back(std::stoi(frame.substr(5, 2)));
            }
        }
        return numbers;
    }

    size_t WriteFrames() {
        size_t count = 0;
        for (const std::string& frame : Requests()) {
            count += !frame.empty() && frame[0] == 'P' ? 1 : 0;
        }
        return count;
    }
};

TEST_F(ParameterTagRunTest, ParameterTagsShowTheirValuesAtTheStart) {
    auto host = RunJson();
    Expect(*host, Value("ACC1", "7.5"), "ACC1 read at the start");
    Expect(*host, Value("DEC1", "10"), "DEC1 read at the start");
    Expect(*host, Value("MAX1", "60"), "MAX1 read at the start");
    Expect(*host, Value("ACC2", "25"), "PUMP2's tag read at the start");
    EXPECT_EQ(ParametersRead(1), (std::vector<int>{3, 10, 11})) << "only the tags' parameters";
    EXPECT_EQ(ParametersRead(2), std::vector<int>{10});
    EXPECT_EQ(WriteFrames(), 0u);
    for (const std::string& line : host->Lines()) {
        EXPECT_EQ(line.find("\"C0\""), std::string::npos) << "the range words stay hidden";
        EXPECT_FALSE(IsEvent(line, "value", {{"tag", "null"}})) << line;
    }
}

TEST_F(ParameterTagRunTest, ReadShowsATagOrAStationAgainChangedOrNot) {
    auto host = RunJson();
    Expect(*host, Value("ACC2", "25"), "the start's reads");
    ASSERT_EQ(drives_.SetWord(1, sim::Area::Parameter, 10, 123), sim::Outcome::Ok);
    size_t mark = host->LineCount();
    host->Type("read ACC1");
    Expect(*host, Value("ACC1", "12.3"), "the new value on read ACC1", mark);

    mark = host->LineCount();
    host->Type("read pump1"); // station names ignore case
    Expect(*host, Value("DEC1", "10"), "an unchanged value shown again", mark);
    Expect(*host, Value("MAX1", "60"), "every parameter tag of the station", mark);
    Expect(*host, Value("ACC1", "12.3"), "ACC1 again", mark);
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    const std::vector<std::string> lines = host->Lines();
    for (size_t i = mark; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        EXPECT_FALSE(IsEvent(line, "value", {{"tag", Quoted("ACC2")}})) << "PUMP2 was not asked";
    }
    EXPECT_EQ(WriteFrames(), 0u);
}

TEST_F(ParameterTagRunTest, ReadRefusesWhatIsNoParameterTag) {
    auto host = RunJson();
    Expect(*host, Value("ACC2", "25"), "the start's reads");
    host->Type("read OUT1");
    Expect(*host, ErrorEvent("read: OUT1 is not a registered parameter tag"), "a D tag");
    host->Type("read NOPE");
    Expect(*host, ErrorEvent("read: no tag or station named NOPE"), "an unknown name");
    host->Type("read");
    Expect(*host, ErrorEvent("usage: read TAG|STATION"), "a missing name");
    host->Type("stop");
    host->Type("read ACC1");
    Expect(*host, ErrorEvent("read: not sent: communication is stopped"), "a stopped line");
}

TEST_F(ParameterTagRunTest, TextOutputShowsTheValuesToo) {
    auto host = Run();
    Expect(*host, Containing("ACC1 (1) = 7.5"), "ACC1 in text");
    Expect(*host, Containing("ACC2 (5) = 25"), "ACC2 in text");
}

} // namespace

namespace {

TEST(ParameterTagRunHelp, RunHelpListsTheReadCommand) {
    const ProgramResult help = RunProgram(HostProgram(), {"run", "--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("read TAG|STATION"), std::string::npos) << help.out;
}

} // namespace

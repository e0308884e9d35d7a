// vfda-host run for the person watching a line: the settings said at the start, failures
// explained per station with what to check, the module's message numbers and --strict.
#include "json_value.h"
#include "run_fixture.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A number field of a JSON line; -1 when it is missing or not a number.
double NumberField(const std::string& line, const std::string& key) {
    const auto object = ParseJson(line);
    const JsonValue* value = object ? object->Find(key) : nullptr;
    return value != nullptr && value->kind == JsonValue::Kind::Number ? value->number : -1;
}

LineMatch HintContaining(const std::string& text) {
    return [=](const std::string& line) {
        const auto object = ParseJson(line);
        const JsonValue* event = object ? object->Find("event") : nullptr;
        const JsonValue* said = object ? object->Find("text") : nullptr;
        return event != nullptr && event->text == "hint" && said != nullptr &&
               said->text.find(text) != std::string::npos;
    };
}

} // namespace

TEST_F(VfdaHostRunTest, TheSettingsLineComesFirst) {
    auto host = RunJson();
    // PUMP1 polls groups 0, 1 and 3, PUMP2 group 1: four queries of 42 ms and their pauses.
    const std::string settings = Expect(*host,
                                        Event("settings", {{"port", Quoted("COM3")},
                                                           {"device", Quoted(line_->Path())},
                                                           {"baud", "4800"},
                                                           {"framing", Quoted("8-O-1")},
                                                           {"rts_cts", Quoted("off")},
                                                           {"station_count", "2"},
                                                           {"stations", Quoted("PUMP1=1,PUMP2=2")},
                                                           {"refresh_ms", "568"}}),
                                        "settings");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    const std::vector<std::string> lines = host->Lines();
    const auto first = std::find_if(lines.begin(), lines.end(), Event("value", {}));
    const auto said = std::find(lines.begin(), lines.end(), settings);
    EXPECT_LT(said, first) << "the settings come before the first value";
}

TEST_F(VfdaHostRunTest, TextSettingsNameTheLine) {
    auto host = Run();
    Expect(*host,
           Containing("line   COM3 (" + line_->Path() +
                      "), 4800 baud 8-O-1, RTS/CTS off, stations PUMP1 (01), PUMP2 (02), values "
                      "refresh every 568 ms"),
           "settings text");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, StatsGiveResponseTimesAndAStationAnsweringUnderAnotherNumber) {
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::WrongStation));
    auto host = RunJson();
    Expect(*host, Event("log", {{"number", "16"}}), "message 16 numbered");
    host->Type("stats");
    const std::string good = Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}}), "PUMP1");
    EXPECT_GT(NumberField(good, "requests"), 0);
    EXPECT_GE(NumberField(good, "response_min_ms"), 0) << good;
    EXPECT_GE(NumberField(good, "response_median_ms"), NumberField(good, "response_min_ms"));
    EXPECT_GE(NumberField(good, "response_p95_ms"), NumberField(good, "response_median_ms"));
    EXPECT_GE(NumberField(good, "response_max_ms"), NumberField(good, "response_p95_ms"));
    EXPECT_EQ(NumberField(good, "other_station"), 0);
    EXPECT_EQ(NumberField(good, "timeouts"), 0);

    const std::string bad = Expect(
        *host,
        Event("stats",
              {{"station", Quoted("PUMP2")}, {"response_min_ms", "null"}, {"timeouts", "0"}}),
        "PUMP2");
    EXPECT_GT(NumberField(bad, "other_station"), 0) << bad;
    EXPECT_GE(NumberField(bad, "answered_as"), 0) << bad;
    EXPECT_NE(NumberField(bad, "answered_as"), 2) << bad;
    Expect(*host, HintContaining("PUMP2 (02) is answered under number"), "renumbered hint");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, GarbledAndRefusedAnswersAreCountedByCause) {
    ASSERT_TRUE(drives_.SetFault(1, sim::FaultKind::BadDigits));
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::Refused));
    auto host = RunJson();
    Expect(*host, Event("log", {{"number", "11"}}), "message 11 numbered");
    Expect(*host, Event("log", {{"number", "12"}}), "message 12 numbered");
    host->Type("stats");
    const std::string one = Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}}), "PUMP1");
    EXPECT_GT(NumberField(one, "garbled"), 0) << one;
    EXPECT_EQ(NumberField(one, "refused"), 0) << one;
    const std::string two = Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}}), "PUMP2");
    EXPECT_GT(NumberField(two, "refused"), 0) << two;
    EXPECT_EQ(NumberField(two, "garbled"), 0) << two;
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, StrictFailsARunWithASilentStation) {
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::Silent));
    auto host = RunJson({"--strict"});
    Expect(*host, Event("log", {{"number", "10"}}), "a numbered time-out");
    host->Type("quit");
    Expect(*host, HintContaining("PUMP2 (02) never answers"), "silent station hint");
    const std::string final =
        Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}, {"response_min_ms", "null"}}),
               "final statistics");
    EXPECT_GT(NumberField(final, "timeouts"), 0) << final;
    EXPECT_EQ(host->WaitForExit(), 3);
}

TEST_F(VfdaHostRunTest, StrictPassesWhenEveryStationAnswers) {
    auto host = RunJson({"--strict"});
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "both stations answered");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    for (const std::string& line : host->Lines()) {
        EXPECT_FALSE(Event("hint", {})(line)) << line;
    }
}

TEST_F(VfdaHostRunTest, StrictFailsWhenThePortDoesNotOpen) {
    const ProgramResult result =
        RunProgram(HostProgram(), {"run", config_, "--tags", tags_, "--json", "--strict", "--port",
                                   "COM3=" + folder_.File("unplugged")});
    EXPECT_EQ(result.exitCode, 3) << result.out;
    EXPECT_TRUE(AllJsonObjects(SplitLines(result.out)));
}

TEST_F(VfdaHostRunTest, ASilentLineSaysNoStationAnswers) {
    line_->FallSilent(); // nothing answers on the line any more
    auto host = RunJson({"--strict"});
    Expect(*host, Event("log", {{"number", "10"}}), "a time-out");
    host->Type("quit");
    Expect(*host, HintContaining("no station answers at all"), "line hint");
    EXPECT_EQ(host->WaitForExit(), 3);
}

TEST_F(VfdaHostRunTest, AnAdapterThatEchoesIsNamedAsTheCause) {
    ASSERT_TRUE(drives_.SetFault(1, sim::FaultKind::Echo));
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "PUMP2 still answers");
    host->Type("stats");
    const std::string echoed =
        Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}}), "PUMP1");
    EXPECT_GT(NumberField(echoed, "echo"), 0) << echoed;
    EXPECT_EQ(NumberField(echoed, "garbled"), 0) << echoed;
    Expect(*host, HintContaining("echoes every request"), "echo hint");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, NoiseBeforeAnswersIsNamedAsTheCause) {
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::NoiseBefore));
    auto host = RunJson({"--trace"});
    Expect(*host, Event("frame", {{"direction", Quoted("skipped")}}), "skipped bytes traced");
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "PUMP2 answers after the noise");
    host->Type("stats");
    const std::string clean =
        Expect(*host, Event("stats", {{"station", Quoted("PUMP1")}}), "PUMP1");
    EXPECT_EQ(NumberField(clean, "noise"), 0) << clean;
    const std::string noisy =
        Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}}), "PUMP2");
    EXPECT_GT(NumberField(noisy, "noise"), 0) << noisy;
    EXPECT_EQ(NumberField(noisy, "noise_bytes"), 8 * NumberField(noisy, "noise")) << noisy;
    EXPECT_EQ(NumberField(noisy, "garbled"), 0) << noisy;
    Expect(*host, HintContaining("noise comes before the answers of station PUMP2 (02)"),
           "noise hint");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    EXPECT_TRUE(AllJsonObjects(host->Lines()));
}

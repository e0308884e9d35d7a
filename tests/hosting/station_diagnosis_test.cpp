// The trace-based diagnosis of a run, fed with scripted frames as the line carries them.
#include "drive_frames.h"
#include "line_settings.h"
#include "message_number.h"
#include "station_diagnosis.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vfdahost;
using namespace testing_support;

namespace {

using Clock = StationDiagnoses::Clock;

} // namespace

TEST(StationDiagnosesTest, TimesAndCausesAreCountedPerStation) {
    StationDiagnoses diagnoses;
    const Clock::time_point start{};
    for (int i = 1; i <= 20; ++i) {
        diagnoses.Sent(ReadRequest("01"), start);
        diagnoses.Received(ReadAnswer("01"), start + std::chrono::milliseconds(i));
    }
    diagnoses.Sent(ReadRequest("02"), start); // no answer before the next request: a time-out
    diagnoses.Sent(ReadRequest("02"), start);
    diagnoses.Received(ReadAnswer("07"), start);
    diagnoses.Sent(ReadRequest("01"), start); // still waiting: not counted yet

    const StationDiagnosis one = diagnoses.Of(1);
    EXPECT_EQ(one.requests, 21);
    EXPECT_EQ(one.Count(AnswerCause::Answered), 20);
    EXPECT_EQ(one.Count(AnswerCause::TimeOut), 0);
    ASSERT_TRUE(one.response);
    EXPECT_DOUBLE_EQ(one.response->minMs, 1);
    EXPECT_DOUBLE_EQ(one.response->medianMs, 10);
    EXPECT_DOUBLE_EQ(one.response->p95Ms, 19);
    EXPECT_DOUBLE_EQ(one.response->maxMs, 20);

    const StationDiagnosis two = diagnoses.Of(2);
    EXPECT_EQ(two.requests, 2);
    EXPECT_EQ(two.Count(AnswerCause::TimeOut), 1);
    EXPECT_EQ(two.Count(AnswerCause::OtherStation), 1);
    EXPECT_EQ(two.answeredAs, 7);
    EXPECT_FALSE(two.response);
    EXPECT_EQ(diagnoses.Asked(), (std::vector<int>{1, 2}));

    // The driver gives up after its receive limit; a stopped line answers nothing more.
    diagnoses.Settle(start + StationDiagnoses::kReceiveLimit);
    EXPECT_EQ(diagnoses.Of(1).Count(AnswerCause::TimeOut), 0);
    diagnoses.Settle(std::nullopt);
    EXPECT_EQ(diagnoses.Of(1).Count(AnswerCause::TimeOut), 1);

    diagnoses.Clear(2);
    EXPECT_EQ(diagnoses.Of(2).requests, 0);
    EXPECT_EQ(diagnoses.Of(1).requests, 21);
}

TEST(StationDiagnosesTest, BytesSkippedBeforeAnAnswerCountAsNoiseOfThatStation) {
    StationDiagnoses diagnoses;
    const Clock::time_point start{};
    const std::vector<uint8_t> noise = {0xFF, 0x00, 0x55};
    diagnoses.Skipped(noise); // nothing asked yet: no station's
    diagnoses.Sent(ReadRequest("01"), start);
    diagnoses.Skipped(noise);
    diagnoses.Skipped({noise.begin(), noise.begin() + 1});
    diagnoses.Received(ReadAnswer("01"), start);
    diagnoses.Sent(ReadRequest("01"), start); // a clean answer
    diagnoses.Received(ReadAnswer("01"), start);
    diagnoses.Sent(ReadRequest("02"), start); // only noise, then nothing: a time-out with noise
    diagnoses.Skipped(noise);
    diagnoses.Settle(std::nullopt);

    const StationDiagnosis one = diagnoses.Of(1);
    EXPECT_EQ(one.noisy, 1);
    EXPECT_EQ(one.noiseBytes, 4);
    EXPECT_EQ(one.Count(AnswerCause::Answered), 2) << "noise before an answer spoils nothing";
    const StationDiagnosis two = diagnoses.Of(2);
    EXPECT_EQ(two.noisy, 1);
    EXPECT_EQ(two.noiseBytes, 3);
    EXPECT_EQ(two.Count(AnswerCause::TimeOut), 1);

    const auto hints = HintsFor({{"PUMP1", 1}, {"PUMP3", 3}}, diagnoses);
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0].station, "PUMP1");
    EXPECT_NE(hints[0].text.find("noise comes before the answers of station PUMP1 (01)"),
              std::string::npos)
        << hints[0].text;
}

TEST(StationDiagnosesTest, HintsSayWhatToCheck) {
    const std::vector<NamedStation> stations = {{"PUMP1", 1}, {"PUMP2", 2}};
    const Clock::time_point now{};
    for (const bool secondAsked : {true, false}) {
        StationDiagnoses silentLine;
        silentLine.Sent(ReadRequest("01"), now);
        if (secondAsked) {
            silentLine.Sent(ReadRequest("02"), now);
        }
        silentLine.Sent(ReadRequest("01"), now);
        silentLine.Settle(now + std::chrono::seconds(2));
        const auto hints = HintsFor(stations, silentLine);
        ASSERT_EQ(hints.size(), 1u);
        EXPECT_FALSE(hints[0].station);
        EXPECT_NE(hints[0].text.find("no station answers at all"), std::string::npos);
    }
    {
        StationDiagnoses oneSilent;
        oneSilent.Sent(ReadRequest("01"), now);
        oneSilent.Received(ReadAnswer("01"), now);
        oneSilent.Sent(ReadRequest("02"), now);
        oneSilent.Sent(ReadRequest("01"), now);
        const auto hints = HintsFor(stations, oneSilent);
        ASSERT_EQ(hints.size(), 1u);
        EXPECT_EQ(hints[0].station, "PUMP2");
        EXPECT_NE(hints[0].text.find("PUMP2 (02) never answers"), std::string::npos);
    }
    {
        StationDiagnoses echoing;
        auto echoed = ReadRequest("01");
        echoed.insert(echoed.end(), {'R', 0x03, 0x06, '0'});
        echoing.Sent(ReadRequest("01"), now);
        echoing.Received(echoed, now);
        const auto hints = HintsFor(stations, echoing);
        ASSERT_EQ(hints.size(), 1u);
        EXPECT_NE(hints[0].text.find("RS-485 echo"), std::string::npos);
    }
    {
        StationDiagnoses renumbered;
        renumbered.Sent(ReadRequest("01"), now);
        renumbered.Received(ReadAnswer("05"), now);
        const auto hints = HintsFor(stations, renumbered);
        ASSERT_EQ(hints.size(), 1u);
        EXPECT_NE(hints[0].text.find("PUMP1 (01) is answered under number 05"), std::string::npos);
    }
    {
        StationDiagnoses healthy;
        healthy.Sent(ReadRequest("01"), now);
        healthy.Received(ReadAnswer("01"), now);
        EXPECT_TRUE(HintsFor(stations, healthy).empty());
    }
}

TEST(MessageNumberTest, LinesOfTheModuleAreNumbered) {
    // The texts are the module's own, in CP949: "스테이션[PUMP1]과 통신할 수 없습니다."
    const std::string lost = "[DELTA VFD-A] \xBD\xBA\xC5\xD7\xC0\xCC\xBC\xC7[PUMP1]\xB0\xFA "
                             "\xC5\xEB\xBD\xC5\xC7\xD2 \xBC\xF6 \xBE\xF8\xBD\xC0\xB4\xCF\xB4\xD9.";
    EXPECT_EQ(MessageNumber(lost), 14);
    EXPECT_EQ(MessageNumber("[DELTA VFD-A] \xC5\xEB\xBD\xC5\xBD\xC3\xC0\xDB"), 1); // 통신시작
    EXPECT_FALSE(MessageNumber(lost.substr(14)));                                  // no prefix
    EXPECT_FALSE(MessageNumber("[DELTA VFD-A] something else"));
}

TEST(LineSettingsTest, APassCountsEveryGroupQueryAndItsPause) {
    // 18 bytes of 11 bits at 4800 baud: 42 ms on the wire, then the 100 ms pause.
    EXPECT_EQ(PassMs(4800, 11, {{"A", 1, 3}, {"B", 2, 1}}), 4 * (42 + 100));
    EXPECT_EQ(PassMs(1200, 11, {{"A", 1, 1}}), 165 + 100);
    EXPECT_EQ(PassMs(4800, 11, {}), 100); // a pass lasts 100 ms at least
    EXPECT_EQ(PolledGroup("D1"), 1);
    EXPECT_EQ(PolledGroup("d4.0"), 3);
    EXPECT_EQ(PolledGroup("D3"), 3);
    EXPECT_FALSE(PolledGroup("P10"));
    EXPECT_FALSE(PolledGroup("D"));
}

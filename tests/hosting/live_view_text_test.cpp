// The live view's cells: a station's link state in the order that matters to the person at
// the panel, failures named by cause, values with the tags that have none yet.
#include "live_view_text.h"

#include <gtest/gtest.h>

namespace vfdahost {
namespace {

HostSession::StationView Station(int32_t status, int64_t requests) {
    HostSession::StationView station;
    station.name = "PUMP1";
    station.status = status;
    station.diagnosis.requests = requests;
    return station;
}

TEST(LiveViewTextTest, TheLinkStateSaysWhatMattersFirst) {
    EXPECT_EQ(LinkStateText(Station(0, 0)), "-") << "never asked";
    EXPECT_EQ(LinkStateText(Station(0, 3)), "good");
    EXPECT_EQ(LinkStateText(Station(1, 3)), "failing");
    HostSession::StationView lost = Station(1, 9);
    lost.lost = true;
    EXPECT_EQ(LinkStateText(lost), "lost");
    HostSession::StationView disabled = lost;
    disabled.status = -1;
    EXPECT_EQ(LinkStateText(disabled), "disabled");
    disabled.backedOff = true;
    EXPECT_EQ(LinkStateText(disabled), "backed off");
}

TEST(LiveViewTextTest, FailuresAreCountedByCauseAndValuesByTag) {
    StationDiagnosis figures;
    EXPECT_EQ(FailuresText(figures), "0");
    figures.causes[static_cast<size_t>(AnswerCause::Answered)] = 40;
    figures.causes[static_cast<size_t>(AnswerCause::TimeOut)] = 5;
    figures.causes[static_cast<size_t>(AnswerCause::Garbled)] = 1;
    figures.causes[static_cast<size_t>(AnswerCause::Echo)] = 12;
    EXPECT_EQ(FailuresText(figures), "t5 g1 e12");

    HostSession::StationView station = Station(0, 1);
    station.values = {{"FREQ", 12.3}, {"RUN", std::nullopt}, {"ACC", 100}};
    EXPECT_EQ(ValuesText(station), "FREQ=12.3 RUN=? ACC=100");
    EXPECT_EQ(MillisecondsText(51.6), "52");
    EXPECT_EQ(MillisecondsText(std::nullopt), "-");
}

} // namespace
} // namespace vfdahost

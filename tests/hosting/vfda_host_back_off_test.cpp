// run --back-off on a line where one drive falls silent: once the module declares it lost it
// is taken off the line, so the other drive is polled at full pace; it is visited on a
// growing interval and polled as before once it answers again.
#include "run_fixture.h"

#include <thread>

using namespace testing_support;

TEST_F(VfdaHostRunTest, ALostStationIsTakenOffTheLineAndRestoredWhenItAnswers) {
    WriteText(tags_, std::string(kTags) + "CMD2,analog,LINE.PUMP2,D0\n");
    auto host = RunJson({"--back-off", "--back-off-limit", "2"});
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "the second station's value");
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::Silent));
    Expect(*host, Event("log", {{"number", "14"}}), "the link loss");
    const std::string backedOff =
        Expect(*host, Event("backed-off", {{"station", Quoted("PUMP2")}, {"back_offs", "1"}}),
               "the back-off");
    EXPECT_EQ(ParseJson(backedOff)->Find("next_visit_s")->number, 2) << backedOff;

    // Off the line until its first visit (in 2 s), the silent drive is not asked (once the
    // request already on its way when it was lost has timed out), and the other one is
    // asked without waiting a second for it each time.
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const uint64_t silentBefore = line_->FramesFor(2);
    const uint64_t otherBefore = line_->FramesFor(1);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    EXPECT_EQ(line_->FramesFor(2), silentBefore);
    EXPECT_GE(line_->FramesFor(1) - otherBefore, 2u);

    host->Type("write CMD2 1");
    Expect(*host, Event("result", {{"command", Quoted("write")}, {"outcome", Quoted("not sent")}}),
           "a write to the station backed off");

    ASSERT_TRUE(drives_.ClearFault(2));
    const size_t mark = host->LineCount();
    Expect(*host, Event("restored", {{"station", Quoted("PUMP2")}, {"restored", "1"}}),
           "the station answering again", mark);
    Expect(*host, Event("log", {{"number", "15"}}), "the module's restored message", mark);
    host->Type("stats PUMP2");
    const std::string figures =
        Expect(*host, Event("back-off", {{"station", Quoted("PUMP2")}}), "the figures", mark);
    const auto parsed = ParseJson(figures);
    ASSERT_TRUE(parsed) << figures;
    EXPECT_FALSE(parsed->Find("backed_off")->boolean);
    EXPECT_GE(parsed->Find("visits")->number, 1);
    EXPECT_EQ(parsed->Find("restored")->number, 1);
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
}

TEST_F(VfdaHostRunTest, WithoutBackOffALostStationStaysOnTheLine) {
    auto host = RunJson();
    Expect(*host, Event("value", {{"tag", Quoted("OUT2")}}), "the second station's value");
    ASSERT_TRUE(drives_.SetFault(2, sim::FaultKind::Silent));
    Expect(*host, Event("log", {{"number", "14"}}), "the link loss");
    host->Type("stats PUMP2");
    Expect(*host, Event("stats", {{"station", Quoted("PUMP2")}}), "the statistics");
    host->Type("quit");
    EXPECT_EQ(host->WaitForExit(), 0);
    EXPECT_EQ(host->AllOutput().find("backed-off"), std::string::npos);
    EXPECT_EQ(host->AllOutput().find("\"back-off\""), std::string::npos);
}

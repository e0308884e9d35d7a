// vfda-host edit end to end: the module's editor on the terminal window system, typed into
// through a pseudo-terminal, and the file it saves.
#include "pty_session.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

namespace uitest {
namespace {

constexpr int kRows = 36;
constexpr int kColumns = 100;
const char* kSettingsCaption = "DELTA VFD-A Series Motor Driver 설정";

std::string Host() {
    return (testing_support::BinFolder() / "vfda-host").string();
}

// The line vfda-host prints after the editor: "1" or "0".
std::string EditorResult(const std::string& out) {
    const size_t leave = out.rfind("\x1b[?1049l");
    if (leave == std::string::npos) {
        return "";
    }
    std::string rest = out.substr(leave + 8);
    while (!rest.empty() && (rest.back() == '\n' || rest.back() == '\r')) {
        rest.pop_back();
    }
    return rest;
}

TEST(EditCommand, AddsAStationSavesAndTheFileHoldsIt) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("LINE1.cfg");
    PtySession session(Host(), {"edit", config}, kRows, kColumns);
    ASSERT_TRUE(session.Started());
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    EXPECT_TRUE(session.Screen().Contains("LINE1")); // the root item: the file's title
    // Focus starts on the tab control; Tab reaches the tree, then the add button (edit and
    // delete are disabled with nothing selected).
    session.Type("\t\t\r");
    ASSERT_TRUE(session.WaitForText("통신보드 국번")) << session.Screen().Text();
    session.Type("pump1\t\x1b[B\x1b[B\t7\t급수 펌프");
    ASSERT_TRUE(session.WaitForText("[급수 펌프")) << session.Screen().Text();
    session.Type("\r");
    ASSERT_TRUE(session.WaitForText("PUMP1 (07국) : 급수 펌프")) << session.Screen().Text();
    session.Type("\t\r"); // from the add button to save
    session.Type("\x1b"); // exit: nothing left unsaved, so no question
    ASSERT_EQ(session.WaitForExit(), 0) << session.Screen().Text();
    EXPECT_EQ(EditorResult(session.Output()), "1");
    EXPECT_TRUE(session.LineModeRestored());

    const auto shown = testing_support::RunProgram(Host(), {"show", config, "--json"});
    ASSERT_EQ(shown.exitCode, 0) << shown.err;
    EXPECT_NE(shown.out.find(
                  "{\"name\":\"PUMP1\",\"description\":\"급수 펌프\",\"model\":2,\"number\":7}"),
              std::string::npos)
        << shown.out;
}

TEST(EditCommand, LeavingWithoutSavingAsksAndNoLeavesTheFileAlone) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("LINE2.cfg");
    PtySession session(Host(), {"edit", config}, kRows, kColumns);
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    // The comm port page: Right on the tab control, then the RTS/CTS box.
    session.Type("\x1b[C");
    ASSERT_TRUE(session.WaitForText("RTS/CTS 제어")) << session.Screen().Text();
    session.Type("\t\t\t "); // port, baud, RTS/CTS: the rest is disabled
    ASSERT_TRUE(session.WaitForText("[x] RTS/CTS 제어")) << session.Screen().Text();
    session.Type("\x1b");
    ASSERT_TRUE(session.WaitForText("저장하시겠습니까?")) << session.Screen().Text();
    session.Type("n");
    ASSERT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(EditorResult(session.Output()), "0");
    EXPECT_FALSE(std::filesystem::exists(config));
}

TEST(EditCommand, TheArrowsSelectAStationAndEnterEditsIt) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("LINE3.cfg");
    ASSERT_EQ(testing_support::RunProgram(Host(), {"config", config, "init"}).exitCode, 0);
    ASSERT_EQ(testing_support::RunProgram(
                  Host(), {"config", config, "add-station", "FAN1", "--number", "5"})
                  .exitCode,
              0);
    PtySession session(Host(), {"edit", config}, kRows, kColumns);
    ASSERT_TRUE(session.WaitForText("FAN1 (05국) :")) << session.Screen().Text();
    // The tree, Down to the root, Down to FAN1; Enter is the default button "편 집".
    session.Type("\t\x1b[B\x1b[B\r");
    ASSERT_TRUE(session.WaitForText("[FAN1")) << session.Screen().Text();
    session.Type("\t\t\x1b[A"); // the number field: one up
    ASSERT_TRUE(session.WaitForText("[6 ")) << session.Screen().Text();
    session.Type("\r");
    ASSERT_TRUE(session.WaitForText("FAN1 (06국) :")) << session.Screen().Text();
    session.Type("\x1b"); // changed and unsaved: the question, answered Yes
    ASSERT_TRUE(session.WaitForText("저장하시겠습니까?")) << session.Screen().Text();
    session.Type("y");
    ASSERT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(EditorResult(session.Output()), "1");
    const auto shown = testing_support::RunProgram(Host(), {"show", config, "--json"});
    EXPECT_NE(shown.out.find("\"name\":\"FAN1\",\"description\":\"\",\"model\":0,\"number\":6"),
              std::string::npos)
        << shown.out;
}

TEST(EditCommand, WithoutATerminalItSaysSo) {
    testing_support::TempFolder folder;
    const auto result = testing_support::RunProgram(Host(), {"edit", folder.File("x.cfg")});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("terminal"), std::string::npos);
    const auto usage = testing_support::RunProgram(Host(), {"edit"});
    EXPECT_EQ(usage.exitCode, 2);
}

} // namespace
} // namespace uitest

// vfda-host edit end to end: the module's editor on the terminal window system, typed into
// through a pseudo-terminal, and the file it saves.
#include "pty_session.h"
#include "run_program.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>

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

// A configuration with one station, FAN1 at number 5, written by vfda-host config.
bool WriteConfigWithFan1(const std::string& config) {
    return testing_support::RunProgram(Host(), {"config", config, "init"}).exitCode == 0 &&
           testing_support::RunProgram(Host(),
                                       {"config", config, "add-station", "FAN1", "--number", "5"})
                   .exitCode == 0;
}

// Adds PUMP1, number 7, "급수 펌프", of the model `downs` entries below the first, through
// the station dialog. Focus starts on the tab control; Tab reaches the tree, then the add
// button (edit and delete are disabled with nothing selected).
testing::AssertionResult AddPump1(PtySession& session, int downs) {
    session.Type("\t\t\r");
    if (!session.WaitForText("통신보드 국번")) {
        return testing::AssertionFailure() << "no station dialog\n" << session.Screen().Text();
    }
    std::string keys = "pump1\t";
    for (int down = 0; down < downs; ++down) {
        keys += "\x1b[B";
    }
    session.Type(keys + "\t7\t급수 펌프");
    if (!session.WaitForText("[급수 펌프")) {
        return testing::AssertionFailure() << "not typed\n" << session.Screen().Text();
    }
    session.Type("\r");
    if (!session.WaitForText("PUMP1 (07국) : 급수 펌프")) {
        return testing::AssertionFailure() << "not in the tree\n" << session.Screen().Text();
    }
    return testing::AssertionSuccess();
}

TEST(EditCommand, AddsAStationSavesAndTheFileHoldsIt) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("LINE1.cfg");
    PtySession session(Host(), {"edit", config}, kRows, kColumns);
    ASSERT_TRUE(session.Started());
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    EXPECT_TRUE(session.Screen().Contains("LINE1")); // the root item: the file's title
    ASSERT_TRUE(AddPump1(session, 2));
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
    ASSERT_TRUE(WriteConfigWithFan1(config));
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

// The most common terminal, and the smallest one the settings dialog can be laid out in.
struct TerminalSize {
    int rows;
    int columns;
};
constexpr TerminalSize kClassic{24, 80};
constexpr TerminalSize kSmallest{20, 63};

void PrintTo(const TerminalSize& size, std::ostream* out) {
    *out << size.columns << " x " << size.rows;
}

class EditorInTerminal : public testing::TestWithParam<TerminalSize> {};

TEST_P(EditorInTerminal, OpensAddsAStationSavesAndLeaves) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("SMALL.cfg");
    PtySession session(Host(), {"edit", config}, GetParam().rows, GetParam().columns);
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    EXPECT_FALSE(session.Screen().Contains("too small"));
    for (const char* button : {"[  편 집   ]", "[  삭 제   ]", "스테이션 추가", "[  저 장   ]",
                               "[  종 료   ]", "SMALL"}) {
        EXPECT_TRUE(session.Screen().Contains(button)) << button << "\n" << session.Screen().Text();
    }
    ASSERT_TRUE(AddPump1(session, 1));
    session.Type("\t\r\x1b"); // save, then leave without a question
    ASSERT_EQ(session.WaitForExit(), 0) << session.Screen().Text();
    EXPECT_EQ(EditorResult(session.Output()), "1");
    const auto shown = testing_support::RunProgram(Host(), {"show", config, "--json"});
    EXPECT_NE(shown.out.find("\"name\":\"PUMP1\",\"description\":\"급수 펌프\",\"model\":1,"
                             "\"number\":7"),
              std::string::npos)
        << shown.out;
}

// Every control of the comm port page can be read, each row of controls on a line of its
// own, in order, the frames' borders on lines between them.
TEST_P(EditorInTerminal, TheCommPortPageShowsEveryControlApartAndInOrder) {
    testing_support::TempFolder folder;
    PtySession session(Host(), {"edit", folder.File("PORT.cfg")}, GetParam().rows,
                       GetParam().columns);
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    session.Type("\x1b[C");
    ASSERT_TRUE(session.WaitForText("RTS/CTS 제어")) << session.Screen().Text();
    const ScreenReader& screen = session.Screen();
    const std::vector<std::string> inOrder = {"통신포트[COM1  v]  전송속도[ 4800v]",
                                              "Parity",
                                              "( ) None   ( ) Even   (*) Odd",
                                              "Data Bits        Stop Bit(s)",
                                              "( ) 7 Bits",
                                              "(*) 8 Bits",
                                              "[ ] Check Sum 사용",
                                              "[ ] RTS/CTS 제어"};
    int previous = -1;
    for (const std::string& text : inOrder) {
        const int row = screen.RowOf(text);
        EXPECT_GT(row, previous) << text << "\n" << screen.Text();
        previous = row;
    }
    const int parity = screen.RowOf("( ) None");
    EXPECT_NE(screen.Row(parity - 1).find("┌"), std::string::npos) << screen.Text();
    EXPECT_NE(screen.Row(parity + 1).find("└"), std::string::npos) << screen.Text();
    EXPECT_NE(screen.Row(screen.RowOf("( ) 7 Bits") - 1).find("┌"), std::string::npos);
    EXPECT_NE(screen.Row(screen.RowOf("(*) 8 Bits") + 1).find("└"), std::string::npos);
    EXPECT_TRUE(screen.Contains("(*) 1 Stop Bit")) << screen.Text();
    // One cell too long for its frame: the blank after the mark gives way, the border stays.
    EXPECT_TRUE(screen.Contains("( )2 Stop Bits│")) << screen.Text();
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
}

// The longest message box, the delete question with its line break, whole over the dialog.
TEST_P(EditorInTerminal, TheDeleteQuestionIsShownWholeAndAnswered) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("DELETE.cfg");
    ASSERT_TRUE(WriteConfigWithFan1(config));
    PtySession session(Host(), {"edit", config}, GetParam().rows, GetParam().columns);
    ASSERT_TRUE(session.WaitForText("FAN1 (05국) :")) << session.Screen().Text();
    session.Type("\t\x1b[B\x1b[B\t\t\r"); // the tree, FAN1, then the delete button
    ASSERT_TRUE(session.WaitForText("삭제하시겠습니까?")) << session.Screen().Text();
    const ScreenReader& screen = session.Screen();
    EXPECT_TRUE(screen.Contains("선택된 스테이션을 삭제하면")) << screen.Text();
    EXPECT_TRUE(screen.Contains("같이 삭제됩니다.")) << screen.Text();
    EXPECT_TRUE(screen.Contains("[ 예(Y) ] [ 아니요(N) ]")) << screen.Text();
    session.Type("y");
    ASSERT_TRUE(session.WaitFor([](const ScreenReader& shown) {
        return !shown.Contains("FAN1") && !shown.Contains("삭제하시겠습니까?");
    })) << session.Screen().Text();
    session.Type("\x1b");
    ASSERT_TRUE(session.WaitForText("저장하시겠습니까?")) << session.Screen().Text();
    session.Type("n");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(EditorResult(session.Output()), "0");
}

INSTANTIATE_TEST_SUITE_P(Sizes, EditorInTerminal, testing::Values(kClassic, kSmallest),
                         [](const testing::TestParamInfo<TerminalSize>& size) {
                             return std::to_string(size.param.columns) + "x" +
                                    std::to_string(size.param.rows);
                         });

// One line less than the smallest: the message, wrapped to the width there is, names what the
// dialog needs and what the terminal has; a resize brings the dialog back.
TEST(EditCommand, BelowTheSmallestSizeItSaysWhatItNeedsAndTheResizeRedraws) {
    testing_support::TempFolder folder;
    PtySession session(Host(), {"edit", folder.File("TINY.cfg")}, kSmallest.rows - 1, 30);
    ASSERT_TRUE(session.WaitForText("too small")) << session.Screen().Text();
    // Wrapped between words: the rows joined by blanks give the whole text back.
    std::string joined;
    for (int row = 0; row < kSmallest.rows - 1; ++row) {
        joined += session.Screen().Row(row) + " ";
    }
    EXPECT_NE(joined.find("it needs 63 x 20"), std::string::npos) << session.Screen().Text();
    EXPECT_NE(joined.find("the terminal has 30 x 19"), std::string::npos)
        << session.Screen().Text();
    session.Resize(kClassic.rows, kClassic.columns);
    ASSERT_TRUE(session.WaitForText(kSettingsCaption)) << session.Screen().Text();
    // At 80 x 24 the dialog takes the whole height: its last border on the last line.
    EXPECT_NE(session.Screen().Row(kClassic.rows - 1).find("└"), std::string::npos)
        << session.Screen().Text();
    session.Resize(kSmallest.rows, kSmallest.columns);
    ASSERT_TRUE(session.WaitFor([](const ScreenReader& screen) {
        return screen.Row(kSmallest.rows - 1).find("└") != std::string::npos &&
               !screen.Contains("too small");
    })) << session.Screen().Text();
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(EditorResult(session.Output()), "0");
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
// A terminal that cannot move the cursor, or a locale that cannot show the editor's
// characters, gets the reason and not a screenful of escape sequences.
TEST(EditCommand, ATerminalThatCannotDrawTheEditorIsRefusedWithTheReason) {
    testing_support::TempFolder folder;
    const std::string config = folder.File("DUMB.cfg");
    const std::pair<const char*, const char*> kCases[] = {{"TERM=dumb", "TERM is dumb"},
                                                          {"LC_ALL=C", "the locale C cannot show"}};
    for (const auto& [setting, reason] : kCases) {
        PtySession session("/usr/bin/env", {setting, Host(), "edit", config}, kRows, kColumns);
        ASSERT_TRUE(session.Started());
        EXPECT_EQ(session.WaitForExit(), 1) << setting;
        EXPECT_NE(session.Output().find(reason), std::string::npos) << session.Output();
        EXPECT_EQ(session.Output().find("\x1b["), std::string::npos) << setting;
        EXPECT_FALSE(std::filesystem::exists(config)) << setting;
    }
}

} // namespace uitest

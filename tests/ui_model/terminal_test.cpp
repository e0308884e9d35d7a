// The terminal window system as a user meets it: the probe's dialog in a pseudo-terminal,
// keys typed in, the screen read back.
#include "pty_session.h"
#include "run_program.h"
#include "test_files.h"

#include <csignal>
#include <gtest/gtest.h>

namespace uitest {
namespace {

constexpr int kRows = 30;
constexpr int kColumns = 90;
const char* kCaption = "스테이션 설정";
const char* kDown = "\x1b[B";
const char* kUp = "\x1b[A";
const char* kShiftTab = "\x1b[Z";

std::string Probe() {
    return (testing_support::BinFolder() / "ui_terminal_probe").string();
}

// The line the probe prints after the dialog, or "" when it did not come.
std::string ResultLine(const PtySession& session) {
    const std::string& out = session.Output();
    const size_t at = out.rfind("result=");
    if (at == std::string::npos) {
        return "";
    }
    return out.substr(at, out.find_first_of("\r\n", at) - at);
}

class TerminalDialog : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(session.Started());
        ASSERT_TRUE(session.WaitForText(kCaption)) << session.Screen().Text();
    }
    // Types and waits until the screen shows the text.
    void TypeAndSee(const std::string& keys, const std::string& shown) {
        session.Type(keys);
        ASSERT_TRUE(session.WaitForText(shown)) << session.Screen().Text();
    }
    void TypeAndHighlight(const std::string& keys, const std::string& focused) {
        session.Type(keys);
        ASSERT_TRUE(session.WaitFor([&](const ScreenReader& screen) {
            return screen.Highlighted().find(focused) != std::string::npos;
        })) << "highlighted: "
            << session.Screen().Highlighted() << "\n"
            << session.Screen().Text();
    }
    PtySession session{Probe(), {}, kRows, kColumns};
};

TEST_F(TerminalDialog, TypingListsAndTheSpinFillTheFieldsAndEnterConfirms) {
    // The name field converts letters to upper case; Hangul is typed as UTF-8.
    TypeAndSee("pump한1", "[PUMP한1");
    TypeAndSee(std::string("\t") + kDown, "[B");
    TypeAndSee(std::string("\t") + kUp + kUp + kUp, "[3 ");
    TypeAndSee("\tinlet 급수", "[inlet 급수");
    session.Type("\r");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(ResultLine(session),
              "result=1 name=PUMP한1 model=1 number=3 description=inlet 급수 boxes= nested=0");
}

TEST_F(TerminalDialog, SpaceOpensADropDownListAndEnterChooses) {
    session.Type("\t ");
    ASSERT_TRUE(session.WaitFor([](const ScreenReader& screen) {
        return screen.Contains("│B") && screen.Contains("│C");
    })) << session.Screen().Text();
    session.Type("\x1b"); // closes the list only
    ASSERT_TRUE(session.WaitFor([](const ScreenReader& screen) { return !screen.Contains("│C"); }))
        << session.Screen().Text();
    ASSERT_TRUE(session.Screen().Contains(kCaption));
    session.Type(std::string(" ") + kDown + kDown + "\r");
    ASSERT_TRUE(session.WaitForText("[C ")) << session.Screen().Text();
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(ResultLine(session).substr(0, 8), "result=2");
}

TEST_F(TerminalDialog, TabAndShiftTabFollowTheTemplateOrder) {
    // name -> model -> number -> description -> OK -> Cancel, then around again.
    TypeAndHighlight("\t\t\t\t\t", "Cancel");
    TypeAndHighlight(kShiftTab, "OK");
    TypeAndSee("\t\tx", "[X "); // Cancel, then the name field: upper case
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_EQ(ResultLine(session).substr(0, 8), "result=2");
}

TEST_F(TerminalDialog, EditingKeysWorkOnCharactersNotBytes) {
    TypeAndSee("ab한c", "[AB한C");
    // Left twice puts the caret before 한; Backspace removes B; Delete removes 한.
    TypeAndSee("\x1b[D\x1b[D\x7f", "[A한C");
    TypeAndSee("\x1b[3~", "[AC");
    TypeAndSee("\x1b[Hz\x1b[Fy", "[ZACY");
    session.Type("\r");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(ResultLine(session).find("name=ZACY "), std::string::npos);
}

TEST_F(TerminalDialog, AMessageBoxIsDrawnOverTheDialogAndAnswered) {
    TypeAndSee("\r", "스테이션 이름이 설정되지 않았습니다.");
    EXPECT_TRUE(session.Screen().Contains("[ 확인 ]"));
    EXPECT_TRUE(session.Screen().Contains("Probe"));
    session.Type("\r");
    ASSERT_TRUE(session.WaitFor(
        [](const ScreenReader& screen) { return !screen.Contains("스테이션 이름이 설정되지"); }));
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(ResultLine(session).find("result=2 "), std::string::npos);
    EXPECT_NE(ResultLine(session).find("boxes=1 "), std::string::npos);
}

TEST_F(TerminalDialog, AYesNoBoxTakesItsLettersAndIgnoresEscape) {
    TypeAndSee("ask\r", "저장하시겠습니까?");
    EXPECT_TRUE(session.Screen().Contains("[ 예(Y) ] [ 아니요(N) ]"));
    session.Type("\x1b"); // no cancel button: the box stays
    session.Type("n");    // No: the dialog stays open
    ASSERT_TRUE(session.WaitFor(
        [](const ScreenReader& screen) { return !screen.Contains("저장하시겠습니까?"); }));
    TypeAndSee("\r", "저장하시겠습니까?");
    TypeAndHighlight("\x1b[C", "아니요(N)");
    session.Type("\x1b[D\r"); // back to Yes, Enter
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(ResultLine(session).find("result=1 "), std::string::npos);
    EXPECT_NE(ResultLine(session).find("boxes=7,6 "), std::string::npos);
}

TEST_F(TerminalDialog, ANestedDialogIsDrawnOverItsOwner) {
    session.Type("nest\r");
    ASSERT_TRUE(session.WaitFor([](const ScreenReader& screen) {
        int captions = 0;
        for (int row = 0; row < kRows; ++row) {
            captions += screen.Row(row).find("스테이션 설정") != std::string::npos ? 1 : 0;
        }
        return captions == 2;
    })) << session.Screen().Text();
    // The owner's caption is a line above the nested one, which is on top.
    const int ownerRow = session.Screen().RowOf(kCaption);
    EXPECT_EQ(session.Screen().Row(ownerRow + 1).find("스테이션 설정") != std::string::npos, true);
    TypeAndSee("inner", "[INNER");
    session.Type("\x1b");
    ASSERT_TRUE(
        session.WaitFor([](const ScreenReader& screen) { return !screen.Contains("INNER"); }));
    session.Type("\x1b");
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(ResultLine(session).find("result=1 name=NEST"), std::string::npos);
    EXPECT_NE(ResultLine(session).find("nested=2"), std::string::npos);
}

TEST(TerminalSignals, SigintAndSigtermPutTheTerminalBack) {
    for (const int signal : {SIGINT, SIGTERM}) {
        PtySession session(Probe(), {}, kRows, kColumns);
        ASSERT_TRUE(session.WaitForText(kCaption)) << session.Screen().Text();
        session.Signal(signal);
        EXPECT_EQ(session.WaitForExit(), 128 + signal);
        const std::string& out = session.Output();
        ASSERT_NE(out.rfind("\x1b[?1049l"), std::string::npos) << "signal " << signal;
        EXPECT_GT(out.rfind("\x1b[?1049l"), out.rfind("\x1b[?1049h"));
        EXPECT_TRUE(session.LineModeRestored()) << "signal " << signal;
    }
}

TEST(TerminalSize, ATooSmallTerminalSaysSoUntilItGrows) {
    PtySession session(Probe(), {}, 12, 40);
    ASSERT_TRUE(session.Started());
    ASSERT_TRUE(session.WaitForText("too small")) << session.Screen().Text();
    session.Resize(kRows, kColumns);
    ASSERT_TRUE(session.WaitForText(kCaption)) << session.Screen().Text();
    session.Resize(12, 40);
    ASSERT_TRUE(session.WaitForText("too small"));
    session.Type("\x1b"); // Escape still cancels
    EXPECT_EQ(session.WaitForExit(), 0);
    EXPECT_NE(ResultLine(session).find("result=2 "), std::string::npos);
}

TEST(TerminalSize, WithoutATerminalTheProbeRefusesToStart) {
    const auto result = testing_support::RunProgram(Probe(), {});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_NE(result.err.find("terminal"), std::string::npos);
}

} // namespace
} // namespace uitest

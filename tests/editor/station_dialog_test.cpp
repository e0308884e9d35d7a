// The station dialog: what it shows, and each refused input with its message and focus.
#include "dialog_fixture.h"

using namespace editor_test;

namespace {

HeadlessWindowSystem::Step ExpectStillOpenWithFocusOn(int field) {
    return [field](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kStationDialog);
        EXPECT_EQ(ui.FocusedControlId(), field);
        EXPECT_TRUE(ui.FocusedTextSelected());
    };
}

} // namespace

TEST_F(EditorDialogTest, ANewStationStartsEmptyWithTheFocusOnTheName) {
    ui_.Then(Click(kAdd));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kStationDialog);
        EXPECT_EQ(ui.FocusedControlId(), kName);
        EXPECT_EQ(ui.ControlText(kName), "");
        EXPECT_EQ(ui.ControlItems(kModel).size(), 23u);
        EXPECT_EQ(ui.ControlItems(kModel).front(), "VFD007A21A");
        EXPECT_EQ(ui.ControlItems(kModel).back(), "VFD220A43A");
        EXPECT_EQ(ui.ControlCurSel(kModel), 0);
        EXPECT_EQ(ui.ControlText(kNumber), "0");
        EXPECT_EQ(ui.ControlText(kDescription), "");
        // The up-down control runs from 0 to 31.
        EXPECT_TRUE(ui.Spin(kSpin, 40));
        EXPECT_EQ(ui.ControlText(kNumber), "31");
        EXPECT_TRUE(ui.Spin(kSpin, -45));
        EXPECT_EQ(ui.ControlText(kNumber), "0");
    }));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_TRUE(document_.Stations().empty());
}

TEST_F(EditorDialogTest, ANumberThatIsNoIntegerGetsTheStandardPrompt) {
    ui_.Then(Click(kAdd));
    ui_.Then(Type(kName, "PUMP1"));
    ui_.Then(Type(kNumber, "3x"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kNumber));
    ui_.Then(Type(kNumber, " 12 "));
    ui_.Then(Click(kRegister));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdOk);
    ui_.AnswerNextMessageBox(ui::kIdNo);
    RunSettings();
    EXPECT_EQ(BoxTexts(ui_), (std::vector<std::string>{"Enter an integer.", kSaveQuestion}));
    EXPECT_TRUE(HostCodes().empty());
    ASSERT_EQ(document_.Stations().size(), 1u);
    EXPECT_EQ(document_.Stations()[0]->m_stationNumber, 12);
}

TEST_F(EditorDialogTest, ThirtyTwoIsRefusedByTheRangeCheckBeforeAnyMessageOfTheModule) {
    ui_.Then(Click(kAdd));
    ui_.Then(Type(kName, "   ")); // would be 2700, but the range check comes first
    ui_.Then(Type(kNumber, "32"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kNumber));
    ui_.Then(Type(kNumber, "-1"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kNumber));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    RunSettings();
    const std::string prompt = "Enter an integer between 0 and 31.";
    EXPECT_EQ(BoxTexts(ui_), (std::vector<std::string>{prompt, prompt}));
    EXPECT_TRUE(HostCodes().empty());
    EXPECT_TRUE(document_.Stations().empty());
}

TEST_F(EditorDialogTest, AnEmptyNameIsReportedBeforeATakenNumber) {
    AddToDocument("PUMP1", 3);
    ui_.Then(Click(kAdd));
    ui_.Then(Type(kName, " \t "));
    ui_.Then(Type(kNumber, "3"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kName));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    RunSettings();
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2700});
    EXPECT_EQ(host_.MessageBoxes()[0].flags, 0u);
    EXPECT_EQ(host_.MessageBoxes()[0].text, "");
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kNameMissing});
}

TEST_F(EditorDialogTest, ANameTakenInAnotherLetterCaseIsRefused) {
    AddToDocument("Pump1", 3);
    ui_.Then(Click(kAdd));
    ui_.Then(Type(kName, "pump1"));
    ui_.Then(Check([](HeadlessWindowSystem& ui) { EXPECT_EQ(ui.ControlText(kName), "PUMP1"); }));
    ui_.Then(Type(kNumber, "4"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kName));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    RunSettings();
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2701});
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kNameTaken});
    EXPECT_EQ(document_.Stations().size(), 1u);
}

TEST_F(EditorDialogTest, ATakenNumberIsRefusedAndCancellingLeavesEverythingAsItWas) {
    AddToDocument("PUMP1", 3, "INLET");
    CStationInfo* second = AddToDocument("PUMP2", 4, "OUTLET");
    ui_.Then(DoubleClick("PUMP2 (04\xB1\xB9) : OUTLET"));
    ui_.Then(Type(kName, "RENAMED"));
    ui_.Then(Type(kNumber, "3"));
    ui_.Then(Click(kRegister));
    ui_.Then(ExpectStillOpenWithFocusOn(kNumber));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ControlText(kName), "RENAMED") << "the input is kept";
    }));
    ui_.Then(Click(kCancel));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(TreeTexts(ui), (std::vector<std::string>{"LINE1", "PUMP1 (03\xB1\xB9) : INLET",
                                                           "PUMP2 (04\xB1\xB9) : OUTLET"}));
    }));
    ui_.Then(Click(kExit));
    RunSettings();
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2702});
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kNumberTaken});
    EXPECT_EQ(second->m_name, "PUMP2");
    EXPECT_EQ(second->m_stationNumber, 4);
    EXPECT_EQ(lastDirty_, 0);
}

TEST_F(EditorDialogTest, AStationKeepsItsOwnNameAndNumber) {
    AddToDocument("PUMP1", 3);
    AddToDocument("PUMP2", 4);
    ui_.Then(DoubleClick("PUMP2 (04\xB1\xB9) : "));
    ui_.Then(Type(kName, "pump2 "));
    ui_.Then(Click(kRegister));
    ui_.Then(
        Check([](HeadlessWindowSystem& ui) { EXPECT_EQ(ui.ActiveTemplateId(), kSettingsDialog); }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    RunSettings();
    EXPECT_TRUE(HostCodes().empty());
    EXPECT_EQ(document_.Stations()[1]->m_name, "PUMP2");
}

TEST_F(EditorDialogTest, WithAllThirtyTwoNumbersTakenEveryNumberIsRefused) {
    for (int32_t number = 0; number < 32; ++number) {
        AddToDocument("S" + std::to_string(number), number);
    }
    ui_.Then(Click(kAdd));
    ui_.Then(Type(kName, "ONE MORE"));
    for (int number = 0; number < 32; ++number) {
        ui_.Then(Type(kNumber, std::to_string(number)));
        ui_.Then(PressEnter());
        ui_.Then(ExpectStillOpenWithFocusOn(kNumber));
    }
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    RunSettings();
    EXPECT_EQ(HostCodes(), std::vector<int32_t>(32, 2702));
    EXPECT_EQ(document_.Stations().size(), 32u);
    EXPECT_EQ(lastDirty_, 0);
}

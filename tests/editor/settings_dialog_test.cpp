// The settings dialog's station operations and flags, with the classes run directly.
#include "dialog_fixture.h"

using namespace editor_test;

namespace {

// Nothing opened and nothing asked: the settings dialog is still the active one.
HeadlessWindowSystem::Step ExpectNothingHappened() {
    return [](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ModalDepth(), 1);
        EXPECT_EQ(ui.ActiveTemplateId(), kSettingsDialog);
        EXPECT_TRUE(ui.MessageBoxes().empty());
    };
}

const std::string kPump1 = "PUMP1 (03\xB1\xB9) : INLET";

} // namespace

TEST_F(EditorDialogTest, EditAndDeleteWithTheRootOrNothingSelectedDoNothing) {
    AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(OnDialog([](CSettingsDialog& dialog) { dialog.OnEditStation(); }));
    ui_.Then(OnDialog([](CSettingsDialog& dialog) { dialog.OnDeleteStation(); }));
    ui_.Then(ExpectNothingHappened());
    ui_.Then(Select("LINE1"));
    ui_.Then(OnDialog([](CSettingsDialog& dialog) { dialog.OnEditStation(); }));
    ui_.Then(OnDialog([](CSettingsDialog& dialog) { dialog.OnDeleteStation(); }));
    ui_.Then(ExpectNothingHappened());
    ui_.Then(DoubleClick("LINE1"));
    ui_.Then(ExpectNothingHappened());
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.ClearTreeSelection(kTree));
        EXPECT_TRUE(ui.DoubleClickTreeBackground(kTree));
    }));
    ui_.Then(ExpectNothingHappened());
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(lastDirty_, 0);
    EXPECT_EQ(document_.Stations().size(), 1u);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(EditorDialogTest, DeleteAnsweredNoKeepsTheStation) {
    AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(Select(kPump1));
    ui_.Then(Click(kDelete));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(TreeTexts(ui), (std::vector<std::string>{"LINE1", kPump1}));
        EXPECT_TRUE(ui.ControlEnabled(kDelete));
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kDeleteQuestion});
    EXPECT_EQ(ui_.MessageBoxes()[0].flags & 0x0Fu, ui::kMbYesNo);
    EXPECT_EQ(lastDirty_, 0);
    ASSERT_EQ(document_.Stations().size(), 1u);
}

TEST_F(EditorDialogTest, DeleteAnsweredYesRemovesTheStationFromListAndTree) {
    AddToDocument("PUMP1", 3, "INLET");
    AddToDocument("PUMP2", 4);
    ui_.Then(Select(kPump1));
    ui_.Then(Click(kDelete));
    ui_.AnswerNextMessageBox(ui::kIdYes);
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(TreeTexts(ui), (std::vector<std::string>{"LINE1", "PUMP2 (04\xB1\xB9) : "}));
        // The buttons follow whatever the tree selected instead.
        bool stationSelected = false;
        for (const auto& item : ui.TreeItems(kTree)) {
            stationSelected = stationSelected || (item.selected && item.image == 1);
        }
        EXPECT_EQ(ui.ControlEnabled(kEdit), stationSelected);
        EXPECT_EQ(ui.ControlEnabled(kDelete), stationSelected);
        EXPECT_TRUE(ui.ControlEnabled(kAdd));
    }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(BoxTexts(ui_), (std::vector<std::string>{kDeleteQuestion, kSaveQuestion}));
    EXPECT_EQ(lastDirty_, 1);
    ASSERT_EQ(document_.Stations().size(), 1u);
    EXPECT_EQ(document_.Stations()[0]->m_name, "PUMP2");
}

TEST_F(EditorDialogTest, ACancelledStationDialogKeepsTheDirtyFlag) {
    CStationInfo* station = AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(DoubleClick(kPump1));
    ui_.Then(Type(kName, "OTHER"));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kAdd));
    ui_.Then(PressEscape());
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(lastDirty_, 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
    EXPECT_EQ(station->m_name, "PUMP1");
    EXPECT_EQ(document_.Stations().size(), 1u);
}

TEST_F(EditorDialogTest, ConfirmingUnchangedValuesCountsAsAChange) {
    AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(DoubleClick(kPump1));
    ui_.Then(Click(kRegister));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(lastDirty_, 1);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
}

TEST_F(EditorDialogTest, AnEditedStationKeepsItsRecordAndItemWithTheNewText) {
    CStationInfo* station = AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(DoubleClick(kPump1));
    ui_.Then(Type(kName, "fan7"));
    ui_.Then(Choose(kModel, 22));
    ui_.Then(Type(kNumber, "17"));
    ui_.Then(Type(kDescription, "ROOF"));
    ui_.Then(Click(kRegister));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(TreeTexts(ui), (std::vector<std::string>{"LINE1", "FAN7 (17\xB1\xB9) : ROOF"}));
    }));
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 1);
    ASSERT_EQ(document_.Stations().size(), 1u);
    EXPECT_EQ(document_.Stations()[0], station);
    EXPECT_EQ(station->m_name, "FAN7");
    EXPECT_EQ(station->m_modelIndex, 22);
    EXPECT_EQ(station->m_stationNumber, 17);
    EXPECT_EQ(station->m_description, "ROOF");
    EXPECT_EQ(lastDirty_, 0);
}

TEST_F(EditorDialogTest, SavingClearsBothFlagsAndSetsTheSavedFlag) {
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Choose(kPortList, 2));
    ui_.Then(SwitchTab(kStationTab));
    AddStation(ui_, "PUMP1", "1");
    ui_.Then(Check([this](HeadlessWindowSystem&) {
        EXPECT_EQ(dialog_->DirtyFlag(), 1);
        EXPECT_EQ(dialog_->CommPortPage().IsModified(), 1);
        EXPECT_EQ(dialog_->SavedFlag(), 0);
    }));
    ui_.Then(Click(kSave));
    ui_.Then(Check([this](HeadlessWindowSystem&) {
        EXPECT_EQ(dialog_->DirtyFlag(), 0);
        EXPECT_EQ(dialog_->CommPortPage().IsModified(), 0);
        EXPECT_EQ(dialog_->SavedFlag(), 1);
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 1);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
    EXPECT_EQ(document_.SerialPort().m_portIndex, 2);
}

TEST_F(EditorDialogTest, AFailedSaveKeepsBothFlagsAndSetsNoSavedFlag) {
    const std::string blocker = folder_.File("file");
    testing_support::WriteText(blocker, "");
    document_.SetPath(blocker + "/LINE1.cfg");
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Choose(kBaudList, 0));
    ui_.Then(SwitchTab(kStationTab));
    AddStation(ui_, "PUMP1", "1");
    ui_.Then(Click(kSave));
    ui_.Then(Check([this](HeadlessWindowSystem&) {
        EXPECT_EQ(dialog_->DirtyFlag(), 1);
        EXPECT_EQ(dialog_->CommPortPage().IsModified(), 1);
        EXPECT_EQ(dialog_->SavedFlag(), 0);
    }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdOk); // 2005
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2005});
    EXPECT_EQ(BoxTexts(ui_).back(), kSaveQuestion);
}

TEST_F(EditorDialogTest, TheCommPortPageDisablesTheStationButtonsAndTheStationPageEnablesThem) {
    AddToDocument("PUMP1", 3, "INLET");
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_FALSE(ui.ControlEnabled(kEdit));
        EXPECT_FALSE(ui.ControlEnabled(kDelete));
        EXPECT_TRUE(ui.ControlEnabled(kAdd));
        EXPECT_TRUE(ui.ControlVisible(kTree));
        EXPECT_FALSE(ui.ControlVisible(kPortList));
    }));
    ui_.Then(Select(kPump1));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.ControlEnabled(kEdit));
        EXPECT_TRUE(ui.ControlEnabled(kDelete));
    }));
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_FALSE(ui.ControlEnabled(kEdit));
        EXPECT_FALSE(ui.ControlEnabled(kDelete));
        EXPECT_FALSE(ui.ControlEnabled(kAdd));
        EXPECT_TRUE(ui.ControlVisible(kPortList));
        EXPECT_FALSE(ui.ControlVisible(kTree));
        EXPECT_FALSE(ui.Click(kAdd));
    }));
    ui_.Then(SwitchTab(kStationTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.ControlEnabled(kEdit));
        EXPECT_TRUE(ui.ControlEnabled(kDelete));
        EXPECT_TRUE(ui.ControlEnabled(kAdd));
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
}

// The station tree: its root and station items, their images, texts and data, and what a
// double click does.
#include "dialog_fixture.h"

using namespace editor_test;

TEST_F(EditorDialogTest, TheTreeShowsTheRootAndTheStationsInListOrder) {
    document_.SetPath(folder_.File("plant.d/LINE1.dat"));
    CStationInfo* pump = AddToDocument("PUMP1", 3, "INLET");
    CStationInfo* fan = AddToDocument("FAN", 31, "");
    ui_.Then(Check([pump, fan](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.TabTitles(kTabs), (std::vector<std::string>{"스테이션", "통신포트"}));
        EXPECT_EQ(ui.TabTitles(kTabs)[0], "\xBD\xBA\xC5\xD7\xC0\xCC\xBC\xC7");
        EXPECT_EQ(ui.TabCurSel(kTabs), 0);
        const auto items = ui.TreeItems(kTree);
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[0].text, "LINE1");
        EXPECT_EQ(items[0].depth, 0);
        EXPECT_EQ(items[0].image, 0);
        EXPECT_EQ(items[0].selectedImage, 0);
        EXPECT_TRUE(items[0].expanded);
        EXPECT_EQ(items[0].data, 0u);
        EXPECT_EQ(items[1].text, "PUMP1 (03\xB1\xB9) : INLET");
        EXPECT_EQ(items[2].text, "FAN (31\xB1\xB9) : ");
        for (size_t at = 1; at < items.size(); ++at) {
            EXPECT_EQ(items[at].depth, 1);
            EXPECT_EQ(items[at].image, 1);
            EXPECT_EQ(items[at].selectedImage, 1);
        }
        EXPECT_EQ(items[1].data, reinterpret_cast<uintptr_t>(pump));
        EXPECT_EQ(items[2].data, reinterpret_cast<uintptr_t>(fan));
        for (const auto& item : items) {
            EXPECT_FALSE(item.selected);
        }
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_NE(pump->m_treeItem, nullptr);
    EXPECT_NE(fan->m_treeItem, pump->m_treeItem);
}

TEST_F(EditorDialogTest, AnEmptyConfigurationShowsOnlyTheRoot) {
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        const auto items = ui.TreeItems(kTree);
        ASSERT_EQ(items.size(), 1u);
        EXPECT_EQ(items[0].text, "LINE1");
        EXPECT_TRUE(items[0].expanded);
        EXPECT_FALSE(ui.ControlEnabled(kEdit));
        EXPECT_FALSE(ui.ControlEnabled(kDelete));
        EXPECT_TRUE(ui.ControlEnabled(kAdd));
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
}

TEST_F(EditorDialogTest, ANewStationIsTheLastItemAndSelected) {
    AddToDocument("PUMP1", 3, "INLET");
    AddStation(ui_, {"  NEW 2  ", "7", 4, "SPARE"});
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        const auto items = ui.TreeItems(kTree);
        ASSERT_EQ(items.size(), 3u);
        EXPECT_EQ(items[2].text, "NEW 2 (07\xB1\xB9) : SPARE");
        EXPECT_EQ(items[2].depth, 1);
        EXPECT_EQ(items[2].image, 1);
        EXPECT_TRUE(items[2].selected);
        EXPECT_TRUE(ui.ControlEnabled(kEdit));
        EXPECT_TRUE(ui.ControlEnabled(kDelete));
    }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    RunSettings();
    ASSERT_EQ(document_.Stations().size(), 2u);
    const CStationInfo& added = *document_.Stations()[1];
    EXPECT_EQ(added.m_name, "NEW 2");
    EXPECT_EQ(added.m_stationNumber, 7);
    EXPECT_EQ(added.m_modelIndex, 4);
    EXPECT_EQ(added.m_description, "SPARE");
}

TEST_F(EditorDialogTest, DoubleClickingAStationOpensItsDialogAndTheRootNothing) {
    AddToDocument("PUMP1", 3, "INLET", 5);
    ui_.Then(DoubleClick("LINE1"));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kSettingsDialog);
        EXPECT_FALSE(ui.ControlEnabled(kEdit));
    }));
    ui_.Then(DoubleClick("PUMP1 (03\xB1\xB9) : INLET"));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kStationDialog);
        EXPECT_EQ(ui.ModalDepth(), 2);
        EXPECT_EQ(ui.ControlText(kName), "PUMP1");
        EXPECT_EQ(ui.ControlCurSel(kModel), 5);
        EXPECT_EQ(ui.ControlText(kNumber), "3");
        EXPECT_EQ(ui.ControlText(kDescription), "INLET");
    }));
    ui_.Then(Click(kCancel));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
}

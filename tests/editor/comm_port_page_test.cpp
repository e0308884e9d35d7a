// The comm port page: the lists, the shown settings, the modified flag, and storing.
#include "dialog_fixture.h"

#include "config/serial_port.h"
#include "editor/comm_port_page.h"

using namespace editor_test;

TEST_F(EditorDialogTest, ThePortListHasComOneToThirtySixAndShowsTheStoredPort) {
    document_.SerialPort().m_portIndex = 35;
    document_.SerialPort().m_baudIndex = 0;
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        const auto ports = ui.ControlItems(kPortList);
        ASSERT_EQ(ports.size(), 36u);
        EXPECT_EQ(ports.front(), "COM1");
        EXPECT_EQ(ports[9], "COM10");
        EXPECT_EQ(ports.back(), "COM36");
        EXPECT_EQ(ui.ControlCurSel(kPortList), 35);
        EXPECT_EQ(ui.ControlItems(kBaudList),
                  (std::vector<std::string>{" 1200", " 2400", " 4800"}));
        EXPECT_EQ(ui.ControlCurSel(kBaudList), 0);
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 0);
}

TEST_F(EditorDialogTest, TheFixedSettingsAreShownAsStoredAndCannotBeChanged) {
    CSerialPort& port = document_.SerialPort();
    port.m_parityIndex = 0;
    port.m_dataBitsIndex = 1;
    port.m_stopBitsIndex = 1;
    port.m_options = 3;
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ControlCheck(kParityNone), 1);
        EXPECT_EQ(ui.ControlCheck(kParityOdd), 0);
        EXPECT_EQ(ui.ControlCheck(kDataBits8), 1);
        EXPECT_EQ(ui.ControlCheck(kStopBits2), 1);
        EXPECT_EQ(ui.ControlCheck(kChecksum), 1);
        EXPECT_EQ(ui.ControlCheck(kRtsCts), 1);
        for (const int fixed : {kParityNone, kParityOdd, kDataBits8, kStopBits2, kChecksum}) {
            EXPECT_FALSE(ui.ControlEnabled(fixed)) << fixed;
            EXPECT_FALSE(ui.Click(fixed)) << fixed;
        }
        EXPECT_TRUE(ui.ControlEnabled(kRtsCts));
        EXPECT_TRUE(ui.ControlEnabled(kPortList));
        EXPECT_TRUE(ui.ControlEnabled(kBaudList));
    }));
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(RunSettings(), 1);
    EXPECT_EQ(port.m_parityIndex, 0);
    EXPECT_EQ(port.m_dataBitsIndex, 1);
    EXPECT_EQ(port.m_stopBitsIndex, 1);
    EXPECT_EQ(port.m_options, 3);
}

TEST_F(EditorDialogTest, EachChoiceOfPortOrBaudRateMarksThePageModified) {
    ui_.Then(Check(
        [this](HeadlessWindowSystem&) { EXPECT_EQ(dialog_->CommPortPage().IsModified(), 0); }));
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([this](HeadlessWindowSystem&) {
        EXPECT_EQ(dialog_->CommPortPage().IsModified(), 0) << "looking is no change";
    }));
    ui_.Then(Choose(kPortList, 0)); // the port it had
    ui_.Then(Check(
        [this](HeadlessWindowSystem&) { EXPECT_EQ(dialog_->CommPortPage().IsModified(), 1); }));
    ui_.Then(Click(kSave));
    ui_.Then(Choose(kBaudList, 2));
    ui_.Then(Check(
        [this](HeadlessWindowSystem&) { EXPECT_EQ(dialog_->CommPortPage().IsModified(), 1); }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(RunSettings(), 1);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
}

// Without a window (never created) the page stores what it was given.
TEST(CommPortPage, APageWithoutItsWindowStoresWhatItWasLoadedWith) {
    CSerialPort loaded;
    loaded.m_portIndex = 12;
    loaded.m_baudIndex = 1;
    loaded.m_parityIndex = 0;
    loaded.m_dataBitsIndex = 0;
    loaded.m_stopBitsIndex = 1;
    loaded.m_options = static_cast<int32_t>(0x80000001u);
    CCommPortPage page;
    page.LoadSettings(nullptr, loaded);
    EXPECT_EQ(page.IsModified(), 0);
    CSerialPort stored;
    stored.m_options = static_cast<int32_t>(0x80000002u);
    page.StoreSettings(stored);
    EXPECT_EQ(stored.m_portIndex, 12);
    EXPECT_EQ(stored.m_baudIndex, 1);
    EXPECT_EQ(stored.m_parityIndex, 0);
    EXPECT_EQ(stored.m_dataBitsIndex, 0);
    EXPECT_EQ(stored.m_stopBitsIndex, 1);
    EXPECT_EQ(static_cast<uint32_t>(stored.m_options), 0x80000001u)
        << "checksum and RTS/CTS from the page, the other bits from the record";
}

// Whole editor sessions through DrvEditConfig: leaving, the save question, saving, the
// result the host gets, and what ends up in the file.
#include "session_fixture.h"

#include <filesystem>

using namespace editor_test;
using testing_support::ReadBytes;

TEST_F(EditorSessionTest, LeavingAtOnceAsksNothingAndLeavesTheFileAlone) {
    const std::string path = folder_.File("LINE1.cfg");
    std::vector<std::unique_ptr<CStationInfo>> stations;
    stations.push_back(Station("PUMP1", 3, "INLET"));
    WriteConfig(path, std::move(stations));
    const auto before = ReadBytes(path);
    const auto modified = std::filesystem::last_write_time(path);

    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kSettingsDialog);
        EXPECT_EQ(ui.ModalDepth(), 1);
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
    EXPECT_TRUE(host_->MessageBoxes().empty());
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(std::filesystem::last_write_time(path), modified);
    EXPECT_FALSE(ui_.RanOutOfSteps());
}

TEST_F(EditorSessionTest, ANewPathOpensTheDefaultsAndCreatesNoFile) {
    const std::string path = folder_.File("new line.cfg");
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ControlCurSel(kPortList), 0);
        EXPECT_EQ(ui.ControlCurSel(kBaudList), 2);
        EXPECT_EQ(ui.ControlCheck(kParityOdd), 1);
        EXPECT_EQ(ui.ControlCheck(kRtsCts), 0);
    }));
    ui_.Then(SwitchTab(kStationTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        ASSERT_EQ(TreeTexts(ui), std::vector<std::string>{"new line"});
    }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(EditorSessionTest, NoAtTheExitQuestionKeepsTheFileAndReportsNoSave) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    const auto before = ReadBytes(path);
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Choose(kBaudList, 0));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(Edit(path), 0);
    ASSERT_EQ(ui_.MessageBoxes().size(), 1u);
    EXPECT_EQ(ui_.MessageBoxes()[0].text, kSaveQuestion);
    EXPECT_EQ(ui_.MessageBoxes()[0].text,
              "\xB5\xA5\xC0\xCC\xC5\xCD\xB0\xA1 \xBA\xAF\xB0\xE6\xB5\xC7\xBE\xFA\xBD\xC0\xB4\xCF"
              "\xB4\xD9.  \xC0\xFA\xC0\xE5\xC7\xCF\xBD\xC3\xB0\xDA\xBD\xC0\xB4\xCF\xB1\xEE?");
    EXPECT_EQ(ui_.MessageBoxes()[0].flags & 0x0Fu, ui::kMbYesNo);
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(EditorSessionTest, OnlyYesCountsAsConsentToSave) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    const auto before = ReadBytes(path);
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Click(kRtsCts));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdCancel);
    EXPECT_EQ(Edit(path), 0);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(ReadBytes(path), before);
}

TEST_F(EditorSessionTest, YesAtTheExitQuestionSaves) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Choose(kPortList, 4));
    ui_.Then(Choose(kBaudList, 1));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdYes);
    EXPECT_EQ(Edit(path), 1);
    const auto saved = ReadConfig(path);
    EXPECT_EQ(saved->SerialPort().m_portIndex, 4);
    EXPECT_EQ(saved->SerialPort().m_baudIndex, 1);
}

TEST_F(EditorSessionTest, SaveThenExitAsksNothingAndReportsTheSave) {
    const std::string path = folder_.File("line.cfg");
    AddStation(ui_, {"PUMP1", "3", 2, "INLET"});
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 1);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
    const auto saved = ReadConfig(path);
    ASSERT_EQ(saved->Stations().size(), 1u);
    const CStationInfo& station = *saved->Stations()[0];
    EXPECT_EQ(station.m_name, "PUMP1");
    EXPECT_EQ(station.m_stationNumber, 3);
    EXPECT_EQ(station.m_modelIndex, 2);
    EXPECT_EQ(station.m_description, "INLET");
}

TEST_F(EditorSessionTest, AChangeAfterASaveDeclinedAtExitStillReportsTheSave) {
    const std::string path = folder_.File("line.cfg");
    AddStation(ui_, "PUMP1", "1");
    ui_.Then(Click(kSave));
    AddStation(ui_, "PUMP2", "2");
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(Edit(path), 1);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(StationNames(*ReadConfig(path)), std::vector<std::string>{"PUMP1"});
}

TEST_F(EditorSessionTest, EscapeAndTheCloseBoxLeaveLikeExit) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    const auto before = ReadBytes(path);

    AddStation(ui_, "PUMP1", "1");
    ui_.Then(PressEscape());
    ui_.AnswerNextMessageBox(ui::kIdNo);
    EXPECT_EQ(Edit(path), 0);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_FALSE(ui_.RanOutOfSteps());

    HeadlessWindowSystem second;
    ui::SetWindowSystem(&second);
    AddStation(second, "PUMP1", "1");
    second.Then(PressCloseBox());
    second.AnswerNextMessageBox(ui::kIdYes);
    EXPECT_EQ(Edit(path), 1);
    EXPECT_EQ(BoxTexts(second), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(StationNames(*ReadConfig(path)), std::vector<std::string>{"PUMP1"});
    EXPECT_FALSE(second.RanOutOfSteps());
}

TEST_F(EditorSessionTest, EnterInTheSettingsDialogEditsAndNeverCloses) {
    const std::string path = folder_.File("line.cfg");
    std::vector<std::unique_ptr<CStationInfo>> stations;
    stations.push_back(Station("PUMP1", 1));
    WriteConfig(path, std::move(stations));
    ui_.Then(Select("PUMP1 (01\xB1\xB9) : "));
    ui_.Then(PressEnter());
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ActiveTemplateId(), kStationDialog);
        EXPECT_EQ(ui.ControlText(kName), "PUMP1");
    }));
    ui_.Then(Click(kCancel));
    ui_.Then(
        Check([](HeadlessWindowSystem& ui) { EXPECT_EQ(ui.ActiveTemplateId(), kSettingsDialog); }));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 0);
    EXPECT_TRUE(ui_.MessageBoxes().empty());
}

TEST_F(EditorSessionTest, StationsAreSavedInTheOrderTheyWereAdded) {
    const std::string path = folder_.File("line.cfg");
    std::vector<std::unique_ptr<CStationInfo>> stations;
    stations.push_back(Station("M", 5));
    WriteConfig(path, std::move(stations));
    AddStation(ui_, "Z", "7");
    AddStation(ui_, "A", "2");
    AddStation(ui_, "K", "9");
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        const auto items = ui.TreeItems(kTree);
        ASSERT_EQ(items.size(), 5u);
        EXPECT_EQ(items[4].text, "K (09\xB1\xB9) : ");
        EXPECT_TRUE(items[4].selected);
    }));
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 1);
    const auto saved = ReadConfig(path);
    EXPECT_EQ(StationNames(*saved), (std::vector<std::string>{"M", "Z", "A", "K"}));
    EXPECT_EQ(saved->StationNames(), (std::vector<std::string>{"M", "Z", "A", "K"}));
}

// Parity, data bits, stop bits and the option bits the editor does not show go back as
// they came, and so does everything when the comm port page was never looked at.
TEST_F(EditorSessionTest, ASaveWithoutVisitingTheCommPortPageKeepsTheSerialSettings) {
    const std::string path = folder_.File("line.cfg");
    CSerialPort port;
    port.m_portIndex = 35;
    port.m_baudIndex = 0;
    port.m_parityIndex = 1;
    port.m_dataBitsIndex = 0;
    port.m_stopBitsIndex = 1;
    port.m_options = static_cast<int32_t>(0xA5A5A5F3u);
    WriteConfig(path, {}, port);
    AddStation(ui_, "PUMP1", "1");
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 1);
    const auto document = ReadConfig(path);
    const CSerialPort& saved = document->SerialPort();
    EXPECT_EQ(saved.m_portIndex, 35);
    EXPECT_EQ(saved.m_baudIndex, 0);
    EXPECT_EQ(saved.m_parityIndex, 1);
    EXPECT_EQ(saved.m_dataBitsIndex, 0);
    EXPECT_EQ(saved.m_stopBitsIndex, 1);
    EXPECT_EQ(static_cast<uint32_t>(saved.m_options), 0xA5A5A5F3u);
}

TEST_F(EditorSessionTest, ClearingRtsCtsKeepsTheOtherOptionBits) {
    const std::string path = folder_.File("line.cfg");
    CSerialPort port;
    port.m_options = 0x7F3; // checksum, RTS/CTS and meaningless bits 4-10
    WriteConfig(path, {}, port);
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Check([](HeadlessWindowSystem& ui) {
        EXPECT_EQ(ui.ControlCheck(kChecksum), 1);
        EXPECT_EQ(ui.ControlCheck(kRtsCts), 1);
    }));
    ui_.Then(Click(kRtsCts));
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    EXPECT_EQ(Edit(path), 1);
    EXPECT_EQ(ReadConfig(path)->SerialPort().m_options, 0x7F1);
}

TEST_F(EditorSessionTest, ClickingRtsCtsTwiceCountsAsAChange) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    const auto before = ReadBytes(path);
    ui_.Then(SwitchTab(kCommPortTab));
    ui_.Then(Click(kRtsCts));
    ui_.Then(Click(kRtsCts));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdYes);
    EXPECT_EQ(Edit(path), 1);
    EXPECT_EQ(BoxTexts(ui_), std::vector<std::string>{kSaveQuestion});
    EXPECT_EQ(ReadBytes(path), before) << "the same values, saved again";
}

// A save that fails is not a save: the changes stay unsaved, the question comes again at
// exit, and the host hears that nothing was saved.
TEST_F(EditorSessionTest, AFailedSaveKeepsTheChangesAndAsksAgainAtExit) {
    const std::string blocker = folder_.File("not a folder");
    testing_support::WriteText(blocker, "a file where the folder should be");
    const std::string path = blocker + "/line.cfg";
    AddStation(ui_, "PUMP1", "1");
    ui_.Then(Click(kSave));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdCancel); // the box of message 2005
    ui_.AnswerNextMessageBox(ui::kIdYes);    // save? yes, and it fails again
    ui_.AnswerNextMessageBox(ui::kIdCancel); // 2005
    ui_.AnswerNextMessageBox(ui::kIdNo);     // save? no
    EXPECT_EQ(Edit(path), 0);
    EXPECT_EQ(HostCodes(), (std::vector<int32_t>{2005, 2005}));
    EXPECT_EQ(host_->MessageBoxes()[0].text, path);
    const auto texts = BoxTexts(ui_);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[1], kSaveQuestion);
    EXPECT_EQ(texts[3], kSaveQuestion);
    EXPECT_EQ(texts[0], host_->MessageBoxes()[0].message);
    EXPECT_TRUE(std::filesystem::is_regular_file(blocker));
}

TEST_F(EditorSessionTest, AFailedSaveBeforeASuccessfulOneDoesNotHideIt) {
    const std::string path = folder_.File("line.cfg");
    WriteConfig(path, {});
    const std::string saving = path + ".lock";
    AddStation(ui_, "PUMP1", "1");
    // A folder where the writer lock's file belongs makes the save fail.
    ui_.Then(Check([saving](HeadlessWindowSystem&) {
        std::filesystem::remove(saving);
        std::filesystem::create_directory(saving);
        testing_support::WriteText(saving + "/keep", "x");
    }));
    ui_.Then(Click(kSave));
    ui_.Then(Check([saving](HeadlessWindowSystem&) { std::filesystem::remove_all(saving); }));
    ui_.Then(Click(kExit));
    ui_.AnswerNextMessageBox(ui::kIdOk);  // 2005
    ui_.AnswerNextMessageBox(ui::kIdYes); // save? yes, and now it works
    EXPECT_EQ(Edit(path), 1);
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2005});
    EXPECT_EQ(StationNames(*ReadConfig(path)), std::vector<std::string>{"PUMP1"});
}

TEST_F(EditorSessionTest, AnUnreadableFileShows2002AndOpensNoEditor) {
    const std::string path = folder_.File("damaged.cfg");
    testing_support::WriteText(path, "VMHD");
    EXPECT_EQ(Edit(path), 0);
    EXPECT_EQ(HostCodes(), std::vector<int32_t>{2002});
    EXPECT_TRUE(ui_.MessageBoxes().empty()) << "no dialog is open to show it over";
    EXPECT_EQ(ui_.ModalDepth(), 0);
}

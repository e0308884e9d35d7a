// The configuration editor of the Windows module end to end: a host process under Wine
// calls DrvEditConfig, and a second thread works the real dialogs through window messages
// as a user would: adds a station (after the empty-name message), saves, changes the
// RTS/CTS control and answers the exit question. The file written is then read back.
// Screenshots of every dialog go to VFDA_SCREENSHOTS when it is set.
#include "dialog_driver.h"

#include "config/vfda_drv_doc.h"
#include "driver_module.h"
#include "host_libraries.h"
#include "test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <thread>

using windows_tests::Cp949;
using windows_tests::DialogDriver;
using namespace windows_tests::texts;

namespace {

const wchar_t kDescription[] = L"급수 펌프 3호기";
constexpr int kTabs = 9006, kAddStation = 9009, kSave = 9011, kRtsCts = 9039;
constexpr int kName = 9023, kNumber = 9025, kDescriptionField = 9027;
constexpr int kBaudList = 9014, kModelList = 9024;

void ExpectMessage(DialogDriver& driver, HWND box, const std::wstring& expected) {
    if (box != nullptr && driver.MessageText(box) != expected) {
        driver.Fail("message box says \"" + windows_tests::Narrow(driver.MessageText(box)) +
                    "\", not \"" + windows_tests::Narrow(expected) + "\"");
    }
}

// The lists of the module's own init lists, entry by entry.
const std::vector<std::wstring> kModels = {
    L"VFD007A21A", L"VFD007A23A", L"VFD007A43A", L"VFD015A21A", L"VFD015A23A", L"VFD015A43A",
    L"VFD022A21A", L"VFD022A23A", L"VFD022A43A", L"VFD037A23A", L"VFD037A43A", L"VFD055A23A",
    L"VFD055A43A", L"VFD075A23A", L"VFD075A43A", L"VFD110A23A", L"VFD110A43A", L"VFD150A23A",
    L"VFD150A43A", L"VFD185A23A", L"VFD185A43A", L"VFD220A23A", L"VFD220A43A"};

void ExpectEntries(DialogDriver& driver, const std::vector<std::wstring>& shown,
                   const std::vector<std::wstring>& expected) {
    if (shown != expected) {
        std::string list;
        for (const auto& entry : shown) {
            list += "\"" + windows_tests::Narrow(entry) + "\" ";
        }
        driver.Fail("the list holds " + std::to_string(shown.size()) + " entries: " + list);
    }
}

void WorkTheEditor(DialogDriver& driver) {
    HWND dialog = driver.WaitForDialog(kSettingsCaption);
    if (dialog == nullptr) {
        return;
    }
    driver.Screenshot(dialog, "editor_settings_stations");
    driver.ChooseTab(dialog, kTabs, 1);
    driver.Screenshot(dialog, "editor_settings_comm_port");
    ExpectEntries(driver, driver.ListEntries(dialog, kBaudList), {L" 1200", L" 2400", L" 4800"});
    driver.ChooseTab(dialog, kTabs, 0);

    driver.Click(dialog, kAddStation);
    HWND station = driver.WaitForDialog(kStationCaption);
    if (station == nullptr) {
        return;
    }
    ExpectEntries(driver, driver.ListEntries(station, kModelList), kModels);
    driver.Click(station, IDOK); // the name is still empty
    HWND box = driver.WaitForModal(station);
    ExpectMessage(driver, box, kNameMissing);
    driver.Screenshot(box, "editor_message_name_missing");
    driver.Click(box, IDOK);
    driver.WaitUntilGone(box);
    driver.Type(station, kName, L"pump3"); // the field turns it into upper case
    driver.Type(station, kNumber, L"5");
    driver.Type(station, kDescriptionField, kDescription);
    driver.Screenshot(station, "editor_station_dialog");
    driver.Click(station, IDOK);
    driver.WaitUntilGone(station);
    driver.Screenshot(dialog, "editor_settings_new_station");

    driver.Click(dialog, kSave);
    // A change after the save: leaving asks whether to save it.
    driver.ChooseTab(dialog, kTabs, 1);
    driver.Click(dialog, kRtsCts);
    driver.Click(dialog, IDCANCEL);
    HWND question = driver.WaitForModal(dialog);
    ExpectMessage(driver, question, kSaveQuestion);
    driver.Screenshot(question, "editor_question_save");
    driver.Click(question, IDYES);
    driver.WaitUntilGone(dialog);
}

TEST(WineEditorTest, AddsAStationSavesAndAnswersTheExitQuestion) {
    hostkit::HostLibraries host;
    host.Attach();
    hostkit::DriverModule module;
    ASSERT_TRUE(module.Load());
    testing_support::TempFolder folder;
    const std::string path = folder.File("LINE1.cfg");
    {
        CVfdaDrvDoc document;
        auto pump = std::make_unique<CStationInfo>();
        pump->m_name = "PUMP1";
        pump->m_stationNumber = 1;
        document.AddStation(std::move(pump));
        document.SetPath(path);
        ASSERT_TRUE(document.SaveFile());
    }

    DialogDriver driver(GetCurrentThreadId());
    std::thread user([&] {
        WorkTheEditor(driver);
        driver.CloseEverything();
    });
    const int32_t result = module.EditConfig(path.c_str());
    user.join();
    for (const auto& failure : driver.Failures()) {
        ADD_FAILURE() << failure;
    }

    EXPECT_EQ(result, 1);
    const auto boxes = host.MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u); // the empty name, and nothing else went wrong
    EXPECT_EQ(boxes[0].code, 2700);
    CVfdaDrvDoc saved;
    ASSERT_TRUE(saved.LoadFile(path));
    ASSERT_EQ(saved.Stations().size(), 2u);
    EXPECT_EQ(saved.Stations()[0]->m_name, "PUMP1");
    EXPECT_EQ(saved.Stations()[1]->m_name, "PUMP3");
    EXPECT_EQ(saved.Stations()[1]->m_stationNumber, 5);
    EXPECT_EQ(saved.Stations()[1]->m_description, Cp949(kDescription));
    EXPECT_EQ(saved.SerialPort().m_options, 2); // RTS/CTS, saved by the answer Yes
}

} // namespace

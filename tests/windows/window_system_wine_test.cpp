// The Win32 window system on real windows under Wine: the module's dialog resources shown
// by small dialog objects of the test's own (the framework's classes are tested elsewhere),
// driven by a second thread through window messages. Screenshots of every dialog go to
// VFDA_SCREENSHOTS when it is set.
#include "dialog_driver.h"
#include "toolkit/ui/module_string_resource.h"
#include "toolkit/ui/win32/win32_window_system.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

using windows_tests::Cp949;
using windows_tests::DialogDriver;
using namespace windows_tests::texts;

namespace {

// The parts of the templates the window system reads: the ids. The drop-down lists' entries
// come from the module's own init lists.
ui::DialogTemplate Template(int id) {
    ui::DialogTemplate dialog;
    dialog.id = id;
    return dialog;
}

// Every entry of a drop-down list, in order.
std::vector<std::string> Entries(ui::Win32WindowSystem& system, ui::WindowHandle list) {
    std::vector<std::string> entries;
    for (int index = 0; index < system.GetCount(list); ++index) {
        entries.push_back(system.GetItemText(list, index));
    }
    return entries;
}

const std::vector<std::string> kModels = {
    "VFD007A21A", "VFD007A23A", "VFD007A43A", "VFD015A21A", "VFD015A23A", "VFD015A43A",
    "VFD022A21A", "VFD022A23A", "VFD022A43A", "VFD037A23A", "VFD037A43A", "VFD055A23A",
    "VFD055A43A", "VFD075A23A", "VFD075A43A", "VFD110A23A", "VFD110A43A", "VFD150A23A",
    "VFD150A43A", "VFD185A23A", "VFD185A43A", "VFD220A23A", "VFD220A43A"};

// A window object that records what the window system tells it.
class Recorder : public ui::WindowEvents {
public:
    std::function<bool(ui::WindowHandle)> onInit;
    std::function<intptr_t(const ui::Event&)> onEvent;
    std::vector<ui::Event> events;
    ui::WindowHandle self = nullptr;
    bool destroyed = false;

    bool OnWindowInit(ui::WindowHandle window) override {
        self = window;
        return onInit ? onInit(window) : true;
    }
    intptr_t OnWindowEvent(const ui::Event& event) override {
        events.push_back(event);
        return onEvent ? onEvent(event) : 0;
    }
    void OnWindowDestroyed() override { destroyed = true; }

    int Count(ui::EventKind kind, ui::EventCode code, int id) const {
        int count = 0;
        for (const auto& event : events) {
            count += event.kind == kind && event.code == code && event.controlId == id;
        }
        return count;
    }
};

class Win32WindowSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryW(L"VfdaDrv.dll");
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    ui::FoundDialog Found(const ui::DialogTemplate& dialog) { return {&dialog, module_}; }

    // Runs `drive` on a second thread while this thread runs `ui`; then reports what the
    // driver found wrong.
    void Drive(const std::function<void()>& ui, const std::function<void(DialogDriver&)>& drive) {
        DialogDriver driver(GetCurrentThreadId());
        std::thread user([&] {
            drive(driver);
            driver.CloseEverything();
        });
        ui();
        user.join();
        for (const auto& failure : driver.Failures()) {
            ADD_FAILURE() << failure;
        }
    }

    HMODULE module_ = nullptr;
    ui::Win32WindowSystem system_;
};

TEST_F(Win32WindowSystemTest, ModalDialogPagesTreeListsAndMessageBoxes) {
    const ui::DialogTemplate settings = Template(9001);
    const ui::DialogTemplate stationPage = Template(9002);
    const ui::DialogTemplate commPage = Template(9003);
    const ui::DialogTemplate stationDialog = Template(9004);
    const ui::BitmapResource bitmap{9034, 58, 16, {}};

    Recorder settingsEvents, stationEvents, commEvents, stationDialogEvents;
    ui::WindowHandle tab = nullptr, tree = nullptr, root = nullptr;
    ui::WindowHandle pages[2] = {};
    int imageCount = 0, commPortCount = 0;
    std::string stationName, typedNumber;
    std::vector<std::string> bauds, models;
    intptr_t stationResult = 0, settingsResult = 0;
    int saveAnswer = 0, nameMissingAnswer = 0;
    ui::TreeItemHandle newItem = nullptr;
    uintptr_t selectedData = 0;
    std::string selectedText;
    std::pair<int, int> selectedImages;

    stationEvents.onInit = [&](ui::WindowHandle page) {
        tree = system_.GetControl(page, 9012);
        auto images = system_.CreateImageList({&bitmap, module_}, 16, 0, 0xFF00FF);
        imageCount = system_.GetImageCount(images);
        system_.SetImageListBackground(images, system_.SystemWindowColor());
        system_.SetImageList(tree, images);
        root = system_.InsertItem(tree, "LINE1", 0, 0, nullptr);
        system_.InsertItem(tree, Cp949(L"PUMP1 (01국) : 급수 펌프"), 1, 1, root);
        system_.Expand(tree, root);
        return true;
    };
    commEvents.onInit = [&](ui::WindowHandle page) {
        ui::WindowHandle ports = system_.GetControl(page, 9013);
        for (int n = 1; n <= 36; ++n) {
            system_.AddString(ports, "COM" + std::to_string(n));
        }
        system_.SetCurSel(ports, 0);
        ui::WindowHandle baudList = system_.GetControl(page, 9014);
        bauds = Entries(system_, baudList); // filled before the init
        system_.SetCurSel(baudList, 2);
        commPortCount = system_.GetCount(ports);
        system_.SetCheck(system_.GetControl(page, 9017), 1);
        return true;
    };
    settingsEvents.onInit = [&](ui::WindowHandle dialog) {
        tab = system_.GetControl(dialog, 9006);
        pages[0] = system_.CreatePage(stationEvents, Found(stationPage), tab);
        pages[1] = system_.CreatePage(commEvents, Found(commPage), tab);
        system_.InsertTab(tab, 0, Cp949(L"스테이션"));
        system_.InsertTab(tab, 1, Cp949(L"통신포트"));
        system_.Show(pages[0], true);
        return true;
    };
    stationDialogEvents.onInit = [&](ui::WindowHandle dialog) {
        system_.SetRange(system_.GetControl(dialog, 9026), 0, 31);
        system_.SetText(system_.GetControl(dialog, 9025), "0");
        models = Entries(system_, system_.GetControl(dialog, 9024));
        system_.SetCurSel(system_.GetControl(dialog, 9024), 1);
        return true;
    };
    stationDialogEvents.onEvent = [&](const ui::Event& event) -> intptr_t {
        ui::WindowHandle dialog = stationDialogEvents.self;
        if (event.kind == ui::EventKind::Command && event.controlId == ui::kIdOk) {
            ui::WindowHandle name = system_.GetControl(dialog, 9023);
            if (system_.GetText(name).empty()) {
                nameMissingAnswer = system_.MessageBox(dialog, Cp949(kNameMissing), "", ui::kMbOk);
                system_.GotoControl(dialog, name);
                return 0;
            }
            stationName = system_.GetText(name);
            typedNumber = system_.GetText(system_.GetControl(dialog, 9025));
            system_.EndModal(dialog, ui::kIdOk);
        } else if (event.kind == ui::EventKind::Command && event.controlId == ui::kIdCancel) {
            system_.EndModal(dialog, ui::kIdCancel);
        }
        return 0;
    };
    settingsEvents.onEvent = [&](const ui::Event& event) -> intptr_t {
        ui::WindowHandle dialog = settingsEvents.self;
        if (event.kind == ui::EventKind::Notify && event.code == ui::EventCode::TabSelChange) {
            const int current = system_.GetCurTab(tab);
            system_.Show(pages[1 - current], false);
            system_.Show(pages[current], true);
        } else if (event.kind == ui::EventKind::Command && event.controlId == 9009) {
            stationResult = system_.RunModal(stationDialogEvents, Found(stationDialog), dialog);
            if (stationResult == ui::kIdOk) {
                newItem = system_.InsertItem(tree, stationName + Cp949(L" (05국) : "), 1, 1, root);
                system_.SetItemData(tree, newItem, 42);
                system_.SelectItem(tree, newItem);
            }
        } else if (event.kind == ui::EventKind::Command && event.controlId == ui::kIdCancel) {
            ui::TreeItemHandle selected = system_.GetSelectedItem(tree);
            selectedData = system_.GetItemData(tree, selected);
            selectedText = system_.GetItemText(tree, selected);
            system_.GetItemImage(tree, selected, selectedImages.first, selectedImages.second);
            saveAnswer = system_.MessageBox(dialog, Cp949(kSaveQuestion), "", ui::kMbYesNo);
            system_.EndModal(dialog, 7);
        }
        return 0;
    };

    Drive([&] { settingsResult = system_.RunModal(settingsEvents, Found(settings), nullptr); },
          [&](DialogDriver& driver) {
              HWND dialog = driver.WaitForDialog(kSettingsCaption);
              if (dialog == nullptr) {
                  return;
              }
              driver.Screenshot(dialog, "window_system_settings_stations");
              driver.ChooseTab(dialog, 9006, 1);
              driver.Screenshot(dialog, "window_system_settings_comm_port");
              driver.ChooseTab(dialog, 9006, 0);

              driver.Click(dialog, 9009);
              HWND station = driver.WaitForDialog(kStationCaption);
              if (station == nullptr) {
                  return;
              }
              driver.Click(station, IDOK); // no name yet
              HWND box = driver.WaitForModal(station);
              if (box == nullptr) {
                  return;
              }
              if (driver.MessageText(box) != kNameMissing) {
                  driver.Fail("message box text: " +
                              windows_tests::Narrow(driver.MessageText(box)));
              }
              driver.Screenshot(box, "window_system_message_box");
              driver.Click(box, IDOK);
              driver.WaitUntilGone(box);
              driver.Type(station, 9023, L"pump3");
              driver.Type(station, 9025, L"5");
              driver.Screenshot(station, "window_system_station_dialog");
              driver.Click(station, IDOK);
              driver.WaitUntilGone(station);
              driver.Click(dialog, IDCANCEL);
              HWND question = driver.WaitForModal(dialog);
              if (question != nullptr) {
                  driver.Click(question, IDYES);
              }
              driver.WaitUntilGone(dialog);
          });

    EXPECT_EQ(settingsResult, 7);
    EXPECT_EQ(saveAnswer, ui::kIdYes);
    EXPECT_EQ(stationResult, ui::kIdOk);
    EXPECT_EQ(nameMissingAnswer, ui::kIdOk);
    EXPECT_EQ(stationName, "PUMP3"); // the name field turns letters into upper case
    EXPECT_EQ(typedNumber, "5");
    EXPECT_EQ(imageCount, 3); // 58 pixels: three whole images
    EXPECT_EQ(commPortCount, 36);
    // The lists of the module's init lists: the blanks before the baud rates kept.
    EXPECT_EQ(bauds, std::vector<std::string>({" 1200", " 2400", " 4800"}));
    EXPECT_EQ(models, kModels);
    EXPECT_TRUE(settingsEvents.destroyed);
    EXPECT_TRUE(stationEvents.destroyed);
    EXPECT_TRUE(commEvents.destroyed);
    EXPECT_TRUE(stationDialogEvents.destroyed);
    // Both pages were shown and hidden by the tab changes; the new station got selected.
    EXPECT_GE(commEvents.Count(ui::EventKind::Show, ui::EventCode::None, 0), 2);
    // (The tree also selects its first item when it first gets the focus.)
    ASSERT_GE(stationEvents.Count(ui::EventKind::Notify, ui::EventCode::TreeSelChanged, 9012), 1);
    EXPECT_EQ(stationEvents.events.back().item, newItem);
    EXPECT_EQ(selectedData, 42u);
    EXPECT_EQ(selectedText, "PUMP3" + Cp949(L" (05국) : "));
    EXPECT_EQ(selectedImages, std::make_pair(1, 1));
    EXPECT_GE(stationDialogEvents.Count(ui::EventKind::Command, ui::EventCode::EditChange, 9023),
              1);
}

// The module's string table as a Windows host reads it, and as the window system's message
// boxes get it: the exact texts, CR LF in 2708, two blanks in 2709.
TEST(ModuleStringTable, LoadStringFindsEveryTextOfTheModule) {
    const std::pair<UINT, std::wstring> strings[] = {
        {2700, L"스테이션 이름이 설정되지 않았습니다."},
        {2701, L"같은 이름의 스테이션이 이미 사용되었습니다."},
        {2702, L"국번이 다른 스테이션과 중복되어 설정되었습니다."},
        {2703, L"통신포트가 설정되지 않았습니다."},
        {2704, L"통신속도가 설정되지 않았습니다."},
        {2705, L"스테이션이 선택되지 않았습니다."},
        {2706, L"스테이션 모델이 설정되지 않았습니다."},
        {2707, L"국번이 잘못 설정되었습니다."},
        {2708, L"선택된 스테이션을 삭제하면 스테이션에 설정된 통신블록도 같이 삭제됩니다.\r\n"
               L"삭제하시겠습니까?"},
        {2709, L"데이터가 변경되었습니다.  저장하시겠습니까?"},
        {2710, L"설정 파일을 저장할 수 없습니다."},
    };
    HMODULE module = LoadLibraryW(L"VfdaDrv.dll");
    ASSERT_NE(module, nullptr);
    for (const auto& [id, text] : strings) {
        wchar_t buffer[256] = {};
        const int length = LoadStringW(module, id, buffer, 256);
        EXPECT_EQ(std::wstring(buffer, length > 0 ? static_cast<size_t>(length) : 0), text)
            << "string " << id;
        const char* found = ui::ModuleStringResource(module, id);
        ASSERT_NE(found, nullptr) << "string " << id;
        EXPECT_EQ(std::string(found), Cp949(text)) << "string " << id;
    }
    wchar_t buffer[16] = {};
    EXPECT_EQ(LoadStringW(module, 2711, buffer, 16), 0);
    EXPECT_EQ(ui::ModuleStringResource(module, 2711), nullptr);
    // A handle that is no loaded module has no strings.
    int notAModule = 0;
    EXPECT_EQ(ui::ModuleStringResource(&notAModule, 2700), nullptr);
    FreeLibrary(module);
}

} // namespace

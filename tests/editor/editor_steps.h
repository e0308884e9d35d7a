// What a user does in the editor, as steps of the headless window system's script, and the
// ids of the editor's windows. The step helpers check that each action was possible.
#pragma once

#include "toolkit/ui/headless/headless_window_system.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace editor_test {

using ui::HeadlessWindowSystem;

// Settings dialog 9001.
constexpr int kSettingsDialog = 9001;
constexpr int kTabs = 9006;
constexpr int kEdit = 9007;
constexpr int kDelete = 9008;
constexpr int kAdd = 9009;
constexpr int kSave = 9011;
constexpr int kExit = ui::kIdCancel;
// Station page 9002.
constexpr int kTree = 9012;
// Comm port page 9003.
constexpr int kPortList = 9013;
constexpr int kBaudList = 9014;
constexpr int kParityNone = 9015;
constexpr int kParityOdd = 9017;
constexpr int kDataBits8 = 9019;
constexpr int kStopBits2 = 9021;
constexpr int kChecksum = 9022;
constexpr int kRtsCts = 9039;
// Station dialog 9004.
constexpr int kStationDialog = 9004;
constexpr int kName = 9023;
constexpr int kModel = 9024;
constexpr int kNumber = 9025;
constexpr int kSpin = 9026;
constexpr int kDescription = 9027;
constexpr int kRegister = ui::kIdOk;
constexpr int kCancel = ui::kIdCancel;

constexpr int kCommPortTab = 1;
constexpr int kStationTab = 0;

inline HeadlessWindowSystem::Step Click(int id) {
    return [id](HeadlessWindowSystem& ui) { EXPECT_TRUE(ui.Click(id)) << "click " << id; };
}
inline HeadlessWindowSystem::Step Type(int id, std::string text) {
    return [id, text](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.Type(id, text)) << "type into " << id;
    };
}
inline HeadlessWindowSystem::Step Choose(int id, int index) {
    return [id, index](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.Choose(id, index)) << "choose " << index << " in " << id;
    };
}
inline HeadlessWindowSystem::Step SwitchTab(int index) {
    return [index](HeadlessWindowSystem& ui) { EXPECT_TRUE(ui.SwitchTab(kTabs, index)); };
}
inline HeadlessWindowSystem::Step Select(std::string text) {
    return [text](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.SelectTreeItem(kTree, text)) << "select " << text;
    };
}
inline HeadlessWindowSystem::Step DoubleClick(std::string text) {
    return [text](HeadlessWindowSystem& ui) {
        EXPECT_TRUE(ui.DoubleClickTreeItem(kTree, text)) << "double-click " << text;
    };
}
inline HeadlessWindowSystem::Step PressEnter() {
    return [](HeadlessWindowSystem& ui) { EXPECT_TRUE(ui.PressEnter()); };
}
inline HeadlessWindowSystem::Step PressEscape() {
    return [](HeadlessWindowSystem& ui) { EXPECT_TRUE(ui.PressEscape()); };
}
inline HeadlessWindowSystem::Step PressCloseBox() {
    return [](HeadlessWindowSystem& ui) { EXPECT_TRUE(ui.PressCloseBox()); };
}
// Checks made at that point of the script.
inline HeadlessWindowSystem::Step Check(std::function<void(HeadlessWindowSystem&)> check) {
    return check;
}

struct StationInput {
    std::string name;
    std::string number;
    int model = 0;
    std::string description;
};

// Fills the open station dialog (the fields the input names) and presses "등 록".
inline void EnterStation(HeadlessWindowSystem& ui, const StationInput& input) {
    ui.Then(Type(kName, input.name));
    ui.Then(Choose(kModel, input.model));
    ui.Then(Type(kNumber, input.number));
    ui.Then(Type(kDescription, input.description));
    ui.Then(Click(kRegister));
}

// "스테이션 추가", then the station dialog filled and confirmed.
inline void AddStation(HeadlessWindowSystem& ui, const StationInput& input) {
    ui.Then(Click(kAdd));
    EnterStation(ui, input);
}

inline void AddStation(HeadlessWindowSystem& ui, const std::string& name,
                       const std::string& number) {
    AddStation(ui, StationInput{name, number, 0, ""});
}

// The texts of the message boxes shown so far.
inline std::vector<std::string> BoxTexts(const HeadlessWindowSystem& ui) {
    std::vector<std::string> texts;
    for (const auto& box : ui.MessageBoxes()) {
        texts.push_back(box.text);
    }
    return texts;
}

inline std::vector<std::string> TreeTexts(const HeadlessWindowSystem& ui) {
    std::vector<std::string> texts;
    for (const auto& item : ui.TreeItems(kTree)) {
        texts.push_back(item.text);
    }
    return texts;
}

// The string table's texts as the module shows them (this file is compiled to CP949).
inline const std::string kSaveQuestion = "데이터가 변경되었습니다.  저장하시겠습니까?";
inline const std::string kDeleteQuestion =
    "선택된 스테이션을 삭제하면 스테이션에 설정된 통신블록도 같이 삭제됩니다.\r\n"
    "삭제하시겠습니까?";
inline const std::string kNameMissing = "스테이션 이름이 설정되지 않았습니다.";
inline const std::string kNameTaken = "같은 이름의 스테이션이 이미 사용되었습니다.";
inline const std::string kNumberTaken = "국번이 다른 스테이션과 중복되어 설정되었습니다.";

} // namespace editor_test

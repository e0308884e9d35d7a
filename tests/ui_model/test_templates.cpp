#include "test_templates.h"

#include "toolkit/ui/window_system.h"

namespace uitest {

using namespace ui;

const DialogTemplate& MainDialog() {
    static const DialogTemplate dialog{
        1,
        "Main",
        243,
        203,
        "MS Sans Serif",
        8,
        kModalFrame | kPopup | kCaption | kSystemMenu,
        {
            {kTab, ControlKind::TabControl, nullptr, {6, 6, 176, 192}, kTabStop, {}},
            {kEditButton, ControlKind::DefaultButton, "Edit", {188, 20, 48, 14}, kTabStop, {}},
            {kDeleteButton, ControlKind::PushButton, "Delete", {188, 40, 48, 14}, kTabStop, {}},
            {kIdCancel, ControlKind::PushButton, "Exit", {188, 100, 48, 14}, kTabStop, {}},
        }};
    return dialog;
}

const DialogTemplate& TreePage() {
    static const DialogTemplate page{
        2,
        "Tree",
        171,
        168,
        "MS Sans Serif",
        8,
        kChild,
        {{kTree,
          ControlKind::TreeView,
          nullptr,
          {4, 4, 164, 160},
          kBorder | kTabStop | kTreeHasButtons | kTreeHasLines | kTreeShowSelectionAlways,
          {}}}};
    return page;
}

const DialogTemplate& PortPage() {
    static const DialogTemplate page{
        3,
        "Port",
        170,
        170,
        "MS Sans Serif",
        8,
        kChild,
        {
            {kNoControlId, ControlKind::Label, "Port", {16, 15, 28, 8}, 0, {}},
            {kPort,
             ControlKind::DropDownList,
             nullptr,
             {46, 12, 36, 78},
             kVerticalScroll | kUnsorted | kTabStop,
             {}},
            {kBaud,
             ControlKind::DropDownList,
             nullptr,
             {120, 12, 36, 80},
             kVerticalScroll | kUnsorted | kTabStop,
             {" 1200", " 2400", " 4800"}},
            {kNoControlId, ControlKind::Label, "Parity", {16, 33, 24, 8}, 0, {}},
            {kParityNone,
             ControlKind::RadioButton,
             "None",
             {28, 45, 32, 10},
             kGroup | kTabStop,
             {}},
            {kParityEven, ControlKind::RadioButton, "Even", {72, 45, 32, 10}, 0, {}},
            {kParityOdd, ControlKind::RadioButton, "Odd", {116, 45, 29, 10}, 0, {}},
            {kBits7,
             ControlKind::RadioButton,
             "7 Bits",
             {28, 85, 34, 10},
             kGroup | kTabStop | kDisabled,
             {}},
            {kBits8, ControlKind::RadioButton, "8 Bits", {28, 100, 34, 10}, kDisabled, {}},
            {kRtsCts, ControlKind::CheckBox, "RTS/CTS", {16, 135, 64, 10}, kTabStop | kGroup, {}},
        }};
    return page;
}

const DialogTemplate& EntryDialog() {
    static const DialogTemplate dialog{
        4,
        "Entry",
        199,
        123,
        "MS Sans Serif",
        8,
        kModalFrame | kPopup | kCaption | kSystemMenu,
        {
            {kNoControlId, ControlKind::Label, "Name", {8, 11, 46, 8}, 0, {}},
            {kName,
             ControlKind::Edit,
             nullptr,
             {56, 8, 88, 14},
             kBorder | kTabStop | kAutoHorizontalScroll | kUpperCase,
             {}},
            {kNoControlId, ControlKind::Label, "Model", {8, 33, 46, 8}, 0, {}},
            {kModel,
             ControlKind::DropDownList,
             nullptr,
             {56, 30, 88, 66},
             kVerticalScroll | kUnsorted | kTabStop,
             {"A", "B", "C"}},
            {kNoControlId, ControlKind::Label, "Number", {8, 55, 46, 8}, 0, {}},
            {kNumber,
             ControlKind::Edit,
             nullptr,
             {56, 52, 32, 14},
             kBorder | kTabStop | kAutoHorizontalScroll,
             {}},
            {kSpin,
             ControlKind::UpDown,
             nullptr,
             {80, 56, 9, 14},
             kUpDownAutoBuddy | kUpDownSetBuddyInt | kUpDownAlignRight | kUpDownArrowKeys,
             {}},
            {kNoControlId, ControlKind::Label, "(0 - 31)", {92, 55, 28, 8}, 0, {}},
            {kNoControlId, ControlKind::Label, "Description", {8, 75, 46, 8}, 0, {}},
            {kDescription,
             ControlKind::Edit,
             nullptr,
             {56, 74, 88, 42},
             kBorder | kTabStop | kAutoHorizontalScroll,
             {}},
            {kIdOk, ControlKind::DefaultButton, "OK", {152, 8, 40, 14}, kTabStop, {}},
            {kIdCancel, ControlKind::PushButton, "Cancel", {152, 30, 40, 14}, kTabStop, {}},
        }};
    return dialog;
}

const BitmapResource& StripBitmap() {
    static const BitmapResource bitmap{9034, 58, 16, std::vector<uint32_t>(58 * 16, 0xFF00FF)};
    return bitmap;
}

} // namespace uitest

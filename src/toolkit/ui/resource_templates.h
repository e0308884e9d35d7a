// Dialog templates and bitmaps as the framework reads them from a module's resources. The
// same definitions become real resources in the Windows build; the other window systems lay
// their windows out from these tables.
#pragma once

#include <cstdint>
#include <vector>

namespace ui {

// Rectangle in dialog units: x and y from the owner's client origin.
struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

enum class ControlKind {
    Label,         // static text, left aligned
    SunkenFrame,   // static sunken frame, decoration only
    PushButton,    // push button
    DefaultButton, // the dialog's default push button
    CheckBox,      // automatic check box
    RadioButton,   // automatic radio button
    Edit,          // single-line edit field
    DropDownList,  // combo box with a drop-down list and no edit field
    TreeView,      // tree view
    UpDown,        // up-down (spin) control
    TabControl,    // tab control
};

// Style bits of a control, named after what they do.
enum ControlStyle : uint32_t {
    kTabStop = 1u << 0,
    kGroup = 1u << 1,    // starts a group (radio buttons, tab order)
    kDisabled = 1u << 2, // created disabled
    kBorder = 1u << 3,
    kVerticalScroll = 1u << 4,
    kAutoHorizontalScroll = 1u << 5, // edit: scrolls instead of stopping at the edge
    kUpperCase = 1u << 6,            // edit: letters typed become upper case
    kTreeHasButtons = 1u << 7,
    kTreeHasLines = 1u << 8,
    kTreeLinesAtRoot = 1u << 9,
    kTreeShowSelectionAlways = 1u << 10,
    kUpDownAutoBuddy = 1u << 11, // takes the preceding control as its buddy
    kUpDownSetBuddyInt = 1u << 12,
    kUpDownAlignRight = 1u << 13,
    kUpDownArrowKeys = 1u << 14,
    kUnsorted = 1u << 15, // lists keep the order of insertion
};

// Window style bits of a dialog.
enum DialogStyle : uint32_t {
    kModalFrame = 1u << 0,
    kPopup = 1u << 1,
    kChild = 1u << 2, // a property page
    kCaption = 1u << 3,
    kSystemMenu = 1u << 4, // close box
    kClientEdge = 1u << 5, // sunken client edge
};

constexpr int kNoControlId = -1; // labels and frames

struct ControlTemplate {
    int id = kNoControlId;
    ControlKind kind = ControlKind::Label;
    const char* text = nullptr; // CP949; null for none
    DialogRect rect;
    uint32_t style = 0; // ControlStyle bits
    // The list a drop-down list is filled with when the dialog is created (CP949).
    std::vector<const char*> initialItems;
};

struct DialogTemplate {
    int id = 0;
    const char* caption = nullptr; // CP949; a page's caption is its tab title
    int width = 0;                 // dialog units
    int height = 0;
    const char* fontName = nullptr;
    int fontPoints = 0;
    uint32_t style = 0;                    // DialogStyle bits
    std::vector<ControlTemplate> controls; // template order, which is the tab order
};

// A bitmap as 0xRRGGBB pixels, row by row from the top.
struct BitmapResource {
    int id = 0;
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
};

// What a resource look-up found, with the module it came from (the module's handle lets the
// Windows window system load the real resource).
struct FoundDialog {
    const DialogTemplate* dialog = nullptr;
    void* moduleHandle = nullptr;
};
struct FoundBitmap {
    const BitmapResource* bitmap = nullptr;
    void* moduleHandle = nullptr;
};

} // namespace ui

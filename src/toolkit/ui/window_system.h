// The seam between the framework's dialogs and the window system that shows them. The
// framework's classes (CWnd, CDialog, the controls) call only this interface; a window system
// creates windows from dialog templates, runs modal loops and reports what the user does
// through WindowEvents. Three window systems exist: win32 (real dialogs), terminal (the same
// dialogs drawn in a terminal) and headless (in memory, scripted by tests).
//
// All texts are CP949 bytes. Everything runs on the thread that called RunModal.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/resource_templates.h"

#include <cstdint>
#include <string>

namespace ui {

using WindowHandle = void*;    // a dialog, a page or a control; null for none
using TreeItemHandle = void*;  // a tree item; null for none
using ImageListHandle = void*; // an image list; null for none

// Control ids and message-box answers keep their Windows values.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

// Message-box flags (Windows values).
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbIconError = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconWarning = 0x30;
constexpr unsigned kMbIconInformation = 0x40;

enum class EventKind {
    Command, // a control's notification through WM_COMMAND (button clicks, list changes)
    Notify,  // a common control's notification through WM_NOTIFY
    Show,    // the window is being shown (shown = true) or hidden
};

enum class EventCode {
    None,
    Clicked,         // button clicked; also IDOK/IDCANCEL from Enter, Escape, the close box
    SelectionChange, // drop-down list: the user chose another entry
    EditChange,      // edit: the text changed by the user
    TreeSelChanged,  // tree: the selected item changed (by the user or by SelectItem)
    TreeDoubleClick, // tree: double click (the item under the pointer is selected first)
    TabSelChanging,  // tab control: the active tab is about to change
    TabSelChange,    // tab control: the active tab changed
    UpDownDelta,     // up-down: an arrow was pressed (the buddy's text already changed)
};

struct Event {
    EventKind kind = EventKind::Command;
    int controlId = 0; // the control the event comes from; the window's own events: 0
    EventCode code = EventCode::None;
    bool shown = false;               // Show events
    TreeItemHandle item = nullptr;    // TreeSelChanged: the new item; TreeDoubleClick: the item
    TreeItemHandle oldItem = nullptr; // TreeSelChanged: the previous item
};

// What the framework's window object offers the window system. The handle given at creation
// stays valid until OnWindowDestroyed.
class TOOLKIT_API WindowEvents {
public:
    virtual ~WindowEvents();
    // The window and its controls exist (initial lists filled); true when the window system
    // should set the focus to the first tab stop itself.
    virtual bool OnWindowInit(WindowHandle self) = 0;
    // Commands, notifications and show/hide; the result is the notification's result.
    virtual intptr_t OnWindowEvent(const Event& event) = 0;
    // The window is gone; its handle and its controls' handles are no longer valid.
    virtual void OnWindowDestroyed() = 0;
};

class TOOLKIT_API WindowSystem {
public:
    virtual ~WindowSystem();

    // --- windows -----------------------------------------------------------------------
    // Creates the dialog from its template (owned by `owner`, null for the default owner),
    // fills the initial lists, calls OnWindowInit, shows it and runs a modal loop until
    // EndModal. Returns EndModal's code, or -1 when the dialog cannot be created.
    virtual intptr_t RunModal(WindowEvents& events, const FoundDialog& dialog,
                              WindowHandle owner) = 0;
    virtual void EndModal(WindowHandle dialog, intptr_t code) = 0;
    // Creates a property page from its template as a hidden child of the tab control's
    // dialog, placed over the tab control's display area; calls OnWindowInit. Null when it
    // cannot be created.
    virtual WindowHandle CreatePage(WindowEvents& events, const FoundDialog& page,
                                    WindowHandle tabControl) = 0;
    virtual void DestroyWindow(WindowHandle window) = 0;
    // A control of a dialog or page by id, or null.
    virtual WindowHandle GetControl(WindowHandle dialog, int controlId) = 0;
    virtual int GetControlId(WindowHandle control) = 0;

    // --- any window --------------------------------------------------------------------
    virtual void Enable(WindowHandle window, bool enabled) = 0;
    virtual bool IsEnabled(WindowHandle window) = 0;
    // Showing or hiding a page sends it a Show event.
    virtual void Show(WindowHandle window, bool shown) = 0;
    virtual bool IsVisible(WindowHandle window) = 0;
    virtual void SetText(WindowHandle window, const std::string& text) = 0;
    virtual std::string GetText(WindowHandle window) = 0;
    virtual void SetFocus(WindowHandle window) = 0;
    virtual WindowHandle GetFocus() = 0;
    // The dialog's move to a control: focus to it; an edit field gets its whole text
    // selected.
    virtual void GotoControl(WindowHandle dialog, WindowHandle control) = 0;

    // --- buttons -----------------------------------------------------------------------
    virtual int GetCheck(WindowHandle button) = 0; // 0 or 1
    virtual void SetCheck(WindowHandle button, int check) = 0;

    // --- drop-down lists ---------------------------------------------------------------
    virtual int AddString(WindowHandle list, const std::string& text) = 0; // its index
    virtual int GetCount(WindowHandle list) = 0;
    virtual int GetCurSel(WindowHandle list) = 0; // -1 for none
    // -1 clears the selection; an index outside the list clears it too and returns -1.
    virtual int SetCurSel(WindowHandle list, int index) = 0;
    virtual std::string GetItemText(WindowHandle list, int index) = 0;

    // --- up-down -----------------------------------------------------------------------
    virtual void SetRange(WindowHandle upDown, int lower, int upper) = 0;

    // --- tree views --------------------------------------------------------------------
    // parent null: top level; the item goes last among its siblings.
    virtual TreeItemHandle InsertItem(WindowHandle tree, const std::string& text, int image,
                                      int selectedImage, TreeItemHandle parent) = 0;
    virtual bool DeleteItem(WindowHandle tree, TreeItemHandle item) = 0; // with its children
    virtual bool DeleteAllItems(WindowHandle tree) = 0;
    virtual void SetItemText(WindowHandle tree, TreeItemHandle item, const std::string& text) = 0;
    virtual std::string GetItemText(WindowHandle tree, TreeItemHandle item) = 0;
    virtual void SetItemData(WindowHandle tree, TreeItemHandle item, uintptr_t data) = 0;
    virtual uintptr_t GetItemData(WindowHandle tree, TreeItemHandle item) = 0;
    virtual bool GetItemImage(WindowHandle tree, TreeItemHandle item, int& image,
                              int& selectedImage) = 0;
    virtual TreeItemHandle GetSelectedItem(WindowHandle tree) = 0;
    // Selects the item (null: none) and sends TreeSelChanged when the selection changes.
    virtual bool SelectItem(WindowHandle tree, TreeItemHandle item) = 0;
    virtual bool Expand(WindowHandle tree, TreeItemHandle item) = 0;
    virtual TreeItemHandle GetRootItem(WindowHandle tree) = 0; // the first top-level item
    virtual TreeItemHandle GetChildItem(WindowHandle tree, TreeItemHandle item) = 0;
    virtual TreeItemHandle GetNextSiblingItem(WindowHandle tree, TreeItemHandle item) = 0;
    virtual void SetRedraw(WindowHandle window, bool redraw) = 0;
    virtual void SetImageList(WindowHandle tree, ImageListHandle images) = 0;

    // --- image lists -------------------------------------------------------------------
    // Cuts the bitmap into images `imageWidth` pixels wide; pixels of `maskColor`
    // (0xRRGGBB) are transparent.
    virtual ImageListHandle CreateImageList(const FoundBitmap& bitmap, int imageWidth, int grow,
                                            uint32_t maskColor) = 0;
    virtual void SetImageListBackground(ImageListHandle images, uint32_t color) = 0;
    virtual int GetImageCount(ImageListHandle images) = 0;
    virtual void DestroyImageList(ImageListHandle images) = 0;
    virtual uint32_t SystemWindowColor() = 0; // 0xRRGGBB

    // --- tab controls ------------------------------------------------------------------
    virtual int InsertTab(WindowHandle tab, int index, const std::string& title) = 0;
    virtual int GetTabCount(WindowHandle tab) = 0;
    virtual int GetCurTab(WindowHandle tab) = 0;
    virtual int SetCurTab(WindowHandle tab, int index) = 0; // sends no notification

    // --- message boxes -----------------------------------------------------------------
    // Modal; returns the answer (kIdYes, kIdNo, kIdOk, kIdCancel).
    virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           unsigned flags) = 0;
};

// The window system dialogs use from now on; returns the previous one. Null means none:
// every RunModal then fails with -1 and message boxes answer kIdCancel.
TOOLKIT_API WindowSystem* SetWindowSystem(WindowSystem* system);
// The window system in use: the one set, else the platform's default (the Windows dialogs
// on Windows; none elsewhere).
TOOLKIT_API WindowSystem* CurrentWindowSystem();
// The platform's default window system: the Windows dialogs on Windows, none (null)
// elsewhere. Defined by the back end the build picks (ui/win32 or ui/terminal).
TOOLKIT_API WindowSystem* PlatformDefaultWindowSystem();

} // namespace ui

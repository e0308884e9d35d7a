// The in-memory window system for tests: windows and controls keep their state in memory,
// and each modal loop runs the scripted steps one after another, acting on the active
// (top-most) modal dialog and the visible pages inside it. When the script runs out, the
// loop cancels the dialog (and ends it with kIdCancel if it will not close), so a test never
// hangs; a message box without a scripted answer answers kIdCancel.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/window_system.h"

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace ui {

class WindowModel;

class TOOLKIT_API HeadlessWindowSystem : public WindowSystem {
public:
    using Step = std::function<void(HeadlessWindowSystem&)>;

    struct MessageBoxRecord {
        std::string text; // CP949
        std::string caption;
        unsigned flags = 0;
        int answer = 0;
        bool scripted = true; // false when the script had no answer ready
    };

    struct TreeItemView {
        std::string text;
        int image = 0;
        int selectedImage = 0;
        int depth = 0; // 0 for top-level items
        bool selected = false;
        bool expanded = false;
        uintptr_t data = 0;
    };

    HeadlessWindowSystem();
    ~HeadlessWindowSystem() override;

    // --- the script ----------------------------------------------------------------------
    void Then(Step step);
    void AnswerNextMessageBox(int answer); // queued; used by the next boxes in order
    size_t StepsLeft() const;
    bool RanOutOfSteps() const; // a modal loop had to cancel its dialog on its own

    // --- what the user does, on the active dialog (false when impossible: no such control,
    // --- or it is disabled or hidden) -----------------------------------------------------
    bool Click(int controlId); // buttons; check boxes toggle, radio buttons check
    bool Type(int controlId, const std::string& text);           // replaces an edit field's text
    bool Choose(int controlId, int index);                       // drop-down list entry
    bool SelectTreeItem(int controlId, const std::string& text); // first item of that text
    bool ClearTreeSelection(int controlId);
    bool DoubleClickTreeItem(int controlId, const std::string& text); // selects, then double click
    bool DoubleClickTreeBackground(int controlId); // double click where there is no item
    bool SwitchTab(int tabControlId, int index);
    bool Spin(int upDownId, int delta); // arrow presses (+1 up, -1 down), within the range
    bool PressEnter();                  // the default button, or IDOK
    bool PressEscape();                 // IDCANCEL
    bool PressCloseBox();               // IDCANCEL

    // --- what the user sees, on the active dialog --------------------------------------
    int ModalDepth() const;       // modal dialogs open now (message boxes not counted)
    int ActiveTemplateId() const; // 0 when none
    std::string ActiveCaption() const;
    bool HasControl(int controlId) const; // in the dialog or a visible page
    std::string ControlText(int controlId) const;
    bool ControlEnabled(int controlId) const;
    bool ControlVisible(int controlId) const;
    int ControlCheck(int controlId) const;
    int ControlCurSel(int controlId) const;
    std::vector<std::string> ControlItems(int controlId) const;
    std::vector<TreeItemView> TreeItems(int controlId) const; // depth-first, in order
    int FocusedControlId() const;                             // 0 when the focus is on no control
    bool FocusedTextSelected() const; // the focused edit field's whole text is selected
    int TabCurSel(int tabControlId) const;
    std::vector<std::string> TabTitles(int tabControlId) const;
    const std::vector<MessageBoxRecord>& MessageBoxes() const;

    // --- WindowSystem --------------------------------------------------------------------
    intptr_t RunModal(WindowEvents& events, const FoundDialog& dialog, WindowHandle owner) override;
    void EndModal(WindowHandle dialog, intptr_t code) override;
    WindowHandle CreatePage(WindowEvents& events, const FoundDialog& page,
                            WindowHandle tabControl) override;
    void DestroyWindow(WindowHandle window) override;
    WindowHandle GetControl(WindowHandle dialog, int controlId) override;
    int GetControlId(WindowHandle control) override;
    void Enable(WindowHandle window, bool enabled) override;
    bool IsEnabled(WindowHandle window) override;
    void Show(WindowHandle window, bool shown) override;
    bool IsVisible(WindowHandle window) override;
    void SetText(WindowHandle window, const std::string& text) override;
    std::string GetText(WindowHandle window) override;
    void SetFocus(WindowHandle window) override;
    WindowHandle GetFocus() override;
    void GotoControl(WindowHandle dialog, WindowHandle control) override;
    int GetCheck(WindowHandle button) override;
    void SetCheck(WindowHandle button, int check) override;
    int AddString(WindowHandle list, const std::string& text) override;
    int GetCount(WindowHandle list) override;
    int GetCurSel(WindowHandle list) override;
    int SetCurSel(WindowHandle list, int index) override;
    std::string GetItemText(WindowHandle list, int index) override;
    void SetRange(WindowHandle upDown, int lower, int upper) override;
    TreeItemHandle InsertItem(WindowHandle tree, const std::string& text, int image,
                              int selectedImage, TreeItemHandle parent) override;
    bool DeleteItem(WindowHandle tree, TreeItemHandle item) override;
    bool DeleteAllItems(WindowHandle tree) override;
    void SetItemText(WindowHandle tree, TreeItemHandle item, const std::string& text) override;
    std::string GetItemText(WindowHandle tree, TreeItemHandle item) override;
    void SetItemData(WindowHandle tree, TreeItemHandle item, uintptr_t data) override;
    uintptr_t GetItemData(WindowHandle tree, TreeItemHandle item) override;
    bool GetItemImage(WindowHandle tree, TreeItemHandle item, int& image,
                      int& selectedImage) override;
    TreeItemHandle GetSelectedItem(WindowHandle tree) override;
    bool SelectItem(WindowHandle tree, TreeItemHandle item) override;
    bool Expand(WindowHandle tree, TreeItemHandle item) override;
    TreeItemHandle GetRootItem(WindowHandle tree) override;
    TreeItemHandle GetChildItem(WindowHandle tree, TreeItemHandle item) override;
    TreeItemHandle GetNextSiblingItem(WindowHandle tree, TreeItemHandle item) override;
    void SetRedraw(WindowHandle window, bool redraw) override;
    void SetImageList(WindowHandle tree, ImageListHandle images) override;
    ImageListHandle CreateImageList(const FoundBitmap& bitmap, int imageWidth, int grow,
                                    uint32_t maskColor) override;
    void SetImageListBackground(ImageListHandle images, uint32_t color) override;
    int GetImageCount(ImageListHandle images) override;
    void DestroyImageList(ImageListHandle images) override;
    uint32_t SystemWindowColor() override;
    int InsertTab(WindowHandle tab, int index, const std::string& title) override;
    int GetTabCount(WindowHandle tab) override;
    int GetCurTab(WindowHandle tab) override;
    int SetCurTab(WindowHandle tab, int index) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned flags) override;

private:
    std::unique_ptr<WindowModel> model_;  // the windows, shared with the terminal system
    std::unique_ptr<WindowSystem> state_; // the window-state operations over model_
    std::deque<Step> steps_;
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
    bool ranOut_ = false;
};

} // namespace ui

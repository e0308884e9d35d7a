// The in-memory window system for tests: windows and controls keep their state in memory,
// and each modal loop runs the scripted steps one after another, acting on the active
// (top-most) modal dialog and the visible pages inside it. When the script runs out, the
// loop cancels the dialog (and ends it with kIdCancel if it will not close), so a test never
// hangs; a message box without a scripted answer answers kIdCancel.
#pragma once

#include "platform/export.h"
#include "toolkit/ui/model/model_window_system.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace ui {

class TOOLKIT_API HeadlessWindowSystem : public ModelWindowSystem {
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

    // --- WindowSystem: the modal loops and message boxes (the window state is the model's)
    intptr_t RunModal(WindowEvents& events, const FoundDialog& dialog, WindowHandle owner) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned flags) override;

private:
    std::deque<Step> steps_;
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
    bool ranOut_ = false;
};

} // namespace ui

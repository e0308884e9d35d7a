// The windows of a window system kept in memory: modal dialogs, their property pages and
// their controls with everything a control shows (texts, checks, lists, tree items, tab
// items, up-down positions), laid out from the dialog templates. The headless and the
// terminal window systems are this model plus a way of running modal loops.
//
// Changes made by the program (SetText, SetCheck, SetCurSel, ...) send no notification, as
// in a Win32 dialog; the User* operations are what a user does and notify the window that
// owns the control (a page's controls report to the page, the dialog's to the dialog).
#pragma once

#include "platform/export.h"
#include "toolkit/ui/window_system.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace ui {

struct ModelTreeItem {
    std::string text;
    int image = 0;
    int selectedImage = 0;
    uintptr_t data = 0;
    bool expanded = false;
    ModelTreeItem* parent = nullptr;
    std::vector<std::unique_ptr<ModelTreeItem>> children;
};

struct ModelImageList {
    int imageWidth = 0;
    int count = 0;
    uint32_t maskColor = 0;
    uint32_t background = 0;
};

enum class ModelWindowType { Dialog, Page, Control };

struct ModelWindow {
    ModelWindowType type = ModelWindowType::Control;
    ModelWindow* parent = nullptr;  // a control's dialog or page; a page's dialog
    WindowEvents* events = nullptr; // dialogs and pages
    const DialogTemplate* dialogTemplate = nullptr;
    const ControlTemplate* controlTemplate = nullptr;
    int id = 0; // a control's id; a dialog's or page's template id
    ControlKind kind = ControlKind::Label;
    uint32_t style = 0;
    DialogRect rect; // dialog units, from the dialog's client origin (pages included)
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool redraw = true;

    int check = 0;                  // buttons
    std::vector<std::string> items; // drop-down lists
    int curSel = -1;
    bool textSelected = false; // edits: the whole text is selected
    size_t caret = 0;          // edits: byte offset of the caret in the text
    int scroll = 0;            // edits: first cell shown; trees: first item row shown

    std::vector<std::unique_ptr<ModelTreeItem>> treeRoots; // tree views
    std::unordered_set<const ModelTreeItem*> treeItems;
    ModelTreeItem* treeSelected = nullptr;
    ModelImageList* imageList = nullptr;

    int lower = 0, upper = 100, position = 0; // up-downs
    ModelWindow* buddy = nullptr;

    std::vector<std::string> tabs; // tab controls
    int curTab = -1;

    std::vector<std::unique_ptr<ModelWindow>> controls; // dialogs and pages
    std::vector<ModelWindow*> pages;                    // dialogs
    ModelWindow* tabControl = nullptr;                  // pages: the tab control they sit on
    ModelWindow* lastFocus = nullptr; // dialogs: the focus when a nested dialog opened
    bool ended = false;               // dialogs: EndModal was called
    intptr_t endCode = 0;
};

class TOOLKIT_API WindowModel {
public:
    WindowModel();
    ~WindowModel();
    WindowModel(const WindowModel&) = delete;
    WindowModel& operator=(const WindowModel&) = delete;

    // --- windows -------------------------------------------------------------------------
    // Creates the dialog with its controls (initial lists filled), pushes it on the modal
    // stack and calls OnWindowInit; when that asks for it, the focus goes to the first tab
    // stop. Then the dialog is visible. Null when the template is missing.
    ModelWindow* OpenDialog(WindowEvents& events, const FoundDialog& dialog);
    // Destroys the top dialog (pages first, then the dialog) and returns its end code; the
    // focus goes back to where it was in the dialog below.
    intptr_t CloseDialog(ModelWindow* dialog);
    ModelWindow* CreatePage(WindowEvents& events, const FoundDialog& page, ModelWindow* tab);
    void Destroy(ModelWindow* window);
    void EndModal(ModelWindow* dialog, intptr_t code);

    // The window behind a handle, or null when the handle names no live window.
    ModelWindow* Window(WindowHandle handle) const;
    ModelWindow* Control(WindowHandle window, int controlId, ModelWindowType kind) const;
    ModelTreeItem* TreeItem(ModelWindow* tree, TreeItemHandle item) const;

    int ModalDepth() const { return static_cast<int>(modal_.size()); }
    ModelWindow* ActiveDialog() const { return modal_.empty() ? nullptr : modal_.back(); }
    const std::vector<ModelWindow*>& ModalStack() const { return modal_; }
    // A control of the dialog or of one of its visible pages.
    ModelWindow* FindControl(ModelWindow* dialog, int controlId) const;
    // The dialog a window belongs to (itself for a dialog).
    static ModelWindow* DialogOf(ModelWindow* window);
    // The window whose WindowEvents hears about the control (its page or dialog).
    static ModelWindow* OwnerOf(ModelWindow* control);
    // Visible itself and every window it sits in.
    static bool ReallyVisible(const ModelWindow* window);

    // --- focus and tab order -------------------------------------------------------------
    ModelWindow* Focus() const { return focus_; }
    void SetFocus(ModelWindow* window);
    void GotoControl(ModelWindow* control); // focus; an edit field's text selected
    // The controls of the dialog in tab order: template order, with the controls of its
    // visible pages after the tab control they sit on.
    std::vector<ModelWindow*> TabOrder(ModelWindow* dialog) const;
    static bool CanTakeFocus(const ModelWindow* control); // a tab stop, enabled, visible
    // The next (or previous) control that can take the focus; radio buttons of a group are
    // one stop, entered at the checked one.
    ModelWindow* NextTabStop(ModelWindow* dialog, ModelWindow* from, bool forward) const;
    // The controls of the group that holds the control (a group runs from a control with
    // kGroup to the next one).
    std::vector<ModelWindow*> GroupOf(ModelWindow* control) const;
    ModelWindow* FirstTabStop(ModelWindow* dialog) const;

    // --- state by the program (no notification) -------------------------------------------
    void SetText(ModelWindow* window, const std::string& text);
    void SetCheck(ModelWindow* button, int check);
    void Show(ModelWindow* window, bool shown); // a page hears Show when it changes
    int AddString(ModelWindow* list, const std::string& text);
    int SetCurSel(ModelWindow* list, int index);
    void SetRange(ModelWindow* upDown, int lower, int upper);
    int InsertTab(ModelWindow* tab, int index, const std::string& title);
    int SetCurTab(ModelWindow* tab, int index);

    // --- trees ---------------------------------------------------------------------------
    ModelTreeItem* InsertItem(ModelWindow* tree, const std::string& text, int image,
                              int selectedImage, ModelTreeItem* parent);
    bool DeleteItem(ModelWindow* tree, ModelTreeItem* item);
    bool DeleteAllItems(ModelWindow* tree);
    // Selects the item (null: none); TreeSelChanged when the selection changes.
    bool SelectItem(ModelWindow* tree, ModelTreeItem* item);
    // The items in display order, depth first; only those whose parents are expanded when
    // onlyShown is set.
    static std::vector<ModelTreeItem*> TreeItemsInOrder(const ModelWindow* tree, bool onlyShown);
    static int Depth(const ModelTreeItem* item);

    // --- image lists ---------------------------------------------------------------------
    ModelImageList* CreateImageList(const FoundBitmap& bitmap, int imageWidth, uint32_t mask);
    ModelImageList* ImageList(ImageListHandle handle) const;
    void DestroyImageList(ModelImageList* images);

    // --- what a user does (notifies; false when the control cannot be used) --------------
    bool UserClick(ModelWindow* control);
    bool UserType(ModelWindow* edit, const std::string& text); // replaces the text
    bool UserChoose(ModelWindow* list, int index);
    bool UserSelectTreeItem(ModelWindow* tree, ModelTreeItem* item);
    bool UserDoubleClickTree(ModelWindow* tree, ModelTreeItem* item); // null: background
    bool UserSwitchTab(ModelWindow* tab, int index);
    bool UserSpin(ModelWindow* upDown, int delta);
    // The dialog's command for Enter: the focused push button, else the default button,
    // else IDOK. False when that button is disabled.
    bool UserEnter(ModelWindow* dialog);
    bool UserCancel(ModelWindow* dialog); // Escape and the close box: IDCANCEL
    // The up-down whose buddy the control is, or null.
    ModelWindow* UpDownOf(ModelWindow* buddy) const;

    // Letters made upper case, CP949 double-byte characters left alone.
    static std::string UpperCaseCp949(const std::string& text);
    static bool IsButton(const ModelWindow* control);
    static bool IsUsable(const ModelWindow* control); // enabled and visible

    intptr_t Dispatch(ModelWindow* window, const Event& event);

private:
    std::unique_ptr<ModelWindow> BuildWindow(const DialogTemplate& dialog, ModelWindowType type,
                                             ModelWindow* parent, const DialogRect& origin);
    void Forget(ModelWindow* window);
    void SendCommand(ModelWindow* control, EventCode code);
    void SendNotify(ModelWindow* control, EventCode code, ModelTreeItem* item = nullptr,
                    ModelTreeItem* oldItem = nullptr);
    void CheckRadio(ModelWindow* radio);

    std::vector<std::unique_ptr<ModelWindow>> dialogs_; // the modal stack owns them
    std::vector<ModelWindow*> modal_;
    std::unordered_set<const ModelWindow*> live_;
    std::vector<std::unique_ptr<ModelImageList>> imageLists_;
    ModelWindow* focus_ = nullptr;
};

} // namespace ui

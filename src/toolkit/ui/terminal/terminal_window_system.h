// The window model drawn in a terminal and driven by the keyboard: Tab and Shift-Tab move
// between controls, the arrows work in lists, trees, tab controls and radio groups, Space
// presses, Enter presses the focused push button or else the default one, Escape cancels.
// Dialogs are laid out from their templates; a nested dialog is drawn over its owner and a
// message box over both. Texts are CP949 inside and UTF-8 on the terminal.
#pragma once

#include "platform/export.h"
#include "platform/raw_terminal.h"
#include "toolkit/ui/model/model_window_system.h"
#include "toolkit/ui/terminal/screen_buffer.h"

namespace ui {

struct Caret;
class RowLayout;

class TOOLKIT_API TerminalWindowSystem : public ModelWindowSystem {
public:
    // Draws on, and reads from, a terminal already taken over by the caller.
    explicit TerminalWindowSystem(platform::RawTerminal& terminal);
    ~TerminalWindowSystem() override;

    intptr_t RunModal(WindowEvents& events, const FoundDialog& dialog, WindowHandle owner) override;
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned flags) override;

    // True once the input ended: every dialog and box still open was cancelled.
    bool InputClosed() const { return inputClosed_; }

private:
    struct Box; // a message box being shown

    void Draw(const Box* box);
    void PaintDialogs(bool topIsActive, Caret& caret);
    void PaintBox(const Box& box);
    bool FitsScreen(int rows, int columns) const;
    void NeededSize(int& rows, int& columns) const; // of the dialogs open, in cells
    void PaintTooSmall(int rows, int columns);
    platform::KeyPress NextKey();
    void HandleDialogKey(ModelWindow& dialog, const platform::KeyPress& key);
    bool HandleControlKey(ModelWindow& control, const platform::KeyPress& key);
    void EnsureFocus(ModelWindow& dialog);
    void MoveFocus(ModelWindow& dialog, bool forward);
    // A drop-down list opened with Space shows its entries under it until one is chosen.
    bool ListIsOpen(const ModelWindow& dialog) const;
    void HandleOpenListKey(const platform::KeyPress& key);
    void PaintOpenList(const RowLayout& layout, int originRow, int originColumn);

    platform::RawTerminal& terminal_;
    ScreenBuffer screen_;
    bool inputClosed_ = false;
    ModelWindow* openList_ = nullptr;
    int listHighlight_ = 0;
    int listScroll_ = 0;
};

} // namespace ui
